// The wizard's speed figures on the lab network, each next to the same work done the old way
// (one probe at a time on the user-interface thread; every pending reply read at once), in the
// same run. Not a test: it asserts nothing. Runs inside the lab's PC namespace (tools/bench.sh);
// prints one JSON object per figure.
//
//   tarvex_bench --runs N [--only list|thousand|search|searchping|stall|reading|giving|waste|flood|
//                               diagnosis|loss|confirm]
//                                                   (in the lab's PC namespace)
//   tarvex_bench --runs N --only adapters           (in its two-adapter PC, pc2)
#include "LabHost.h"
#include "LabWizard.h"
#include "appliance/ApplianceList.h"
#include "cli/ScanCommand.h"
#include "diagnosis/Diagnosis.h"
#include "diagnosis/LiveSystemView.h"
#include "diagnosis/SystemBusNames.h"
#include "net/AdapterReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <algorithm>
#include <arpa/inet.h>
#include <iostream>
#include <linux/if_packet.h>
#include <map>
#include <net/ethernet.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace tarvex::lab {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QJsonObject spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    QJsonArray all;
    for (const double value : values) {
        all.append(value);
    }
    return {{"min", values.front()},
            {"median", values[values.size() / 2]},
            {"max", values.back()},
            {"runs", all}};
}

// oldWay: the same work done the way it was before, and what that way is.
void printFigure(const char* figure, const char* unit, const std::vector<double>& ours,
                 const std::vector<double>& oldWay, const char* oldWayIs = "one probe at a time") {
    QJsonObject line{{"figure", figure}, {"unit", unit}, {"ours", spread(ours)}};
    if (!oldWay.empty()) {
        line.insert("old_way", spread(oldWay));
        line.insert("old_way_is", oldWayIs);
    }
    std::cout << QJsonDocument(line).toJson(QJsonDocument::Compact).toStdString() << std::endl;
}

// 1. End of the discovery window to the device list on screen.
void listFigure(int runs) {
    QStringList arguments;
    const QStringList addresses = ElevenAppliancesTenSilent();
    for (int i = 0; i < addresses.size(); ++i) {
        arguments << "--appliance"
                  << QStringLiteral("id=BENCH%1,ip=%2,host=B%3")
                         .arg(i, 12, 10, QLatin1Char('0'))
                         .arg(addresses[i])
                         .arg(i);
    }
    std::vector<double> ours;
    std::vector<double> oneByOne;
    for (int run = 0; run < runs; ++run) {
        const SimulatorProcess appliances("ap1", arguments);
        LabWizard wizard;
        wizard.chooseOnList("none");
        wizard.start();
        wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s);
        const auto windowEnd = wizard.services.intervals.scanStart.count() +
                               wizard.services.intervals.discoveryWindow.count();
        ours.push_back(static_cast<double>(wizard.listShownAfter - windowEnd));
        // The same list probed one address after another once the window is over.
        IcmpProber prober;
        const Clock::time_point start = Clock::now();
        for (const QString& address : addresses) {
            (void)prober.probe(testing::Address(address));
        }
        oneByOne.push_back(msSince(start));
    }
    printFigure("window end to device list, 11 appliances (10 silent)", "ms", ours, oneByOne);
}

