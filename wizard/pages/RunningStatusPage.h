#pragma once

#include "pages/ModalRunDialogs.h"
#include "pages/PageFlow.h"
#include "pages/StepPage.h"
#include "run/QtRunTimers.h"
#include "run/RunFlow.h"
#include "run/RunPage.h"
#include "run/RunServices.h"

#include <memory>

class QLabel;
class QPushButton;

namespace tarvex {

class PictureBox;
class SetupRun;

// Step 4, the running-status page: four step lines with their status pictures, the status
// line, Previous and Exit. It only paints; the setup run it owns decides everything.
class RunningStatusPage final : public StepPage, public RunPage, public RunFlow {
    Q_OBJECT
public:
    RunningStatusPage(PageFlow& flow, RunServices& services);
    ~RunningStatusPage() override;
    void pageLoaded() override;

    // What the run shows.
    void applyLookSettings() override;
    void setCaptions() override;
    void setStatusText(const QString& text) override;
    void setStepPicture(int step, StatusPicture picture) override;
    void setButtonsEnabled(bool enabled) override;
    void afterEventsRun(std::function<void()> next) override;

    // Where the run goes.
    void showSetupModePage() override;
    void confirmExit(std::function<void(bool programEnded)> done) override;
    void endProgram() override;
    [[nodiscard]] bool programEnded() const override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void previousClicked();
    void exitClicked();

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
    QPushButton* previousButton;
    QPushButton* exitButton;
    QLabel* lblVersion;

    QtRunTimers timers_;
    ModalRunDialogs modals_;
    std::unique_ptr<SetupRun> run_;
};

// Step 4 for the page flow, with the run's services.
[[nodiscard]] inline RunPageFactory Step4Factory(RunServices& services) {
    return [&services](PageFlow& flow) -> StepPage* {
        return new RunningStatusPage(flow, services);
    };
}

} // namespace tarvex
