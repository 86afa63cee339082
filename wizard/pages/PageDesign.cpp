#include "pages/PageDesign.h"

#include "pages/EnterToPage.h"
#include "pages/PictureBox.h"
#include "pages/Twips.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

namespace tarvex::design {

QSize stepPageSize() {
    return {twipsToPixels(9816), twipsToPixels(8232)};
}

QColor toColor(ColourNumber colour) {
    return {static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
            static_cast<int>((colour >> 16) & 0xFFu)};
}

QFont font(const QString& family, double points, bool bold) {
    QFont result(family);
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

QFont pageTextFont() {
    return font(QStringLiteral("MS Sans Serif"), 12);
}

QFont versionFont() {
    return font(QStringLiteral("Verdana"), 8.4);
}

void colour(QWidget* control, ColourNumber back, ColourNumber fore) {
    QPalette palette = control->palette();
    if (qobject_cast<QAbstractScrollArea*>(control) != nullptr) {
        // A text box paints its area with the base colour.
        palette.setColor(QPalette::Base, toColor(back));
        palette.setColor(QPalette::Text, toColor(fore));
    } else {
        // Buttons (the option button among them) would fill with the button face otherwise.
        control->setBackgroundRole(QPalette::Window);
        control->setForegroundRole(QPalette::WindowText);
        palette.setColor(QPalette::Window, toColor(back));
        palette.setColor(QPalette::WindowText, toColor(fore));
    }
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

QPushButton* commandButton(QWidget* page, const QString& name, int leftTwips) {
    auto* button = new QPushButton(page);
    button->setObjectName(name);
    button->setGeometry(twipsRect(leftTwips, 7560, 1215, 495));
    // As on the platform the designs come from, Enter presses whichever button has the focus.
    button->setAutoDefault(true);
    return button;
}

QLabel* label(QWidget* page, const QString& name, QRect geometry, const QFont& font) {
    auto* result = new QLabel(page);
    result->setObjectName(name);
    result->setGeometry(geometry);
    result->setFont(font);
    result->setTextFormat(Qt::PlainText);
    result->setWordWrap(true);
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return result;
}

QLabel* versionLabel(QWidget* page, int topTwips) {
    auto* result = label(page, QStringLiteral("lblVersion"), twipsRect(120, topTwips, 3375, 255),
                         versionFont());
    result->setWordWrap(false);
    result->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return result;
}

PictureBox* pagePicture(QWidget* page) {
    auto* picture = new PictureBox(page);
    picture->setObjectName(QStringLiteral("pic1"));
    picture->setGeometry(twipsRect(0, 0, 9855, 5295));
    picture->setFocusPolicy(Qt::StrongFocus);
    return picture;
}

QPlainTextEdit* pageText(QWidget* page) {
    auto* text = new QPlainTextEdit(page);
    text->setObjectName(QStringLiteral("txt1"));
    text->setGeometry(twipsRect(0, 5280, 9855, 2055));
    text->setFont(pageTextFont());
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setFrameShape(QFrame::NoFrame);
    text->setFocusPolicy(Qt::StrongFocus);
    text->setContextMenuPolicy(Qt::NoContextMenu);
    // The box reaches past the window's right edge; the margin keeps every line in view.
    text->document()->setDocumentMargin(8);
    return text;
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame(QPoint(0, 0), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void centreFrameOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void passEnterToPage(QAbstractButton* option) {
    option->installEventFilter(new EnterToPage(option));
}

void focusOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
    if (controls.size() > 0) {
        (*controls.begin())->setFocus();
    }
}

void paintWindow(QWidget* window, ColourNumber colour) {
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, toColor(colour));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

QPushButton* buttonForKey(const QKeyEvent* event, QPushButton* defaultButton,
                          QPushButton* cancelButton) {
    QPushButton* target = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = defaultButton;
        break;
    case Qt::Key_Escape:
        target = cancelButton;
        break;
    default:
        break;
    }
    // The keypad's Enter carries the keypad modifier; any other modifier makes another key.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (target == nullptr || !target->isEnabled() || modifiers != Qt::NoModifier) {
        return nullptr;
    }
    return target;
}

} // namespace tarvex::design
