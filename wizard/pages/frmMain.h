#pragma once

#include "pages/StepPage.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class PictureBox;

// Step 2: how to cable the appliance to the network.
class frmMain final : public StepPage {
    Q_OBJECT
public:
    explicit frmMain(PageFlow& flow);
    void Form_Load() override;

private:
    void cmdNext_Click();
    void cmdPrevious_Click();
    void cmdExit_Click();

    PictureBox* pic1;
    QPlainTextEdit* txt1;
    QPushButton* cmdPrevious;
    QPushButton* cmdNext;
    QPushButton* cmdExit;
    QLabel* lblVersion;
};

} // namespace tarvex
