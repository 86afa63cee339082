#pragma once

#include "pages/StepPage.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tarvex {

// Step 3, the setup mode: express setup, the only mode, stands selected; Next starts the run.
class frmMain0 final : public StepPage {
    Q_OBJECT
public:
    explicit frmMain0(PageFlow& flow);
    void Form_Load() override;

private:
    void cmdNext_Click();
    void cmdPrevious_Click();
    void cmdExit_Click();

    // The option array Option1; an exclusive group also keeps its selected member from being
    // cleared by a click.
    QButtonGroup* Option1;
    QRadioButton* Option1_0;
    QLabel* Label1;
    QPushButton* cmdNext;
    QPushButton* cmdPrevious;
    QPushButton* cmdExit;
    QLabel* lblVersion;
};

} // namespace tarvex
