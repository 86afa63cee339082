#include "pages/ElidedCellTips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace tarvex {

bool ElidedCellTips::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && sizeHint(option, index).width() > option.rect.width()) {
        QToolTip::showText(event->globalPos(), CellTipText(text), view->viewport(), option.rect);
    } else {
        QToolTip::hideText();
    }
    return true;
}

QString CellTipText(const QString& text, int lineLength) {
    QString lines;
    lines.reserve(text.size() + text.size() / lineLength + 1);
    int inLine = 0;
    for (const QChar c : text) {
        // A line never ends between the two halves of a character outside the basic plane.
        if (inLine >= lineLength && !c.isLowSurrogate()) {
            lines += QChar(u'\n');
            inLine = 0;
        }
        lines += c;
        ++inLine;
    }
    return QStringLiteral("<p style=\"white-space:pre\">") +
           lines.toHtmlEscaped().replace(QChar(u'\n'), QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

} // namespace tarvex