// 1b. The same on a PC with two adapters, an appliance behind each, next to that PC asking
// through its one chosen adapter (lab namespace pc2).
void adaptersFigure(int runs) {
    std::vector<double> both;
    std::vector<double> one;
    for (int run = 0; run < runs; ++run) {
        for (const bool several : {true, false}) {
            const SimulatorProcess near("ap1",
                                        {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30"});
            const SimulatorProcess far("ap4", {"--interface", "eth0", "--appliance",
                                               "id=FAR00000000000001,ip=10.77.4.40"});
            LabWizard wizard;
            if (!several) {
                wizard.services.readAdapters = [] {
                    return PcAdapters{ReadPcAdapters().chosen, {}};
                };
            }
            wizard.chooseOnList("none");
            wizard.start();
            wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s);
            const auto windowEnd = wizard.services.intervals.scanStart.count() +
                                   wizard.services.intervals.discoveryWindow.count();
            (several ? both : one)
                .push_back(static_cast<double>(wizard.listShownAfter - windowEnd));
        }
    }
    printFigure("window end to device list, two adapters, an appliance behind each", "ms", both,
                one, "one adapter, one appliance");
}

// 2. The free-address search with 19 of 20 candidates in use: a free address is taken only
// once the kernel's resolution of it has failed, so the figure is about that resolution time.
void searchFigure(int runs) {
    const QStringList candidates = CrowdedCandidates();
    IcmpProber prober;
    ThreadedProbeRunner runner{prober};
    NetlinkNeighbourWatch watch;
    FreeAddressSearch search{runner, watch};
    std::vector<double> ours;
    std::vector<double> oneByOne;
    for (int run = 0; run < runs; ++run) {
        const SimulatorProcess late("late", LateHostsArguments(), TARVEX_ARP_RESPONDER);
        (void)ForgetNeighbours();
        ours.push_back(static_cast<double>(SearchToTheEnd(search, candidates).ms));
        (void)ForgetNeighbours();
        const Clock::time_point start = Clock::now();
        (void)FirstFreeOneAtATime(candidates, search);
        oneByOne.push_back(msSince(start));
    }
    printFigure("free-address search, 19 of 20 in use (half drop echoes, 2 answer ARP late)", "ms",
                ours, oneByOne);
}

// 2b. The same search for an ordinary user who may open no ICMP socket: each echo through one
// system ping, next to the ICMP socket of the figure above.
void searchPingFigure(int runs) {
    const QStringList candidates = CrowdedCandidates();
    IcmpProber viaPing(kEchoTimeout, ProbeWays::SystemPingOnly);
    IcmpProber viaSocket;
    ThreadedProbeRunner pingRunner{viaPing};
    ThreadedProbeRunner socketRunner{viaSocket};
    NetlinkNeighbourWatch watch;
    FreeAddressSearch pingSearch{pingRunner, watch};
    FreeAddressSearch socketSearch{socketRunner, watch};
    std::vector<double> ours;
    std::vector<double> socketWay;
    for (int run = 0; run < runs; ++run) {
        const SimulatorProcess late("late", LateHostsArguments(), TARVEX_ARP_RESPONDER);
        (void)ForgetNeighbours();
        {
            const AsOrdinaryUser user;
            ours.push_back(static_cast<double>(SearchToTheEnd(pingSearch, candidates).ms));
        }
        (void)ForgetNeighbours();
        socketWay.push_back(static_cast<double>(SearchToTheEnd(socketSearch, candidates).ms));
    }
    printFigure("free-address search, 19 of 20 in use, ordinary user through the system's ping",
                "ms", ours, socketWay, "ICMP socket");
}

// 1c. The same with the fullest list: 1 000 appliances, none of which answers an echo (55 on
// the PC's subnet, the others where the gateway drops the echoes), so every probe waits out its
// time-out.
void thousandFigure(int runs) {
    QStringList arguments;
    for (int i = 0; i < kMostAppliances; ++i) {
        const QString ip = i < 55 ? QStringLiteral("10.77.1.%1").arg(200 + i)
                                  : QStringLiteral("10.78.%1.%2").arg(i / 250).arg(1 + i % 250);
        arguments << "--appliance"
                  << QStringLiteral("id=MANY%1,ip=%2,host=M%3")
                         .arg(i, 13, 10, QLatin1Char('0'))
                         .arg(ip)
                         .arg(i);
    }
    std::vector<double> ours;
    std::vector<double> rows;
    for (int run = 0; run < runs; ++run) {
        const SimulatorProcess appliances("ap1", arguments);
        LabWizard wizard;
        wizard.chooseOnList("none");
        wizard.start();
        wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 60s);
        const auto windowEnd = wizard.services.intervals.scanStart.count() +
                               wizard.services.intervals.discoveryWindow.count();
        ours.push_back(static_cast<double>(wizard.listShownAfter - windowEnd));
        rows.push_back(static_cast<double>(wizard.rows.size()));
    }
    printFigure("window end to device list, 1 000 appliances, none answering echoes", "ms", ours,
                {});
    printFigure("window end to device list, 1 000 appliances: rows listed", "rows", rows, {});
}

