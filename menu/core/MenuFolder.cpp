#include "core/MenuFolder.h"

namespace quirra {

QString joinMenuFolder(const QString& folder, const QString& relativeName) {
    QString head = folder;
    while (head.endsWith(QLatin1Char('/'))) {
        head.chop(1);
    }
    QString tail = relativeName;
    while (tail.startsWith(QLatin1Char('/'))) {
        tail.remove(0, 1);
    }
    return head + QLatin1Char('/') + tail;
}

} // namespace quirra
