#include "ApplicationStart.h"
#include "FontLanguage.h"
#include "artwork/Artwork.h"
#include "base/QtProgramEnd.h"
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
    // Once the event loop runs, the program ends only here: the scan of the command line with
    // its status, the wizard through its page flow (Exit, the close box, the setup run).
    tarvex::QtProgramEnd end;
    if (tarvex::IsCommandLine(argc, argv)) {
        // For administrators and problem reports: no window, nothing configured.
        const QCoreApplication application(argc, argv);
        // Qt's own texts of the help and of its errors ("Usage:", "Unknown option").
        const auto systemTexts = tarvex::loadSystemTexts(textBase);
        if (systemTexts) {
            QCoreApplication::installTranslator(systemTexts.get());
        }
        if (const std::optional<int> status = tarvex::RunCommandLine(
                QCoreApplication::arguments(), &tarvex::SystemBusHasName, textBase, end)) {
            return *status;
        }
        return QCoreApplication::exec(); // a scan under way, which ends through `end`
    }
    // The launcher's token for bringing a window forward, before Qt's Wayland support reads it.
    const QByteArray activationToken = qgetenv("XDG_ACTIVATION_TOKEN");
    // The pictures' words are drawn alike in every locale of the texts' language.
    dravik::orderFontsFor(tarvex::TextLanguage(textBase));
    // Qt's own arguments (-style, -session, -platform ...) are taken here.
    const auto application = dravik::StartApplication(
        argc, argv, "Tarvex", QStringLiteral("tarvex"),
        {tarvex::AddedCatalogText(textBase, tarvex::AddedText::NoDisplay).arg("Tarvex"),
         tarvex::AddedCatalogText(textBase, tarvex::AddedText::WindowSystemFailed).arg("Tarvex")});
    // No application display name: Qt would append it to every window caption on X11.
    QApplication::setApplicationName(QStringLiteral("Tarvex"));
    QApplication::setWindowIcon(tarvex::programIcon());
    // Closing the last window does not quit by itself: the page flow ends the program through
    // `end`, for the close box too.
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
    tarvex::SystemRunServices runServices(&tarvex::SystemBusHasName, textBase);
    tarvex::PageFlow flow(window, settings, dialogs, end, static_cast<qint16>(textBase),
                          tarvex::Step4Factory(runServices.services()));
    const tarvex::FrontRequestServer frontRequests(lock, tarvex::WindowToFront(window));
    flow.start();
    return QApplication::exec();
}