// 3. The longest stall of the user-interface thread in a whole configured run, and in each of
// its parts, so that a stall shows where it comes from.
void stallFigure(int runs) {
    static const char* const kPhases[] = {"scan",        "list",          "search",
                                          "credentials", "configuration", "shortcuts"};
    std::map<std::string, std::vector<double>> byPhase;
    std::vector<double> ours;
    std::vector<double> oneByOne;
    for (int run = 0; run < runs; ++run) {
        (void)PutForeignApplianceBack();
        const SimulatorProcess appliance(
            "ap3",
            {"--interface", "eth0", "--appliance",
             "id=MOVE0000000000001,ip=10.77.2.50,host=NAS,user=qorvu,password=qorvu,move=1"});
        LabWizard wizard;
        wizard.random.draws = {140.0F / 253.0F, 141.0F / 253.0F};
        wizard.chooseOnList("10.77.2.50");
        wizard.answerCredentials("nextButton");
        const StallMeter meter({}, [&wizard] { return wizard.phase(); });
        wizard.start();
        wizard.waitFor([&] { return wizard.flow.programEnded(); }, 30s);
        ours.push_back(static_cast<double>(meter.longestMs()));
        for (const char* phase : kPhases) {
            byPhase[phase].push_back(static_cast<double>(meter.longestMsIn(phase)));
        }
        // A probe on the user-interface thread, as a page that waits for its echo does.
        const StallMeter blocked;
        QTest::qWait(50);
        (void)IcmpProber().probe(testing::Address("10.77.1.230"));
        QTest::qWait(50);
        oneByOne.push_back(static_cast<double>(blocked.longestMs()));
    }
    printFigure("longest user-interface stall, whole configured run", "ms", ours, oneByOne);
    for (const char* phase : kPhases) {
        const std::string figure = std::string("longest user-interface stall, ") + phase;
        printFigure(figure.c_str(), "ms", byPhase[phase], {});
    }
}

// Packets this namespace has sent, every interface but loopback.
qint64 packetsSent() {
    qint64 total = 0;
    for (const QString& name :
         QDir("/sys/class/net").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(QStringLiteral("/sys/class/net/%1/statistics/tx_packets").arg(name));
        if (name != "lo" && file.open(QIODevice::ReadOnly)) {
            total += file.readAll().trimmed().toLongLong();
        }
    }
    return total;
}

// The appliance of the reading figures, on the foreign subnet again, the PC's neighbour table
// forgotten.
SimulatorProcess MovableAppliance() {
    (void)PutForeignApplianceBack();
    (void)ForgetNeighbours();
    return SimulatorProcess(
        "ap3", {"--interface", "eth0", "--appliance",
                "id=MOVE0000000000001,ip=10.77.2.50,host=NAS,user=qorvu,password=qorvu"});
}

// 4b. Next on an appliance that needs an address to the credentials page on screen: the search
// begun with the list, next to the search begun on Next, with the list read for 4 s and not at
// all.
void readingFigure(int runs) {
    std::map<std::pair<bool, int>, std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        for (const int readMs : {4000, 0}) {
            for (const bool ahead : {true, false}) {
                const SimulatorProcess appliance = MovableAppliance();
                LabWizard wizard;
                wizard.services.searchWhileListIsRead = ahead;
                wizard.chooseOnList("10.77.2.50", std::chrono::milliseconds(readMs));
                wizard.answerCredentials("exitButton");
                wizard.start();
                wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 30s);
                times[{ahead, readMs}].push_back(
                    static_cast<double>(wizard.credentialsShownAfter - wizard.chosenAfter));
            }
        }
    }
    printFigure("Next on an unreachable appliance to the credentials page, list read for 4 s", "ms",
                times[{true, 4000}], times[{false, 4000}], "the search begun on Next");
    printFigure("Next on an unreachable appliance to the credentials page, Next at once", "ms",
                times[{true, 0}], times[{false, 0}], "the search begun on Next");
}

