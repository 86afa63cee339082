#include "diagnosis/Diagnosis.h"

#include "diagnosis/SystemBusNames.h"
#include "diagnosis/ThreadedDiagnosis.h"
#include "support/Addresses.h"
#include "texts/TextCatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarvex {
namespace {

// A healthy PC: one wired adapter with a link, loose filtering, probes allowed, no firewall.
class FakeSystemView final : public SystemView {
public:
    FakeSystemView() {
        addAdapter("eth0", 2, "192.168.0.20");
        routes = {{"eth0", testing::Address("192.168.0.1"), 100}};
        files["/proc/sys/net/ipv4/conf/all/rp_filter"] = "0\n";
        files["/proc/sys/net/ipv4/conf/eth0/rp_filter"] = "2\n";
        files["/etc/ufw/ufw.conf"] = "# comment\nENABLED=no\nLOGLEVEL=low\n";
    }
    void addAdapter(const char* name, unsigned index, const char* address, int carrier = 1,
                    int type = 1) {
        addresses.push_back(
            {name, index, false, testing::Address(address), testing::Address("255.255.255.0")});
        const QString base = QStringLiteral("/sys/class/net/") + QLatin1String(name);
        files[base + "/type"] = QByteArray::number(type) + "\n";
        files[base + "/carrier"] = QByteArray::number(carrier) + "\n";
    }

    std::vector<InterfaceAddress> interfaceAddresses() override { return addresses; }
    std::vector<DefaultRoute> defaultRoutes() override { return routes; }
    std::optional<QByteArray> readFile(const QString& path) override {
        const auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional(found->second);
    }
    bool exists(const QString& path) override {
        return files.count(path) != 0 || present.count(path) != 0;
    }
    QStringList entries(const QString& directory) override {
        QStringList names;
        for (const auto& [path, contents] : files) {
            if (path.startsWith(directory) && path.endsWith("/type")) {
                names.append(path.mid(directory.size()).section('/', 0, 0));
            }
        }
        return names;
    }
    bool systemBusHasName(const QString& name) override { return busNames.count(name) != 0; }
    ProbeWay probeWay() override { return way; }
    PingBlock pingBlock() override { return PingBlock::Missing; }

