#pragma once

#include "appliance/DeviceListCells.h"
#include "pages/ModalPage.h"

#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tarvex {

// The device list, modal over Step 4: one row per discovered appliance with its probe result.
// Next hands the chosen row back in SelectedDevice and SelectedReachable; Exit asks and may end
// the program; the close box leaves both as they were.
class DeviceListPage final : public ModalPage {
    Q_OBJECT
public:
    // reachability[i]: what the check found for record i, shown in its "Reachable?" cell.
    // adapterNames[i]: the adapter record i was heard on, in a last column shown only when the
    // list is not empty.
    DeviceListPage(PageFlow& flow, QList<Reachability> reachability, QWidget* owner = nullptr,
                   QStringList adapterNames = {});
    void pageLoaded() override;

private:
    void nextClicked();
    void exitClicked();
    // Fits every column to its header and cells; the last one takes the remaining width.
    void AutoSizeColumns();

    QList<Reachability> reachability_;
    QStringList adapterNames_;
    QTreeWidget* ListView1;
    QLabel* Label1;
    QPushButton* nextButton;
    QPushButton* exitButton;
    QLabel* lblVersion;
};

} // namespace tarvex