// ARP requests this namespace sends, counted from a packet socket while it is open.
class ArpRequestCounter {
public:
    // Only a socket for every protocol is shown what this host sends.
    ArpRequestCounter() : fd_(socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK, htons(ETH_P_ALL))) {}
    ~ArpRequestCounter() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    ArpRequestCounter(const ArpRequestCounter&) = delete;
    ArpRequestCounter& operator=(const ArpRequestCounter&) = delete;
    // Reads what came since the last call; the requests this host sent among it.
    int sentSince() {
        int sent = 0;
        unsigned char frame[2048];
        sockaddr_ll from{};
        socklen_t size = sizeof from;
        while (fd_ >= 0 && recvfrom(fd_, frame, sizeof frame, 0, reinterpret_cast<sockaddr*>(&from),
                                    &size) > 0) {
            // An Ethernet ARP frame whose operation is 1, a request.
            if (from.sll_pkttype == PACKET_OUTGOING && frame[12] == 0x08 && frame[13] == 0x06 &&
                frame[20] == 0 && frame[21] == 1) {
                ++sent;
            }
            size = sizeof from;
        }
        return sent;
    }

private:
    int fd_;
};

// 4b'. Next on the credentials page to the configuration request: the address found with the
// list and asked since, given once the asking shows it free; and the ARP requests a second that
// the asking costs while the list is read.
void givingFigure(int runs) {
    std::map<std::pair<bool, int>, std::vector<double>> times;
    std::vector<double> perSecond;
    for (int run = 0; run < runs; ++run) {
        // 10 s: the list read long enough to count the requests a second.
        for (const int readMs : {4000, 0, 10000}) {
            for (const bool ahead : {true, false}) {
                if (readMs == 10000 && !ahead) {
                    continue;
                }
                const SimulatorProcess appliance = MovableAppliance();
                LabWizard wizard;
                wizard.services.searchWhileListIsRead = ahead;
                wizard.chooseOnList("10.77.2.50", std::chrono::milliseconds(readMs));
                wizard.answerCredentials("nextButton",
                                         std::chrono::milliseconds(readMs == 0 ? 0 : 500));
                ArpRequestCounter arp;
                wizard.start();
                wizard.waitFor([&] { return wizard.listShownAfter >= 0; }, 30s);
                if (readMs == 10000) {
                    // The search's own resolutions end 3 s after the list opened.
                    QTest::qWait(3200);
                    (void)arp.sentSince();
                    const Clock::time_point counting = Clock::now();
                    wizard.waitFor([&] { return wizard.chosenAfter >= 0; }, 30s);
                    perSecond.push_back(arp.sentSince() * 1000.0 / msSince(counting));
                }
                wizard.waitFor([&] { return wizard.flow.programEnded(); }, 40s);
                times[{ahead, readMs}].push_back(static_cast<double>(
                    wizard.listener.openedAt - wizard.credentialsAnsweredAfter));
            }
        }
    }
    printFigure("Next on the credentials page to the configuration request, list read 4 s, page "
                "0.5 s",
                "ms", times[{true, 4000}], times[{false, 4000}], "the search begun on Next");
    printFigure("Next on the credentials page to the configuration request, Next at once on both",
                "ms", times[{true, 0}], times[{false, 0}], "the search begun on Next");
    printFigure("ARP requests a second while the list is read 10 s, after the search", "requests/s",
                perSecond, {});
}

