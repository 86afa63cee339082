#pragma once

#include "appliance/ApplianceRow.h"
#include "pages/ModalPage.h"

#include <QList>
#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarvex {

// The device list, modal over Step 4: one row per discovered appliance with its probe result.
// It is given the rows and answers with the one chosen by Next; Exit asks and may end the
// program; the close box chooses none.
class DeviceListPage final : public ModalPage {
    Q_OBJECT
public:
    // nameAdapters: a last column names the adapter each row was heard on. unlisted: how many
    // senders a full list left out, told in a line under the list when any.
    DeviceListPage(PageFlow& flow, QList<ApplianceRow> rows, QWidget* owner = nullptr,
                   bool nameAdapters = false, qsizetype unlisted = 0);
    void pageLoaded() override;
    // The index of the row Next chose; none before Next, or when the page closed otherwise.
    [[nodiscard]] std::optional<qsizetype> chosenRow() const { return chosen_; }
    // Whether every row is in the list: a long one is filled a part at each turn of the event
    // loop, so that opening it never holds the window up.
    [[nodiscard]] bool filled() const { return added_ == rows_.size(); }

private:
    // Adds the rows from `added_` up to `end`.
    void addRows(qsizetype end);
    // Adds the next part of the rows, and queues the rest.
    void addMoreRows();
    void nextClicked();
    void exitClicked();
    // Fits every column to its header and cells, none wider than a third of the list, whose
    // cells elide; the last one takes the remaining width.
    void AutoSizeColumns();

    QList<ApplianceRow> rows_;
    bool nameAdapters_;
    qsizetype unlisted_;
    qsizetype added_ = 0;
    bool adapterColumn_ = false;
    std::optional<qsizetype> chosen_;
    QTreeWidget* ListView1;
    QLabel* lblUnlisted;
    QLabel* Label1;
    QPushButton* nextButton;
    QPushButton* exitButton;
    QLabel* lblVersion;
};

} // namespace tarvex
