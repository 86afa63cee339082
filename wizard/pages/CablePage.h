#pragma once

#include "pages/StepPage.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class PictureBox;

// Step 2: how to cable the appliance to the network.
class CablePage final : public StepPage {
    Q_OBJECT
public:
    explicit CablePage(PageFlow& flow);
    void pageLoaded() override;

private:
    void nextClicked();
    void previousClicked();
    void exitClicked();

    PictureBox* pic1;
    QPlainTextEdit* txt1;
    QPushButton* previousButton;
    QPushButton* nextButton;
    QPushButton* exitButton;
    QLabel* lblVersion;
};

} // namespace tarvex
