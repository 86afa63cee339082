#pragma once

#include "pages/StepPage.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class PictureBox;

// Step 1: how to power the appliance on.
class frmPre2 final : public StepPage {
    Q_OBJECT
public:
    explicit frmPre2(PageFlow& flow);
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
