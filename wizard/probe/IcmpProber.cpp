#include "probe/IcmpProber.h"

#include "base/Logging.h"
#include "net/Ipv4Address.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace tarvex {

namespace {

void logOutcomes(const QList<Ipv4Address>& addresses, unsigned throughInterface,
                 const QList<ProbeOutcome>& outcomes) {
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        qCDebug(lcNet) << "probe" << addresses[i].text() << "through interface" << throughInterface
                       << EchoStatusName(outcomes[i].status) << "errno" << outcomes[i].error;
    }
}

} // namespace

std::vector<const EchoSocketWay*> EchoSocketWaysOf(ProbeWays ways) {
    switch (ways) {
    case ProbeWays::Any:
        return {&kDatagramSocketWay, &kRawSocketWay};
    case ProbeWays::DatagramOnly:
        return {&kDatagramSocketWay};
    case ProbeWays::RawOnly:
        return {&kRawSocketWay};
    case ProbeWays::SystemPingOnly:
        break;
    }
    return {};
}

QList<ProbeOutcome> IcmpProber::probeAll(const QList<Ipv4Address>& addresses,
                                         unsigned throughInterface) {
    QList<ProbeOutcome> outcomes = SocketProber(EchoSocketWaysOf(ways_), timeout_, sender_)
                                       .probeAll(addresses, throughInterface);
    // Every probe or none is Impossible: no socket would open (with no way to try: EPERM).
    const auto impossible =
        std::ranges::find(outcomes, EchoStatus::Impossible, &ProbeOutcome::status);
    if (impossible != outcomes.end()) {
        const int error = impossible->error;
        const bool pingAllowed = ways_ == ProbeWays::Any || ways_ == ProbeWays::SystemPingOnly;
        if (pingAllowed && PingMaySendEchoes(pingProgram_)) {
            outcomes =
                SystemPingProber(pingProgram_, timeout_).probeAll(addresses, throughInterface);
            qCDebug(lcNet) << "probed by" << pingProgram_ << "after errno" << error;
        }
    }
    logOutcomes(addresses, throughInterface, outcomes);
    return outcomes;
}

ProbeWay ProbeWayOnThisPc(const QString& pingProgram) {
    const OpenedEchoSocket opened = OpenEchoSocket(EchoSocketWaysOf(ProbeWays::Any));
    if (opened.fd >= 0) {
        close(opened.fd);
        return opened.way->way;
    }
    return PingMaySendEchoes(pingProgram) ? ProbeWay::SystemPing : ProbeWay::None;
}

const char* EchoStatusName(EchoStatus status) {
    switch (status) {
    case EchoStatus::Reply:
        return "reply";
    case EchoStatus::NoReply:
        return "no reply";
    case EchoStatus::NotSent:
        return "not sent";
    case EchoStatus::NotAccepted:
        return "not an address";
    case EchoStatus::Impossible:
        return "probing impossible";
    }
    return "?";
}

} // namespace tarvex
