#include "pages/DeviceListPage.h"

#include "appliance/ApplianceList.h"
#include "appliance/DeviceListCells.h"
#include "pages/ElidedCellTips.h"
#include "pages/PageDesign.h"
#include "pages/PageFlow.h"
#include "pages/Twips.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

namespace tarvex {
namespace {

constexpr int kColumnCount = 8;
// The rows shown and measured at once when the list opens (more than a screenful), then the
// rest a part at a time: a thousand rows built and measured at once held the window up 0.1 s.
constexpr qsizetype kFirstRows = 64;
constexpr qsizetype kRowsATurn = 128;

QPushButton* button(QWidget* page, const QString& name, QRect geometry) {
    QPushButton* result = design::commandButton(page, name, 0);
    result->setGeometry(geometry);
    return result;
}

QTreeWidget* deviceList(QWidget* page) {
    auto* list = new QTreeWidget(page);
    list->setObjectName(QStringLiteral("ListView1"));
    list->setGeometry(twipsRect(0, 0, 9135, 4095));
    list->setFont(design::font(QStringLiteral("Arial"), 9));
    // A report view: flat rows, whole rows selected, one at a time, nothing to edit.
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setColumnCount(kColumnCount);
    list->header()->setStretchLastSection(true);
    list->header()->setSectionsMovable(false);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setTextElideMode(Qt::ElideRight);
    list->setItemDelegate(new ElidedCellTips(list));
    return list;
}

} // namespace

DeviceListPage::DeviceListPage(PageFlow& flow, QList<ApplianceRow> rows, QWidget* owner,
                               bool nameAdapters, qsizetype unlisted)
    : ModalPage(flow, owner, QStringLiteral("DeviceListPage"),
                QStringLiteral("Dravik Configuration and Setup Utility - Select Dravik to "
                               "configure"),
                QSize(9120, 5640)),
      rows_(std::move(rows)), nameAdapters_(nameAdapters), unlisted_(unlisted),
      ListView1(deviceList(this)),
      lblUnlisted(design::label(this, QStringLiteral("lblUnlisted"),
                                twipsRect(120, 3840, 8895, 255),
                                design::font(QStringLiteral("Arial"), 9))),
      Label1(design::label(this, QStringLiteral("Label1"), twipsRect(120, 4320, 8655, 495),
                           design::font(QStringLiteral("新細明體"), 12))),
      nextButton(button(this, QStringLiteral("nextButton"), twipsRect(6240, 5040, 1335, 495))),
      exitButton(button(this, QStringLiteral("exitButton"), twipsRect(7800, 5040, 1215, 495))),
      lblVersion(design::versionLabel(this, 5160)) {
    design::focusOrder({ListView1, nextButton, exitButton});
    setDefaultButton(nextButton);
    setCancelButton(exitButton);
    connect(nextButton, &QPushButton::clicked, this, &DeviceListPage::nextClicked);
    connect(exitButton, &QPushButton::clicked, this, &DeviceListPage::exitClicked);
}

void DeviceListPage::pageLoaded() {
    const PageSettings& look = settings();
    paintBackground(look.PageBackColor);
    design::colour(Label1, look.LabelBackColor, look.LabelForeColor);
    design::colour(lblVersion, look.LabelBackColor, look.LabelForeColor);
    Label1->setText(catalogText(Text::SelectInstruction));
    // A list has no label of its own: a screen reader names it by the instruction under it.
    ListView1->setAccessibleName(Label1->text());
    nextButton->setText(catalogText(Text::Next));
    exitButton->setText(catalogText(Text::Exit));
    lblVersion->setText(catalogText(Text::Version));
    // The list gives up a line's room for the count of what it left out.
    lblUnlisted->setVisible(unlisted_ > 0);
    if (unlisted_ > 0) {
        ListView1->setGeometry(twipsRect(0, 0, 9135, 3795));
        design::colour(lblUnlisted, look.LabelBackColor, look.LabelForeColor);
        lblUnlisted->setText(AddedCatalogText(look.TextBase, AddedText::UnlistedReplies)
                                 .arg(unlisted_)
                                 .arg(kMostAppliances));
    }

    ListView1->clear();
    QStringList headers;
    for (int column = 0; column < kColumnCount; ++column) {
        headers.append(catalogText(Text::ColumnNumber + column));
    }
    adapterColumn_ = nameAdapters_ && !rows_.isEmpty();
    if (adapterColumn_) {
        headers.append(AddedCatalogText(look.TextBase, AddedText::AdapterColumn));
    }
    ListView1->setColumnCount(static_cast<int>(headers.size()));
    ListView1->setHeaderLabels(headers);
    ListView1->setSortingEnabled(false);
    added_ = 0;
    if (rows_.isEmpty()) {
        return; // the headers keep their default widths
    }
    addRows(std::min(rows_.size(), kFirstRows));
    // Sized by the first rows: a later, wider cell is elided, its tooltip holding it whole.
    AutoSizeColumns();
    if (!filled()) {
        QTimer::singleShot(0, this, &DeviceListPage::addMoreRows);
    }
}

void DeviceListPage::addMoreRows() {
    addRows(std::min(rows_.size(), added_ + kRowsATurn));
    if (!filled()) {
        QTimer::singleShot(0, this, &DeviceListPage::addMoreRows);
    }
}

void DeviceListPage::addRows(qsizetype end) {
    // Inserted together: the view hears of the part once, not once a row.
    QList<QTreeWidgetItem*> part;
    for (qsizetype i = added_; i < end; ++i) {
        const ApplianceRow& appliance = rows_[i];
        // Only an appliance reached at its own address is "Yes".
        QStringList cells =
            DeviceListRow(static_cast<qint16>(i), appliance.record,
                          appliance.reachable() ? Reachability::Yes : Reachability::No);
        if (adapterColumn_) {
            cells.append(QString::fromUtf8(appliance.adapter));
        }
        auto* row = new QTreeWidgetItem(cells);
        row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        // The record's index travels with the row, not parsed back from its "No." cell.
        row->setData(0, Qt::UserRole, QVariant::fromValue(i));
        part.append(row);
    }
    ListView1->addTopLevelItems(part);
    if (added_ == 0 && !part.isEmpty()) {
        // Selected from the start, so that Enter takes it without a click.
        ListView1->setCurrentItem(part.first());
    }
    added_ = end;
}

void DeviceListPage::AutoSizeColumns() {
    QHeaderView* header = ListView1->header();
    // Qt sizes a heading by its text in bold, which leaves the text room in a face that has a
    // bold one; the Ming face of the Chinese headings has none, so the heading would fill its
    // label to the last pixel and lose its last stroke. Each heading keeps, on either side of its
    // text, as much room as the label's own margin.
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int widest = ListView1->viewport()->width() / 3;
    for (int column = 0; column < ListView1->columnCount(); ++column) {
        // Takes the header's own width into account while the header is shown.
        ListView1->resizeColumnToContents(column);
        if (ListView1->columnWidth(column) > widest) {
            ListView1->setColumnWidth(column, widest);
        }
        const int heading =
            header->fontMetrics().horizontalAdvance(ListView1->headerItem()->text(column)) +
            4 * margin;
        if (ListView1->columnWidth(column) < heading) {
            ListView1->setColumnWidth(column, heading);
        }
    }
}

void DeviceListPage::nextClicked() {
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const QTreeWidgetItem* row = selected.first();
    chosen_ = row->data(0, Qt::UserRole).value<qsizetype>();
    accept();
}

void DeviceListPage::exitClicked() {
    // OK ends the program, Step 4 with it; the list must not outlive it on screen.
    if (flow().ConfirmExit()) {
        reject();
    }
}

} // namespace tarvex