// 4c. A reachable appliance chosen beside one that needs an address: what the search begun with
// the list sent for nothing (echoes and address resolution requests, the PC's packets beyond
// those of the same run without it) and how long after the choice the last of them went out.
void wasteFigure(int runs) {
    std::vector<double> extra;
    std::map<bool, std::vector<double>> lastAfter;
    for (int run = 0; run < runs; ++run) {
        qint64 sent[2] = {0, 0};
        for (const bool ahead : {true, false}) {
            (void)PutForeignApplianceBack();
            (void)ForgetNeighbours();
            const SimulatorProcess near("ap1",
                                        {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30"});
            const SimulatorProcess far("ap3", {"--interface", "eth0", "--appliance",
                                               "id=MOVE0000000000001,ip=10.77.2.50"});
            QTest::qWait(5000); // the neighbours of the last run forgotten, the network quiet
            LabWizard wizard;
            wizard.services.searchWhileListIsRead = ahead;
            wizard.dialogs.setNextAnswer(MessageAnswer::Ok);
            wizard.dialogs.setNextAnswer(MessageAnswer::Cancel);
            wizard.chooseOnList("10.77.1.30", 500ms);
            const qint64 before = packetsSent();
            wizard.start();
            wizard.waitFor([&] { return wizard.chosenAfter >= 0; }, 30s);
            const Clock::time_point chosen = Clock::now();
            double last = 0;
            qint64 seen = packetsSent();
            while (msSince(chosen) < 5000) {
                QTest::qWait(5);
                if (const qint64 now = packetsSent(); now != seen) {
                    seen = now;
                    last = msSince(chosen);
                }
            }
            sent[ahead ? 0 : 1] = seen - before;
            lastAfter[ahead].push_back(last);
        }
        extra.push_back(static_cast<double>(sent[0] - sent[1]));
    }
    printFigure("reachable appliance chosen after 0.5 s: packets the search sent for nothing",
                "packets", extra, {});
    printFigure("reachable appliance chosen after 0.5 s: last packet after the choice", "ms",
                lastAfter[true], lastAfter[false], "the search begun on Next");
}

// 5. A flood of 200 000 replies a second for the whole discovery window: the longest stall of
// the user-interface thread while the port is open, next to a listener that reads everything
// pending at each wake-up; and the records kept and the window's length.
void floodFigure(int runs) {
    std::vector<double> kept;
    std::vector<double> window;
    std::vector<double> stall;
    std::vector<double> unboundedStall;
    for (int run = 0; run < runs; ++run) {
        for (const bool bounded : {true, false}) {
            const SimulatorProcess appliances("ap1", {"--flood-rate", "200000", "--flood-for",
                                                      "3200", "--appliance",
                                                      "id=FIRST000000000001,ip=10.77.1.30"});
            LabWizard wizard(bounded ? ReadBatch{} : ReadBatch::Unlimited());
            wizard.services.intervals.discoveryWindow = 3000ms;
            wizard.chooseOnList("none");
            const StallMeter meter([&] { return wizard.listener.open(); });
            wizard.start();
            wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s);
            (bounded ? stall : unboundedStall).push_back(static_cast<double>(meter.longestMs()));
            if (bounded) {
                kept.push_back(static_cast<double>(wizard.rows.size()));
                window.push_back(
                    static_cast<double>(wizard.listener.closedAt - wizard.listener.openedAt));
            }
        }
    }
    printFigure("200 000/s flood, whole window: records kept", "records", kept, {});
    printFigure("200 000/s flood, whole window: window length (3000 set)", "ms", window, {});
    printFigure("200 000/s flood, whole window: longest user-interface stall", "ms", stall,
                unboundedStall, "all pending read at each wake-up");
}

// 6. The diagnosis of --diagnose on the lab PC, as the program runs it: every check, the bus
// question included. It has no old way.
void diagnosisFigure(int runs) {
    std::vector<double> ours;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        LiveSystemView system(&SystemBusHasName);
        (void)Diagnose(system, kEnglishTextBase);
        ours.push_back(msSince(start));
    }
    printFigure("diagnosis (--diagnose), lab PC", "ms", ours, {});
}

// Whether one --scan, as the program runs it, lists the appliance with the given identifier;
// `requests`: the discovery requests in its window.
bool scanFinds(const QByteArray& id, int requests) {
    UdpReplyListener listener;
    BroadcastSender broadcaster;
    IcmpProber prober;
    ScanServices services{listener, broadcaster, prober};
    services.discoveryRequests = requests;
    QString lines;
    QString errors;
    QTextStream out(&lines);
    QTextStream err(&errors);
    std::optional<int> status;
    status = StartScan(ReadPcAdapters(), services, ScanOutput{}, out, err,
                       [&status](int done) { status = done; });
    (void)QTest::qWaitFor([&] { return status.has_value(); }, 10000);
    return lines.contains(QString::fromLatin1(id));
}

