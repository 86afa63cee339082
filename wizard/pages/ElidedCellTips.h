#pragma once

#include <QStyledItemDelegate>

namespace tarvex {

// Cells as the list draws them, and a tooltip with the whole text over a cell too narrow for it
// (the list elides it): only on hover, so a long list costs nothing more to open. The tooltip
// breaks a long text into lines and shows it as plain text, whatever it holds.
class ElidedCellTips final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

// The tooltip of a whole cell text: lines of at most `lineLength` characters, as escaped rich
// text so that nothing in it is read as markup.
[[nodiscard]] QString CellTipText(const QString& text, int lineLength = 64);

} // namespace tarvex
