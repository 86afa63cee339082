#include "probe/SystemPingProber.h"

#include "process/BoundedProcessQueue.h"

#include <QEventLoop>
#include <cerrno>
#include <net/if.h>

namespace tarvex {
namespace {

constexpr std::size_t kPayloadBytes = 26;

// The deadline as ping takes it: seconds with a decimal point, whatever the locale.
QString seconds(std::chrono::milliseconds timeout) {
    return QString::number(static_cast<double>(timeout.count()) / 1000.0, 'f', 3);
}

ProbeOutcome outcomeOf(const ProcessEnd& end) {
    if (end.kind == ProcessEnd::Kind::Exited && end.exitCode == 0) {
        return {EchoStatus::Reply, 0};
    }
    if (end.kind == ProcessEnd::Kind::Exited && end.exitCode == 1) {
        return {EchoStatus::NoReply, 0};
    }
    return {EchoStatus::NotSent, 0}; // it never told
}

} // namespace

QList<ProbeOutcome> SystemPingProber::probeAll(const QList<Ipv4Address>& addresses,
                                               unsigned throughInterface) {
    QList<ProbeOutcome> outcomes(addresses.size(), ProbeOutcome{EchoStatus::NotAccepted, 0});
    QStringList through;
    if (throughInterface != kAnyInterface) {
        char name[IF_NAMESIZE] = {};
        if (if_indextoname(throughInterface, name) == nullptr) {
            // Gone since the reply came: nothing can be learnt through it.
            const int error = errno;
            for (qsizetype i = 0; i < addresses.size(); ++i) {
                if (addresses[i].toHostOrder() != 0xffffffffU) {
                    outcomes[i] = {EchoStatus::NotSent, error};
                }
            }
            return outcomes;
        }
        through = {QStringLiteral("-I"), QString::fromLocal8Bit(name)};
    }
    QEventLoop loop; // first: gives this thread the event dispatcher the processes need
    BoundedProcessQueue pings(timeout_ + kPingGrace, kMostPingsAtOnce);
    // No locale (ping reads its decimal point from it) and nothing else of ours.
    pings.setEnvironment({"LC_ALL=C", "PATH=/usr/bin:/bin"});
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        // The limited broadcast is never one host.
        if (addresses[i].toHostOrder() == 0xffffffffU) {
            continue;
        }
        // The address ping gets is the parsed one printed back, never a text as received.
        const QStringList arguments =
            QStringList{QStringLiteral("-n"),          QStringLiteral("-c"), QStringLiteral("1"),
                        QStringLiteral("-W"),          seconds(timeout_),    QStringLiteral("-s"),
                        QString::number(kPayloadBytes)} +
            through + QStringList{QStringLiteral("--"), addresses[i].text()};
        pings.add(program_, arguments,
                  [&outcomes, i](const ProcessEnd& end) { outcomes[i] = outcomeOf(end); });
    }
    QObject::connect(&pings, &BoundedProcessQueue::drained, &loop, &QEventLoop::quit);
    if (!pings.idle()) {
        loop.exec();
    }
    return outcomes;
}

} // namespace tarvex
