#pragma once

#include "base/Dialogs.h"
#include "base/ProgramEnd.h"
#include "pages/PageLine.h"
#include "pages/PageSettings.h"

#include <QList>
#include <QPointer>
#include <functional>

namespace tarvex {

class PageFlow;
class PageWindow;
class StepPage;

// Builds Step 4, the running-status page, for the flow. The program hands in one that gives the
// page the setup run's services, so that the pages know nothing of the run.
using RunPageFactory = std::function<StepPage*(PageFlow& flow)>;

// The line of step pages. Owns the one page on screen, which it shows in the line's one window;
// a hand-over shows the next page before the current one goes, and the program ends only
// through the injected ProgramEnd.
class PageFlow final {
public:
    // window: where the pages are shown; its close box ends the program as a page's would.
    // editionTextBase: the text base the welcome page assigns (700 English, 500 Chinese).
    // runPage: builds Step 4.
    PageFlow(PageWindow& window, PageSettings& settings, Dialogs& dialogs, ProgramEnd& end,
             qint16 editionTextBase, RunPageFactory runPage);
    ~PageFlow();
    PageFlow(const PageFlow&) = delete;
    PageFlow& operator=(const PageFlow&) = delete;

    // Shows the welcome page; the program's start.
    void start();

    // Builds the target afresh from its design (its load step runs), shows it in the window
    // centred on the screen, then unloads the page that was current.
    void ShowPage(PageId target);

    // Asks whether to end the program; OK unloads the current page and ends it. Returns whether
    // the program ended.
    bool ConfirmExit();
    // The same question without waiting: `done`, when given, learns the outcome from the event
    // loop once the box is answered.
    void ConfirmExit(std::function<void(bool programEnded)> done);

    // The window closed with its close box: nothing else is on screen, so the program ends
    // without asking.
    void pageClosedByUser();

    // Unloads the current page and ends the program, without asking.
    void endProgram();

    [[nodiscard]] StepPage* currentPage() const { return current_; }
    [[nodiscard]] PageWindow& window() const { return window_; }
    [[nodiscard]] bool programEnded() const { return programEnded_; }
    [[nodiscard]] PageSettings& settings() const { return settings_; }
    [[nodiscard]] Dialogs& dialogs() const { return dialogs_; }
    [[nodiscard]] qint16 editionTextBase() const { return editionTextBase_; }

private:
    [[nodiscard]] StepPage* createPage(PageId page);
    [[nodiscard]] Message exitQuestion() const;
    void unload(StepPage* page);

    PageWindow& window_;
    PageSettings& settings_;
    Dialogs& dialogs_;
    ProgramEnd& end_;
    qint16 editionTextBase_;
    RunPageFactory runPage_;
    StepPage* current_ = nullptr;
    // Unloaded pages waiting for their deferred deletion: a page is often unloaded from inside
    // one of its own button handlers, where deleting it at once would pull the widget from
    // under the running click.
    QList<QPointer<StepPage>> unloaded_;
    bool programEnded_ = false;
};

} // namespace tarvex