    std::vector<InterfaceAddress> addresses;
    std::vector<DefaultRoute> routes;
    std::map<QString, QByteArray> files;
    std::set<QString> present;
    ProbeWay way = ProbeWay::DatagramSocket;
    std::set<QString> busNames;
};

struct DiagnosisRow {
    const char* name;
    std::function<void(FakeSystemView&)> arrange;
    std::vector<std::pair<FindingKind, QString>> expected; // kind and subject, in order
};

void PrintTo(const DiagnosisRow& row, std::ostream* os) {
    *os << row.name;
}

class DiagnosisRows : public ::testing::TestWithParam<DiagnosisRow> {};

TEST_P(DiagnosisRows, FindsExactlyWhatIsWrong) {
    FakeSystemView system;
    GetParam().arrange(system);
    std::vector<std::pair<FindingKind, QString>> found;
    for (const Finding& finding : Diagnose(system, kEnglishTextBase)) {
        EXPECT_FALSE(finding.text.isEmpty());
        EXPECT_FALSE(finding.fix.isEmpty());
        found.emplace_back(finding.kind, finding.subject);
    }
    EXPECT_EQ(found, GetParam().expected);
}

using K = FindingKind;

INSTANTIATE_TEST_SUITE_P(
    Checks, DiagnosisRows,
    ::testing::Values(
        DiagnosisRow{"HealthyPc", [](FakeSystemView&) {}, {}},
        DiagnosisRow{"NoAdapterAtAll",
                     [](FakeSystemView& s) {
                         s.addresses.clear();
                         s.routes.clear();
                     },
                     {{K::NoAdapter, ""}}},
        DiagnosisRow{"CableUnpluggedOnASecondAdapterAndADownOneUnreadable",
                     [](FakeSystemView& s) {
                         s.addAdapter("eth1", 3, "10.0.0.5", 0);
                         s.files.erase("/sys/class/net/eth0/carrier"); // down: EINVAL
                     },
                     {{K::NoCarrier, "eth1"}}},
        DiagnosisRow{"TunnelWithoutCarrierIsNoCable",
                     [](FakeSystemView& s) { s.addAdapter("tun0", 5, "10.8.0.6", 0, 65534); },
                     {}},
        DiagnosisRow{"VpnHoldsTheLowestMetricDefaultRoute",
                     [](FakeSystemView& s) {
                         s.files["/sys/class/net/vpn0/type"] = "65534\n";
                         s.routes.push_back({"vpn0", std::nullopt, 50});
                     },
                     {{K::TunnelHoldsDefaultRoute, "vpn0"}}},
        DiagnosisRow{"PointToPointWithHigherMetricIsFine",
                     [](FakeSystemView& s) {
                         s.addresses.push_back({"ppp0", 6, false, testing::Address("100.64.0.7"),
                                                testing::Address("255.255.255.255"), true, false,
                                                true});
                         s.routes.push_back({"ppp0", std::nullopt, 600});
                     },
                     {}},
        DiagnosisRow{
            "StrictFilteringOnTheAdapter",
            [](FakeSystemView& s) { s.files["/proc/sys/net/ipv4/conf/eth0/rp_filter"] = "1\n"; },
            {{K::StrictReversePath, "eth0"}}},
        DiagnosisRow{"LooseForAllWinsOverStrictOfTheAdapter",
                     [](FakeSystemView& s) {
                         s.files["/proc/sys/net/ipv4/conf/all/rp_filter"] = "2\n";
                         s.files["/proc/sys/net/ipv4/conf/eth0/rp_filter"] = "1\n";
                     },
                     {}},
        DiagnosisRow{"StrictForAllMeansStrictEverywhere",
                     [](FakeSystemView& s) {
                         s.files["/proc/sys/net/ipv4/conf/all/rp_filter"] = "1\n";
                         s.files["/proc/sys/net/ipv4/conf/eth0/rp_filter"] = "0\n";
                     },
                     {{K::StrictReversePath, "eth0"}}},
        DiagnosisRow{"BothFirewalls",
                     [](FakeSystemView& s) {
                         s.files["/etc/ufw/ufw.conf"] = "ENABLED=yes\n";
                         s.busNames.insert(kFirewalldBusName);
                     },
                     {{K::UfwEnabled, ""}, {K::FirewalldRunning, ""}}},
        DiagnosisRow{"NoWayToSendAnEcho",
                     [](FakeSystemView& s) { s.way = ProbeWay::None; },
                     {{K::ProbingNotPermitted, ""}}},
        DiagnosisRow{
            "SystemPingSendsThem", [](FakeSystemView& s) { s.way = ProbeWay::SystemPing; }, {}},
        DiagnosisRow{"WirelessAdapter",
                     [](FakeSystemView& s) { s.present.insert("/sys/class/net/eth0/phy80211"); },
                     {{K::WirelessAdapter, "eth0"}}},
        DiagnosisRow{"NoResolutionRequests",
                     [](FakeSystemView& s) {
                         s.files["/proc/sys/net/ipv4/neigh/eth0/mcast_solicit"] = "0\n";
                     },
                     {{K::ResolutionOff, "eth0"}}},
        DiagnosisRow{"DaemonAskedBeforeTheNetwork",
                     [](FakeSystemView& s) {
                         s.files["/proc/sys/net/ipv4/neigh/eth0/app_solicit"] = "29\n";
                     },
                     {{K::DaemonAskedFirst, "eth0"}}},
        DiagnosisRow{"ContainerBridgesNamed",
                     [](FakeSystemView& s) {
                         s.addAdapter("docker0", 4, "172.17.0.1", 0);
                         s.addAdapter("virbr0", 7, "192.168.122.1");
                     },
                     {{K::SkippedBridges, "docker0, virbr0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiagnosisLines, EachFindingThenItsFixOrThatNothingWasFound) {
    EXPECT_EQ(DiagnosisLines({}, kEnglishTextBase), QStringList{"No problem found on this PC."});
    EXPECT_EQ(DiagnosisLines({{FindingKind::UfwEnabled, {}, "ufw is on.", "sudo ufw allow x"}},
                             kEnglishTextBase),
              (QStringList{"ufw is on.", "  Fix: sudo ufw allow x"}));
    // The Chinese edition frames its own lines; the interface and the command stay as they are.
    FakeSystemView strict;
    strict.files["/proc/sys/net/ipv4/conf/eth0/rp_filter"] = "1\n";
    EXPECT_EQ(
        DiagnosisLines(Diagnose(strict, kChineseTextBase), kChineseTextBase).value(1),
        QString::fromUtf8("  解決方法：設定期間請改為寬鬆過濾：\"sudo sysctl -w "
                          "net.ipv4.conf.all.rp_filter=2 net.ipv4.conf.eth0.rp_filter=2\"。"));
}

// The bus question on a bus of the test's own, pointed at by DBUS_SYSTEM_BUS_ADDRESS: a real
// bus daemon, one that accepts the connection and never answers, and none at all. Each answer
// comes within the deadline, whatever the bus does.
struct BusRow {
    const char* name;
    const char* bus; // "daemon", "silent" or "none"
    const char* asked;
    bool expected;
};

void PrintTo(const BusRow& row, std::ostream* os) {
    *os << row.name;
}

class SystemBusRows : public ::testing::TestWithParam<BusRow> {};

TEST_P(SystemBusRows, AnswersWithinTheDeadline) {
    using namespace std::chrono_literals;
    const QTemporaryDir directory;
    const QString path = directory.filePath("bus");
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + QFile::encodeName(path));
    QProcess daemon;
    int silent = -1;
    if (GetParam().bus == std::string("daemon")) {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
            GTEST_SKIP() << "no dbus-daemon here";
        }
        daemon.start("dbus-daemon", {"--session", "--nofork", "--address=unix:path=" + path});
        for (int i = 0; i < 200 && !QFileInfo::exists(path); ++i) {
            QThread::msleep(10);
        }
    } else if (GetParam().bus == std::string("silent")) {
        silent = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                     sizeof address.sun_path - 1);
        ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(listen(silent, 4), 0); // connections wait in the queue, never accepted
    }
    const auto start = std::chrono::steady_clock::now();
    const bool answer = SystemBusHasName(QString::fromLatin1(GetParam().asked));
    const auto took = std::chrono::steady_clock::now() - start;
    std::cout << GetParam().name << ": "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
    EXPECT_EQ(answer, GetParam().expected);
    EXPECT_LT(took, kBusDeadline + 100ms);

    // The run's diagnosis on that bus: pending details at once, set within the deadline.
    ThreadedDiagnosis diagnosis(&SystemBusHasName, kEnglishTextBase);
    const auto asked = std::chrono::steady_clock::now();
    const MessageDetails details = diagnosis.start();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 50ms);
    while (!details.ready() && std::chrono::steady_clock::now() - asked < 5s) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const auto found = std::chrono::steady_clock::now() - asked;
    std::cout << "  the run's diagnosis: details after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(found).count() << " ms\n";
    EXPECT_TRUE(details.ready());
    EXPECT_FALSE(details.text().isEmpty());
    EXPECT_LT(found, kBusDeadline + 200ms);
    if (silent >= 0) {
        close(silent);
    }
    if (daemon.state() != QProcess::NotRunning) {
        daemon.kill();
        daemon.waitForFinished(2000);
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
}

INSTANTIATE_TEST_SUITE_P(
    Buses, SystemBusRows,
    ::testing::Values(BusRow{"DaemonHoldsItsOwnName", "daemon", "org.freedesktop.DBus", true},
                      BusRow{"NameNobodyHolds", "daemon", kFirewalldBusName, false},
                      BusRow{"BusThatNeverAnswers", "silent", kFirewalldBusName, false},
                      BusRow{"NoBus", "none", kFirewalldBusName, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvex
