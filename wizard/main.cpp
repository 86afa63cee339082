#include "ApplicationStart.h"
#include "bus/SystemBusNames.h"
#include "modules/Globals.h"
#include "pages/Fonts.h"
#include "pages/MessageBoxDialogs.h"
#include "pages/PageFlow.h"
#include "pages/PageWindow.h"
#include "pages/QtProgramEnd.h"
#include "pages/SystemTexts.h"
#include "resources/Artwork.h"
#include "run/CommandLine.h"
#include "run/SystemRunServices.h"
#include "run/frmMain2.h"

#include <QApplication>
#include <QCoreApplication>

#ifndef TARVEX_EDITION_TEXT_BASE
#define TARVEX_EDITION_TEXT_BASE 700
#endif

int main(int argc, char* argv[]) {
    if (tarvex::IsCommandLine(argc, argv)) {
        // For administrators and problem reports: no window, nothing configured.
        const QCoreApplication application(argc, argv);
        if (const std::optional<int> status =
                tarvex::RunCommandLine(QCoreApplication::arguments(), &tarvex::SystemBusHasName,
                                       TARVEX_EDITION_TEXT_BASE)) {
            return *status;
        }
        return QCoreApplication::exec(); // a scan under way, which ends the loop with its status
    }
    // Qt's own arguments (-style, -session, -platform ...) are taken here.
    const auto application =
        dravik::StartApplication(argc, argv, "Tarvex", QStringLiteral("tarvex"));
    // No application display name: Qt would append it to every window caption on X11.
    QApplication::setApplicationName(QStringLiteral("Tarvex"));
    QApplication::setWindowIcon(tarvex::programIcon());
    // The program ends in one place, the page flow's ProgramEnd; a page closed with its close
    // box ends it through the flow as well.
    QApplication::setQuitOnLastWindowClosed(false);
    tarvex::registerFontSubstitutes();
    const auto systemTexts = tarvex::loadSystemTexts(TARVEX_EDITION_TEXT_BASE);
    if (systemTexts) {
        QApplication::installTranslator(systemTexts.get());
    }

    tarvex::WizardGlobals globals;
    // Every page is shown in this one window, and every other window stands over it.
    tarvex::PageWindow window;
    tarvex::MessageBoxDialogs dialogs([&window] { return window.dialogParent(); });
    tarvex::QtProgramEnd end;
    tarvex::SystemRunServices runServices(&tarvex::SystemBusHasName, TARVEX_EDITION_TEXT_BASE);
    tarvex::PageFlow flow(window, globals, dialogs, end, TARVEX_EDITION_TEXT_BASE,
                          tarvex::Step4Factory(runServices.services()));
    flow.start();
    return QApplication::exec();
}
