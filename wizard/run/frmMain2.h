#pragma once

#include "pages/StepPage.h"

#include <array>

class QLabel;
class QPushButton;

namespace tarvex {

class PictureBox;

// Step 4, the running-status page: four step lines with their status pictures, the status
// line, Previous and Exit. The setup run drives it; until the run is attached the page shows
// its starting state and both buttons stay usable.
class frmMain2 final : public StepPage {
    Q_OBJECT
public:
    explicit frmMain2(PageFlow& flow);
    void Form_Load() override;

private:
    void cmdPrevious_Click();
    void cmdExit_Click();

    PictureBox* pic1;
    PictureBox* pic2;
    PictureBox* pic3;
    PictureBox* pic4;
    QLabel* Label1_1;
    QLabel* Label2_1;
    QLabel* Label3_1;
    QLabel* Label4_1;
    QLabel* Label5;
    QLabel* lblRun;
    QPushButton* cmdPrevious;
    QPushButton* cmdExit;
    QLabel* lblVersion;
};

} // namespace tarvex
