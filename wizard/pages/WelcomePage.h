#pragma once

#include "pages/StepPage.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class PictureBox;

// Step 0, the welcome page and the program's first window. Its load step also assigns the
// look settings and the text base for the whole wizard.
class WelcomePage final : public StepPage {
    Q_OBJECT
public:
    explicit WelcomePage(PageFlow& flow);
    void pageLoaded() override;

private:
    void nextClicked();
    void exitClicked();

    QPlainTextEdit* txt1;
    PictureBox* pic1;
    QPushButton* nextButton;
    QPushButton* exitButton;
    QLabel* lblVersion;
};

} // namespace tarvex
