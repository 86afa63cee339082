#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>
#include <string>

namespace dravik::testing {

// Whether a text has a Chinese character: a name in the Traditional Chinese edition must.
inline bool hasChineseCharacter(const QString& text) {
    for (const QChar character : text) {
        if (character.script() == QChar::Script_Han) {
            return true;
        }
    }
    return false;
}

// What a screen reader could not tell of a window, one line a fault (empty: nothing): every control
// the keyboard reaches and every picture has a role and a name, and in Chinese every name and
// description they have is in Chinese.
inline std::string accessibilityFaults(QWidget& window, bool chinese) {
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    QStringList faults;
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(&window)) {
            continue;
        }
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        // Qt's own decoration (a message box's icon) is left to the text beside it.
        const bool picture = control != nullptr && control->role() == QAccessible::Graphic &&
                             !widget->objectName().startsWith(QLatin1String("qt_"));
        if (!(widget->focusPolicy() & Qt::TabFocus) && !picture) {
            continue;
        }
        const QString who = widget->objectName().isEmpty()
                                ? QString::fromLatin1(widget->metaObject()->className())
                                : widget->objectName();
        if (control == nullptr || control->role() == QAccessible::Client ||
            control->role() == QAccessible::NoRole) {
            faults << who + QStringLiteral(": no role");
            continue;
        }
        const QString name = control->text(QAccessible::Name);
        const QString description = control->text(QAccessible::Description);
        if (name.trimmed().isEmpty()) {
            faults << who + QStringLiteral(": no name");
        } else if (chinese && !hasChineseCharacter(name)) {
            faults << who + QStringLiteral(": name not in Chinese: ") + name;
        }
        if (chinese && !description.isEmpty() && !hasChineseCharacter(description)) {
            faults << who + QStringLiteral(": description not in Chinese: ") + description;
        }
    }
    return faults.join(QLatin1Char('\n')).toStdString();
}

} // namespace dravik::testing