// 7. A fifth of the discovery datagrams lost each way, at random, as on a busy wireless network:
// how often --scan finds the appliance with its three requests, next to one request. At least
// 40 runs of each, taken in turns.
void lossFigure(int runs) {
    runs = std::max(runs, 40);
    const QByteArray id = "LOSS0000000000001";
    int foundByThree = 0;
    int foundByOne = 0;
    const DatagramLoss loss("pc", "eth0", RandomShare(20), RandomShare(20));
    if (!loss.active()) {
        std::cerr << "tarvex_bench: nft (nftables) is missing; the loss figure is left out\n";
        return;
    }
    for (int run = 0; run < runs; ++run) {
        const SimulatorProcess appliance(
            "ap1", {"--appliance", "id=" + QString::fromLatin1(id) + ",ip=10.77.1.30"});
        foundByThree += scanFinds(id, kDiscoveryRequests) ? 1 : 0;
        foundByOne += scanFinds(id, 1) ? 1 : 0;
    }
    const auto percent = [runs](int found) {
        return 100.0 * found / runs;
    };
    const std::string figure = "appliance found by --scan, 20 % of discovery datagrams lost each "
                               "way (" +
                               std::to_string(runs) + " runs)";
    printFigure(figure.c_str(), "%", {percent(foundByThree)}, {percent(foundByOne)}, "one request");
}

// 8. The appliance's "2" to the shortcuts written, the appliance answering at once from its new
// address: believed once that answer came (the window then ends 0.5 s later), next to the "2"
// believed at once.
void confirmFigure(int runs) {
    std::map<bool, std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        for (const bool confirm : {true, false}) {
            (void)PutForeignApplianceBack();
            (void)ForgetNeighbours();
            const SimulatorProcess appliance(
                "ap3",
                {"--interface", "eth0", "--appliance",
                 "id=MOVE0000000000001,ip=10.77.2.50,host=NAS,user=qorvu,password=qorvu,move=1"});
            LabWizard wizard;
            wizard.services.confirmNewAddress = confirm;
            wizard.services.intervals.discoveryWindow = 3000ms;
            wizard.random.draws = {140.0F / 253.0F, 141.0F / 253.0F};
            wizard.chooseOnList("10.77.2.50");
            wizard.answerCredentials("nextButton");
            qint64 noteAt = -1;
            wizard.dialogs.onShow = [&](qsizetype index) {
                if (index == 0) {
                    noteAt = wizard.stepsOpened.elapsed();
                }
            };
            wizard.start();
            wizard.waitFor([&] { return wizard.flow.programEnded(); }, 40s);
            times[confirm].push_back(
                static_cast<double>(noteAt - wizard.listener.configureReplyAt));
        }
    }
    printFigure("appliance's \"2\" to the shortcuts written, the appliance answering at once", "ms",
                times[true], times[false], "the \"2\" believed at once");
}

} // namespace
} // namespace tarvex::lab

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int runs = 3;
    std::string only;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::string(argv[i]) == "--only") {
            only = argv[i + 1];
        }
    }
    if (only == "adapters") {
        if (!tarvex::lab::InLab("pc2")) {
            std::cerr << "tarvex_bench: --only adapters runs in the lab's pc2 namespace\n";
            return 77;
        }
        tarvex::lab::adaptersFigure(runs);
        return 0;
    }
    if (!tarvex::lab::InLab("pc")) {
        std::cerr << "tarvex_bench: run it in the lab's PC namespace (tools/bench.sh)\n";
        return 77;
    }
    const std::pair<const char*, void (*)(int)> figures[] = {
        {"list", tarvex::lab::listFigure},     {"thousand", tarvex::lab::thousandFigure},
        {"search", tarvex::lab::searchFigure}, {"searchping", tarvex::lab::searchPingFigure},
        {"stall", tarvex::lab::stallFigure},   {"reading", tarvex::lab::readingFigure},
        {"waste", tarvex::lab::wasteFigure},   {"giving", tarvex::lab::givingFigure},
        {"flood", tarvex::lab::floodFigure},   {"diagnosis", tarvex::lab::diagnosisFigure},
        {"loss", tarvex::lab::lossFigure},     {"confirm", tarvex::lab::confirmFigure}};
    for (const auto& [name, figure] : figures) {
        if (only.empty() || only == name) {
            figure(runs);
        }
    }
    return 0;
}
