#include "pages/PageFlow.h"

#include "pages/InstructionPage.h"
#include "pages/PageWindow.h"
#include "pages/SetupModePage.h"
#include "pages/StepPage.h"
#include "pages/WelcomePage.h"
#include "texts/TextCatalog.h"

#include <utility>

namespace tarvex {

PageFlow::PageFlow(PageWindow& window, PageSettings& settings, Dialogs& dialogs, ProgramEnd& end,
                   qint16 editionTextBase, RunPageFactory runPage)
    : window_(window), settings_(settings), dialogs_(dialogs), end_(end),
      editionTextBase_(editionTextBase), runPage_(std::move(runPage)) {
    window_.setClosedByUser([this] { pageClosedByUser(); });
}

PageFlow::~PageFlow() {
    window_.setClosedByUser({});
    delete current_;
    for (const auto& page : unloaded_) {
        delete page.data();
    }
}

void PageFlow::start() {
    ShowPage(PageId::WelcomePage);
}

StepPage* PageFlow::createPage(PageId page) {
    switch (page) {
    case PageId::WelcomePage:
        return new WelcomePage(*this);
    case PageId::PowerPage:
        return new InstructionPage(*this, kPowerInstructions);
    case PageId::CablePage:
        return new InstructionPage(*this, kCableInstructions);
    case PageId::SetupModePage:
        return new SetupModePage(*this);
    case PageId::RunningStatusPage:
        return runPage_(*this);
    }
    return nullptr;
}

void PageFlow::ShowPage(PageId target) {
    if (programEnded_) {
        return;
    }
    StepPage* next = createPage(target);
    next->pageLoaded();
    window_.host(next);
    StepPage* previous = current_;
    current_ = next;
    unload(previous);
}

Message PageFlow::exitQuestion() const {
    return {CatalogText(settings_.TextBase, Text::ExitProgramPrompt),
            CatalogText(settings_.TextBase, Text::Warning), MessageButtons::OkCancel,
            MessageIcon::None};
}

bool PageFlow::ConfirmExit() {
    if (dialogs_.showMessage(exitQuestion()) != MessageAnswer::Ok) {
        return false;
    }
    endProgram();
    return true;
}

void PageFlow::ConfirmExit(std::function<void(bool programEnded)> done) {
    dialogs_.ask(exitQuestion(), [this, done = std::move(done)](MessageAnswer answer) {
        const bool ending = answer == MessageAnswer::Ok;
        if (ending) {
            endProgram();
        }
        if (done) {
            done(ending);
        }
    });
}

void PageFlow::pageClosedByUser() {
    if (current_ == nullptr || programEnded_) {
        return;
    }
    endProgram();
}

void PageFlow::unload(StepPage* page) {
    if (page == nullptr) {
        return;
    }
    page->hide();
    page->deleteLater();
    unloaded_.removeAll(QPointer<StepPage>());
    unloaded_.append(page);
}

void PageFlow::endProgram() {
    if (programEnded_) {
        return;
    }
    programEnded_ = true;
    StepPage* page = current_;
    current_ = nullptr;
    unload(page);
    window_.hide();
    end_.endProgram(0);
}

} // namespace tarvex
