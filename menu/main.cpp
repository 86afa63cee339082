#include "ApplicationStart.h"
#include "FontLanguage.h"
#include "UserLanguageRule.h"
#include "window/DesktopLauncher.h"
#include "window/MenuArtwork.h"
#include "window/MenuWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const dravik::Language language = dravik::UserLanguage();
    // The pictures' words are drawn alike in every locale of their language.
    dravik::orderFontsFor(language);
    const auto application =
        dravik::StartApplication(argc, argv, "Quirra", QStringLiteral("quirra"));
    // No application display name: Qt would append it to the window caption on X11.
    QApplication::setApplicationName(QStringLiteral("Quirra"));
    QApplication::setWindowIcon(quirra::menuIcon());

    // The menu ends in one place, its window's end, also when the close box closes it.
    QApplication::setQuitOnLastWindowClosed(false);
    quirra::DesktopLauncher launcher;
    // The menu folder is where this program really lies (symbolic links resolved), so the
    // wizard and the Documents folder are found beside it.
    quirra::MenuWindow window(
        launcher, QCoreApplication::applicationDirPath(), [] { QCoreApplication::exit(0); },
        language);
    window.show();
    return QApplication::exec();
}
