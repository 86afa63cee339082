#include "pages/MessageBoxDialogs.h"
#include "resources/Artwork.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // No application display name: Qt would append it to every window caption on X11.
    QApplication::setApplicationName(QStringLiteral("Tarvex"));
    QApplication::setWindowIcon(tarvex::programIcon());
    return QApplication::exec();
}
