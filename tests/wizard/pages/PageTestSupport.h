#pragma once

#include "pages/PageFlow.h"
#include "pages/PageSettings.h"
#include "pages/PageWindow.h"
#include "pages/RunningStatusPage.h"
#include "pages/StepPage.h"
#include "support/FakeRunServices.h"
#include "support/RecordingProgramEnd.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <memory>

namespace tarvex::testing {

// One wizard for a test: shared state, scripted message boxes, a recorded program end and the
// line of pages, for the edition of the given text base.
class Wizard {
public:
    explicit Wizard(qint16 textBase)
        : flow(window, settings, dialogs, end, textBase, Step4Factory(fake.services)) {}
    ~Wizard() { settle(); }

    // Lets the boxes answer and the unloaded pages go, as the event loop would.
    static void settle() {
        testing::settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Starts the program and goes straight to the page, as Next would.
    StepPage* open(PageId page) {
        flow.start();
        if (page != PageId::WelcomePage) {
            flow.ShowPage(page);
        }
        settle();
        return flow.currentPage();
    }

    [[nodiscard]] StepPage* page() const { return flow.currentPage(); }

    PageSettings settings;
    PageWindow window;
    ScriptedDialogs dialogs;
    // Step 4's run talks only to these: nothing reaches the network or the desktop.
    FakeRunServices fake;
    RecordingProgramEnd end;
    PageFlow flow;
};

// A key pressed on the page, through the control that has the focus, as from the keyboard.
inline void press(QWidget* page, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(page->focusWidget() != nullptr ? page->focusWidget() : page, key, modifiers);
}

// What a page looks like on screen, for comparing visits.
inline QImage snapshot(QWidget* page) {
    return page->grab().toImage();
}

} // namespace tarvex::testing
