#pragma once

#include <QString>
#include <functional>

namespace tarvex {

// The status pictures of the four step lines.
enum class StatusPicture {
    None,       // empty box
    InProgress, // under way
    Done,
    Failed,
};

// Step 4 as the setup run sees it: the status line, the four step pictures and the two
// buttons. The running-status page implements it; tests record what the run showed.
class RunPage {
public:
    virtual ~RunPage() = default;
    // Colours the page, its pictures and labels from the look settings.
    virtual void applyLookSettings() = 0;
    // Fills the step lines, the labels and the buttons from the catalog.
    virtual void setCaptions() = 0;
    virtual void setStatusText(const QString& text) = 0;
    // step: 1 to 4.
    virtual void setStepPicture(int step, StatusPicture picture) = 0;
    // Previous and Exit together; while they are disabled Enter and Esc do nothing either.
    virtual void setButtonsEnabled(bool enabled) = 0;
    // Calls `next` from the event loop once the pending window events have run, so that what
    // the run just showed is painted before it goes on. Never if Step 4 is gone by then.
    virtual void afterEventsRun(std::function<void()> next) = 0;
};

} // namespace tarvex
