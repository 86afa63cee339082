#pragma once

#include "diagnosis/SystemView.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tarvex {

// What may keep the appliances' replies from this PC.
enum class FindingKind {
    NoAdapter,               // no interface qualifies for a discovery
    NoCarrier,               // an Ethernet adapter without a cable (or with a switch off)
    TunnelHoldsDefaultRoute, // a VPN or tunnel has the lowest-metric default route
    StrictReversePath,       // rp_filter=1 on an adapter: foreign-subnet replies are dropped
    UfwEnabled,
    FirewalldRunning,
    ProbingNotPermitted, // no ICMP socket for this user and no system ping that may send echoes
    WirelessAdapter,     // access points may keep wireless clients from wired appliances
    SkippedBridges,      // container and virtual-machine bridges passed over
    ResolutionOff,       // mcast_solicit=0 on an adapter: no address can be known to be free
    DaemonAskedFirst,    // app_solicit above 0: the network is asked late, perhaps too late
};

struct Finding {
    FindingKind kind;
    QString subject; // the interface or interfaces concerned; empty for the PC as a whole
    QString text;    // what was found
    QString fix;     // what to do about it

    friend bool operator==(const Finding&, const Finding&) = default;
};

// Runs every check on the PC the view shows; each reads a few small files and ends at once. The
// texts are those of the edition of that text base.
[[nodiscard]] std::vector<Finding> Diagnose(SystemView& system, int textBase);

// The findings as text lines: each finding, then its fix indented under it; one line saying
// that nothing was found when there is no finding.
[[nodiscard]] QStringList DiagnosisLines(const std::vector<Finding>& findings, int textBase);

// The line that says how the reachability probe sends its echoes on this PC.
[[nodiscard]] QString ProbeWayLine(ProbeWay way, int textBase);

// The well-known name firewalld holds on the system bus.
inline constexpr auto kFirewalldBusName = "org.fedoraproject.FirewallD1";

} // namespace tarvex
