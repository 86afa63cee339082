#pragma once

#include "pages/ModalPage.h"

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
    // reachableCells[i]: the "Reachable?" cell of record i, "Yes" or "No". adapterNames[i]: the
    // adapter record i was heard on, in a last column shown only when the list is not empty.
    frmSelect(PageFlow& flow, QStringList reachableCells, QWidget* owner = nullptr,
              QStringList adapterNames = {});
    void Form_Load() override;

private:
    void cmdNext_Click();
    void cmdExit_Click();
    // Fits every column to its header and cells; the last one takes the remaining width.
    void AutoSizeColumns();

    QStringList reachableCells_;
    QStringList adapterNames_;
    QTreeWidget* ListView1;
    QLabel* Label1;
    QPushButton* cmdNext;
    QPushButton* cmdExit;
    QLabel* lblVersion;
};

} // namespace tarvex
