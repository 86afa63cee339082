#include "diagnosis/Diagnosis.h"

#include "net/ResolutionSettings.h"
#include "probe/ProbingImpossible.h"
#include "texts/AddedTexts.h"

#include <QList>
#include <algorithm>
#include <linux/if_arp.h>

namespace tarvex {

namespace {

const QString kNet = QStringLiteral("/sys/class/net/");

QString netFile(const QByteArray& interfaceName, const char* file) {
    return kNet + QString::fromUtf8(interfaceName) + QLatin1Char('/') + QLatin1String(file);
}

std::optional<long long> readNumber(SystemView& system, const QString& path) {
    const std::optional<QByteArray> contents = system.readFile(path);
    if (!contents) {
        return std::nullopt;
    }
    bool ok = false;
    const long long value = contents->trimmed().toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

bool isTunnel(SystemView& system, const QByteArray& name,
              const std::vector<InterfaceAddress>& addresses) {
    const bool pointToPoint = std::any_of(addresses.begin(), addresses.end(), [&](const auto& a) {
        return a.name == name && a.pointToPoint;
    });
    const std::optional<long long> type = readNumber(system, netFile(name, "type"));
    // tun and WireGuard links have no hardware header at all; ppp, IP-in-IP, sit and GRE have
    // types of their own.
    const bool tunnelType =
        type && (*type == ARPHRD_NONE || *type == ARPHRD_PPP || *type == ARPHRD_TUNNEL ||
                 *type == ARPHRD_SIT || *type == ARPHRD_IPGRE);
    return pointToPoint || tunnelType || name.startsWith("tun") || name.startsWith("wg") ||
           name.startsWith("ppp");
}

void checkCarrier(SystemView& system, int textBase, std::vector<Finding>& findings) {
    for (const QString& entry : system.entries(kNet)) {
        const QByteArray name = entry.toUtf8();
        if (IsContainerOrVmLink(name) ||
            readNumber(system, netFile(name, "type")) != ARPHRD_ETHER) {
            continue;
        }
        // A link that is administratively down has no carrier to read.
        if (readNumber(system, netFile(name, "carrier")) == 0) {
            findings.push_back(
                {FindingKind::NoCarrier, entry,
                 AddedCatalogText(textBase, AddedText::DiagnosisNoCarrier).arg(entry),
                 AddedCatalogText(textBase, AddedText::DiagnosisNoCarrierFix)});
        }
    }
}

void checkDefaultRoute(SystemView& system, const std::vector<InterfaceAddress>& addresses,
                       int textBase, std::vector<Finding>& findings) {
    std::vector<DefaultRoute> routes = system.defaultRoutes();
    std::stable_sort(routes.begin(), routes.end(),
                     [](const auto& a, const auto& b) { return a.metric < b.metric; });
    if (routes.empty() || !isTunnel(system, routes.front().interfaceName, addresses)) {
        return;
    }
    const QString name = QString::fromUtf8(routes.front().interfaceName);
    findings.push_back({FindingKind::TunnelHoldsDefaultRoute, name,
                        AddedCatalogText(textBase, AddedText::DiagnosisTunnelRoute).arg(name),
                        AddedCatalogText(textBase, AddedText::DiagnosisTunnelRouteFix)});
}

void checkReversePath(SystemView& system, const std::vector<QualifyingAdapter>& adapters,
                      int textBase, std::vector<Finding>& findings) {
    const long long all =
        readNumber(system, QStringLiteral("/proc/sys/net/ipv4/conf/all/rp_filter")).value_or(0);
    for (const QualifyingAdapter& adapter : adapters) {
        const QString name = QString::fromUtf8(adapter.name);
        const long long own =
            readNumber(system, QStringLiteral("/proc/sys/net/ipv4/conf/%1/rp_filter").arg(name))
                .value_or(0);
        // The kernel applies the larger of the two.
        if (std::max(all, own) == 1) {
            findings.push_back(
                {FindingKind::StrictReversePath, name,
                 AddedCatalogText(textBase, AddedText::DiagnosisStrictReversePath).arg(name),
                 AddedCatalogText(textBase, AddedText::DiagnosisStrictReversePathFix).arg(name)});
        }
    }
}

void checkFirewalls(SystemView& system, int textBase, std::vector<Finding>& findings) {
    const QByteArray ufw =
        system.readFile(QStringLiteral("/etc/ufw/ufw.conf")).value_or(QByteArray());
    const QList<QByteArray> lines = ufw.split('\n');
    const bool ufwEnabled = std::any_of(lines.cbegin(), lines.cend(), [](const QByteArray& line) {
        const QByteArray l = line.trimmed();
        return l == "ENABLED=yes" || l == "ENABLED=\"yes\"";
    });
    const QString blocks = AddedCatalogText(textBase, AddedText::DiagnosisFirewallActive);
    // The fixes are bare commands: the same in both editions.
    if (ufwEnabled) {
        findings.push_back({FindingKind::UfwEnabled,
                            {},
                            blocks.arg(QStringLiteral("ufw")),
                            QStringLiteral("sudo ufw allow \"Dravik Setup\"")});
    }
    if (system.systemBusHasName(QString::fromLatin1(kFirewalldBusName))) {
        findings.push_back(
            {FindingKind::FirewalldRunning,
             {},
             blocks.arg(QStringLiteral("firewalld")),
             QStringLiteral("sudo firewall-cmd --permanent --add-service=dravik-setup && sudo "
                            "firewall-cmd --reload")});
    }
}

void checkProbing(SystemView& system, int textBase, std::vector<Finding>& findings) {
    if (system.probeWay() == ProbeWay::None) {
        findings.push_back({FindingKind::ProbingNotPermitted,
                            {},
                            AddedCatalogText(textBase, AddedText::DiagnosisProbingNotPermitted),
                            ProbingFixText(textBase, system.pingBlock())});
    }
}

void checkWireless(SystemView& system, const std::vector<QualifyingAdapter>& adapters, int textBase,
                   std::vector<Finding>& findings) {
    for (const QualifyingAdapter& adapter : adapters) {
        if (system.exists(netFile(adapter.name, "wireless")) ||
            system.exists(netFile(adapter.name, "phy80211"))) {
            const QString name = QString::fromUtf8(adapter.name);
            findings.push_back({FindingKind::WirelessAdapter, name,
                                AddedCatalogText(textBase, AddedText::DiagnosisWireless).arg(name),
                                AddedCatalogText(textBase, AddedText::DiagnosisWirelessFix)});
        }
    }
}

void checkResolution(SystemView& system, const std::vector<QualifyingAdapter>& adapters,
                     int textBase, std::vector<Finding>& findings) {
    for (const QualifyingAdapter& adapter : adapters) {
        const QString name = QString::fromUtf8(adapter.name);
        const ResolutionSettings settings =
            ReadResolutionSettings([&system](const QString& path) { return system.readFile(path); },
                                   ResolutionSettingsDirectory(name));
        if (!settings.asksTheNetwork()) {
            findings.push_back(
                {FindingKind::ResolutionOff, name,
                 AddedCatalogText(textBase, AddedText::DiagnosisNoResolutionRequests).arg(name),
                 AddedCatalogText(textBase, AddedText::DiagnosisNoResolutionRequestsFix)
                     .arg(name)});
        }
        if (settings.daemonRequests > 0) {
            findings.push_back(
                {FindingKind::DaemonAskedFirst, name,
                 AddedCatalogText(textBase, AddedText::DiagnosisDaemonResolution).arg(name),
                 AddedCatalogText(textBase, AddedText::DiagnosisDaemonResolutionFix).arg(name)});
        }
    }
}

} // namespace

std::vector<Finding> Diagnose(SystemView& system, int textBase) {
    std::vector<Finding> findings;
    const std::vector<InterfaceAddress> addresses = system.interfaceAddresses();
    const AdapterList list = ListAdapters(addresses, system.defaultRoutes());
    if (list.adapters.empty()) {
        findings.push_back({FindingKind::NoAdapter,
                            {},
                            AddedCatalogText(textBase, AddedText::DiagnosisNoAdapter),
                            AddedCatalogText(textBase, AddedText::DiagnosisNoAdapterFix)});
    }
    checkCarrier(system, textBase, findings);
    checkDefaultRoute(system, addresses, textBase, findings);
    checkReversePath(system, list.adapters, textBase, findings);
    checkFirewalls(system, textBase, findings);
    checkProbing(system, textBase, findings);
    checkWireless(system, list.adapters, textBase, findings);
    checkResolution(system, list.adapters, textBase, findings);
    if (!list.skipped.empty()) {
        QStringList names;
        for (const QByteArray& name : list.skipped) {
            names.append(QString::fromUtf8(name));
        }
        const QString joined = names.join(QStringLiteral(", "));
        findings.push_back(
            {FindingKind::SkippedBridges, joined,
             AddedCatalogText(textBase, AddedText::DiagnosisSkippedBridges).arg(joined),
             AddedCatalogText(textBase, AddedText::DiagnosisSkippedBridgesFix)});
    }
    return findings;
}

QString ProbeWayLine(ProbeWay way, int textBase) {
    const AddedText name = way == ProbeWay::DatagramSocket ? AddedText::ProbeWayDatagramSocket
                           : way == ProbeWay::RawSocket    ? AddedText::ProbeWayRawSocket
                           : way == ProbeWay::SystemPing   ? AddedText::ProbeWaySystemPing
                                                           : AddedText::ProbeWayNone;
    return AddedCatalogText(textBase, AddedText::DiagnosisProbeWay)
        .arg(AddedCatalogText(textBase, name));
}

QStringList DiagnosisLines(const std::vector<Finding>& findings, int textBase) {
    if (findings.empty()) {
        return {AddedCatalogText(textBase, AddedText::DiagnosisNothingFound)};
    }
    QStringList lines;
    for (const Finding& finding : findings) {
        lines.append(finding.text);
        lines.append(AddedCatalogText(textBase, AddedText::DiagnosisFixLine).arg(finding.fix));
    }
    return lines;
}

} // namespace tarvex
