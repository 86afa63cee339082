#pragma once

#include "pages/StepPage.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class PictureBox;

// Step 0, the welcome page and the program's first window. Its load step also assigns the
// look settings and the text base for the whole wizard.
class frmPre1 final : public StepPage {
    Q_OBJECT
public:
    explicit frmPre1(PageFlow& flow);
    void Form_Load() override;

private:
    void cmdNext_Click();
    void cmdExit_Click();

    QPlainTextEdit* txt1;
    PictureBox* pic1;
    QPushButton* cmdNext;
    QPushButton* cmdExit;
    QLabel* lblVersion;
};

} // namespace tarvex
