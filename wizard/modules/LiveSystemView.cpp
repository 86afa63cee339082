#include "modules/LiveSystemView.h"

#include "modules/AdapterReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace tarvex {

namespace {

// Far more than any file a check reads; a file of /proc or /sys reports no size.
constexpr qint64 kLargestFile = 64 * 1024;

} // namespace

std::vector<InterfaceAddress> LiveSystemView::interfaceAddresses() {
    return ReadInterfaceAddresses();
}

std::vector<DefaultRoute> LiveSystemView::defaultRoutes() {
    return ReadDefaultRoutes();
}

std::optional<QByteArray> LiveSystemView::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray contents = file.read(kLargestFile);
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt; // e.g. the carrier of an interface that is down: EINVAL
    }
    return contents;
}

bool LiveSystemView::exists(const QString& path) {
    return QFileInfo::exists(path);
}

QStringList LiveSystemView::entries(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                     QDir::Name);
}

std::vector<unsigned> LiveSystemView::groups() {
    std::vector<unsigned> result{static_cast<unsigned>(getegid())};
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> list(static_cast<std::size_t>(count));
        const int got = getgroups(count, list.data());
        for (int i = 0; i < got; ++i) {
            result.push_back(static_cast<unsigned>(list[static_cast<std::size_t>(i)]));
        }
    }
    return result;
}

bool LiveSystemView::systemBusHasName(const QString& name) {
    return busNameCheck_ && busNameCheck_(name);
}

} // namespace tarvex
