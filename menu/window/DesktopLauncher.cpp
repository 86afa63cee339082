#include "window/DesktopLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace quirra {

bool DesktopLauncher::openWithDesktop(const QString& fileOrAddress) {
    // Paths are absolute; anything else is an address with its scheme.
    const QUrl url = fileOrAddress.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(fileOrAddress)
                                                                : QUrl(fileOrAddress);
    return QDesktopServices::openUrl(url);
}

bool DesktopLauncher::startDetached(const QString& program, const QStringList& arguments,
                                    const QString& workingFolder) {
    return QProcess::startDetached(program, arguments, workingFolder);
}

} // namespace quirra
