#include "net/UdpPortHolder.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <climits>
#include <unistd.h>

namespace tarvex {
namespace {

// The inodes of the sockets on the port, from a table of /proc/net: after the heading, one
// socket a line, "sl local_address rem_address st ... uid timeout inode ...", the local address
// as HEX-ADDRESS:HEX-PORT.
void AddSocketInodes(const QString& table, quint16 port, QSet<QByteArray>& inodes) {
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    (void)file.readLine();
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        if (fields.size() < 10) {
            continue;
        }
        const QByteArray& local = fields[1];
        bool ok = false;
        const uint localPort = local.mid(local.lastIndexOf(':') + 1).toUInt(&ok, 16);
        if (ok && localPort == port && fields[9] != "0") {
            inodes.insert(fields[9]);
        }
    }
}

// Whether one of the process's descriptors is one of the sockets.
bool HasSocket(const QString& fdFolder, const QSet<QByteArray>& inodes) {
    const QStringList descriptors = QDir(fdFolder).entryList(QDir::System | QDir::NoDotAndDotDot);
    for (const QString& descriptor : descriptors) {
        char target[PATH_MAX];
        const ssize_t length = readlink(QFile::encodeName(fdFolder + '/' + descriptor).constData(),
                                        target, sizeof target);
        // "socket:[INODE]"
        if (length > 9 && std::equal(target, target + 8, "socket:[")) {
            if (inodes.contains(QByteArray(target + 8, int(length) - 9))) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::optional<UdpPortHolder> FindUdpPortHolder(quint16 port, const QString& proc) {
    QSet<QByteArray> inodes;
    AddSocketInodes(proc + "/net/udp", port, inodes);
    AddSocketInodes(proc + "/net/udp6", port, inodes);
    if (inodes.isEmpty()) {
        return std::nullopt;
    }
    std::vector<qint64> pids;
    for (const QString& entry : QDir(proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number) {
            pids.push_back(pid);
        }
    }
    std::ranges::sort(pids);
    for (const qint64 pid : pids) {
        const QString folder = proc + '/' + QString::number(pid);
        // Another user's descriptors cannot be listed: such a process is passed over.
        if (!HasSocket(folder + "/fd", inodes)) {
            continue;
        }
        QFile comm(folder + "/comm");
        const QString program =
            comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : "";
        return UdpPortHolder{pid, program.isEmpty() ? QStringLiteral("?") : program};
    }
    return std::nullopt;
}

} // namespace tarvex
