#pragma once

#include "modules/DeviceListCells.h"
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
class frmSelect final : public ModalPage {
    Q_OBJECT
public:
    // reachability[i]: what the check found for record i, shown in its "Reachable?" cell.
    // adapterNames[i]: the adapter record i was heard on, in a last column shown only when the
    // list is not empty.
    frmSelect(PageFlow& flow, QList<Reachability> reachability, QWidget* owner = nullptr,
              QStringList adapterNames = {});
    void Form_Load() override;

private:
    void cmdNext_Click();
    void cmdExit_Click();
    // Fits every column to its header and cells; the last one takes the remaining width.
    void AutoSizeColumns();

    QList<Reachability> reachability_;
    QStringList adapterNames_;
    QTreeWidget* ListView1;
    QLabel* Label1;
    QPushButton* cmdNext;
    QPushButton* cmdExit;
    QLabel* lblVersion;
};

} // namespace tarvex
