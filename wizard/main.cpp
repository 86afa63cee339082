#include "ApplicationStart.h"
#include "artwork/Artwork.h"
#include "cli/CommandLine.h"
#include "diagnosis/SystemBusNames.h"
#include "instance/FrontRequestServer.h"
#include "instance/HandOver.h"
#include "instance/WizardLock.h"
#include "pages/Fonts.h"
#include "pages/MessageBoxDialogs.h"
#include "pages/PageFlow.h"
#include "pages/PageSettings.h"
#include "pages/PageWindow.h"
#include "pages/QtProgramEnd.h"
#include "pages/RunningStatusPage.h"
#include "pages/SystemTexts.h"
#include "pages/WindowToFront.h"
#include "run/SystemRunServices.h"
#include "texts/AddedTexts.h"
#include "texts/UserLanguage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

// The set of texts, decided once at start: the user's language, unless the build forces one
// (a CD for Chinese PCs only).
static int TextBaseAtStart() {
#ifdef TARVEX_FORCED_TEXT_BASE
    return TARVEX_FORCED_TEXT_BASE;
#else
    return tarvex::UserTextBase();
#endif
}

int main(int argc, char* argv[]) {
    const int textBase = TextBaseAtStart();
    if (tarvex::IsCommandLine(argc, argv)) {
        // For administrators and problem reports: no window, nothing configured.
        const QCoreApplication application(argc, argv);
        // Qt's own texts of the help and of its errors ("Usage:", "Unknown option").
        const auto systemTexts = tarvex::loadSystemTexts(textBase);
        if (systemTexts) {
            QCoreApplication::installTranslator(systemTexts.get());
        }
        if (const std::optional<int> status = tarvex::RunCommandLine(
                QCoreApplication::arguments(), &tarvex::SystemBusHasName, textBase)) {
            return *status;
        }
        return QCoreApplication::exec(); // a scan under way, which ends the loop with its status
    }
    // The launcher's token for bringing a window forward, before Qt's Wayland support reads it.
    const QByteArray activationToken = qgetenv("XDG_ACTIVATION_TOKEN");
    // Qt's own arguments (-style, -session, -platform ...) are taken here.
    const auto application = dravik::StartApplication(
        argc, argv, "Tarvex", QStringLiteral("tarvex"),
        tarvex::AddedCatalogText(textBase, tarvex::AddedText::NoDisplay).arg("Tarvex"));
    // No application display name: Qt would append it to every window caption on X11.
    QApplication::setApplicationName(QStringLiteral("Tarvex"));
    QApplication::setWindowIcon(tarvex::programIcon());
    // The program ends in one place, the page flow's ProgramEnd; a page closed with its close
    // box ends it through the flow as well.
    QApplication::setQuitOnLastWindowClosed(false);
    tarvex::registerFontSubstitutes();
    const auto systemTexts = tarvex::loadSystemTexts(textBase);
    if (systemTexts) {
        QApplication::installTranslator(systemTexts.get());
    }
    // What Qt left is not the wizard's: a mistyped option opens no window.
    QTextStream err(stderr);
    if (const std::optional<int> status =
            tarvex::StrayWizardArguments(QCoreApplication::arguments(), textBase, err)) {
        return *status;
    }
    // One wizard a user: a second start brings the open one to the front and ends.
    const tarvex::WizardLock lock(tarvex::UserInstancePlace());
    if (lock.heldElsewhere()) {
        return tarvex::HandOverToOpenWizard(*lock.place(), activationToken, textBase, err);
    }

    tarvex::PageSettings settings;
    // Every page is shown in this one window, and every other window stands over it.
    tarvex::PageWindow window;
    tarvex::MessageBoxDialogs dialogs([&window] { return window.dialogParent(); });
    tarvex::QtProgramEnd end;
    tarvex::SystemRunServices runServices(&tarvex::SystemBusHasName, textBase);
    tarvex::PageFlow flow(window, settings, dialogs, end, static_cast<qint16>(textBase),
                          tarvex::Step4Factory(runServices.services()));
    const tarvex::FrontRequestServer frontRequests(lock, tarvex::WindowToFront(window));
    flow.start();
    return QApplication::exec();
}
