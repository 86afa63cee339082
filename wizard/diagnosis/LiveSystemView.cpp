#include "diagnosis/LiveSystemView.h"

#include "net/AdapterReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

ProbeWay LiveSystemView::probeWay() {
    return ProbeWayOnThisPc();
}

PingBlock LiveSystemView::pingBlock() {
    return SystemPingBlock();
}

bool LiveSystemView::systemBusHasName(const QString& name) {
    return busNameCheck_ && busNameCheck_(name);
}

} // namespace tarvex
