#pragma once

#include "pages/StepPage.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tarvex {

// Step 3, the setup mode: express setup, the only mode, stands selected; Next starts the run.
class SetupModePage final : public StepPage {
    Q_OBJECT
public:
    explicit SetupModePage(PageFlow& flow);
    void pageLoaded() override;

private:
    void nextClicked();
    void previousClicked();
    void exitClicked();

    // The option array Option1; an exclusive group also keeps its selected member from being
    // cleared by a click.
    QButtonGroup* Option1;
    QRadioButton* Option1_0;
    QLabel* Label1;
    QPushButton* nextButton;
    QPushButton* previousButton;
    QPushButton* exitButton;
    QLabel* lblVersion;
};

} // namespace tarvex
