// The whole wizard, offscreen, in the lab's PC namespace against simulated appliances: the
// real pages, the real reply port, broadcasts, probes and shortcut files. Only the message
// boxes are answered by the test and the opener of addresses is recorded.
#include "LabWizard.h"

#include "LabSupport.h"
#include "appliance/DeviceProtocol.h"
#include "diagnosis/SystemBusNames.h"
#include "diagnosis/ThreadedDiagnosis.h"
#include "net/AdapterReader.h"
#include "texts/AddedTexts.h"

#include <QFile>
#include <QUdpSocket>
#include <algorithm>
#include <iostream>
#include <list>
#include <malloc.h>
#include <optional>
#include <thread>

namespace tarvex {
namespace {

using namespace std::chrono_literals;
using lab::LabWizard;
using lab::StallMeter;

class LabWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        TARVEX_REQUIRE_LAB("pc");
        // An appliance an earlier case moved: back on its own subnet.
        ASSERT_TRUE(lab::PutForeignApplianceBack());
    }
};

// Who runs the wizard: root (the raw socket), and an ordinary user on Debian's defaults, who may
// open no ICMP socket at all (ping_group_range "1 0") and so probes through the system's ping.
struct UserRow {
    const char* name;
    bool ordinary;
};

class LabWizardUsers : public LabWizardTest, public ::testing::WithParamInterface<UserRow> {
protected:
    // Becomes that user, once the lab is set up as root; checks the probe's way.
    void becomeTheUser() {
        if (!GetParam().ordinary) {
            return;
        }
        nobodyPings_.emplace("1 0");
        user_.emplace();
        ASSERT_TRUE(user_->ok());
        ASSERT_EQ(ProbeWayOnThisPc(), ProbeWay::SystemPing);
    }
    // Root again, to read what the simulators logged and stop them.
    void backToRoot() {
        user_.reset();
        nobodyPings_.reset();
    }

private:
    std::optional<lab::PingGroupRange> nobodyPings_;
    std::optional<lab::AsOrdinaryUser> user_;
};

INSTANTIATE_TEST_SUITE_P(Users, LabWizardUsers,
                         ::testing::Values(UserRow{"Root", false},
                                           UserRow{"OrdinaryUserOnDebianDefaults", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(LabWizardUsers, AReachableApplianceGetsShortcutsToItsOwnAddressAndNoConfiguration) {
    const lab::SimulatorProcess appliance(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    ASSERT_TRUE(appliance.ready());
    becomeTheUser();
    LabWizard wizard;
    wizard.chooseOnList("10.77.1.30");
    wizard.dialogs.setNextAnswer(MessageAnswer::Ok); // the note
    wizard.dialogs.setNextAnswer(MessageAnswer::Ok); // open the shortcuts
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.flow.programEnded(); }));
    backToRoot();
    ASSERT_EQ(wizard.rows.size(), 1);
    EXPECT_EQ(wizard.rows[0].mid(0, 4), (QStringList{"0", "Yes", "NEAR", "10.77.1.30"}));
    EXPECT_EQ(wizard.desktopFiles(),
              (QStringList{"Access My Dravik - NEAR.desktop", "Setup My Dravik - NEAR.desktop"}));
    EXPECT_TRUE(wizard.desktopFile("Setup My Dravik - NEAR.desktop")
                    .contains("Exec=xdg-open http://10.77.1.30\n"));
    EXPECT_TRUE(wizard.desktopFile("Access My Dravik - NEAR.desktop")
                    .contains("Exec=xdg-open smb://10.77.1.30\n"));
    EXPECT_EQ(wizard.launcher.opened, QStringList{"10.77.1.30"});
    EXPECT_FALSE(appliance.log().contains("0C02S"));
    EXPECT_EQ(wizard.end.count(), 1);
}

TEST_F(LabWizardTest, AReplyClaimingTheGatewaysAddressIsListedNoAndNeverProbed) {
    // A host at 10.77.1.30 that claims the gateway's address; the gateway answers echoes.
    const lab::SimulatorProcess claimer(
        "ap1", {"--appliance", "id=CLAIM000000000001,ip=10.77.1.1,from=,host=CLAIM"});
    ASSERT_TRUE(claimer.ready());
    LabWizard wizard;
    wizard.chooseOnList("none");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }));
    ASSERT_EQ(wizard.rows.size(), 1);
    EXPECT_EQ(wizard.rows[0].mid(1, 3), (QStringList{"No", "CLAIM", "10.77.1.1"}));
}

// The box comes when the window ends, even with a system bus that never answers; the diagnosis
// runs meanwhile and its details join the box within the bus's deadline, the window never frozen.
TEST_F(LabWizardTest, NoApplianceIsToldWhenTheWindowEndsThenStepThree) {
    const lab::SilentSystemBus bus;
    ASSERT_TRUE(bus.listening());
    ThreadedDiagnosis diagnosis(&SystemBusHasName, kEnglishTextBase);
    LabWizard wizard;
    wizard.services.diagnose = [&diagnosis] {
        return diagnosis.start();
    };
    wizard.services.intervals.discoveryWindow = 3000ms;
    const StallMeter meter;
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return !wizard.dialogs.shown().isEmpty(); }));
    const qint64 after = wizard.stepsOpened.elapsed();
    EXPECT_GE(after, 3000);
    EXPECT_LT(after, 4000);
    EXPECT_EQ(wizard.dialogs.shown()[0].text, CatalogText(kEnglishTextBase, 36));
    const MessageDetails details = wizard.dialogs.shown()[0].details;
    EXPECT_FALSE(details.ready()); // the box did not wait for them
    ASSERT_TRUE(wizard.waitFor([&] { return details.ready(); }, 2s));
    const qint64 detailsAfter = wizard.stepsOpened.elapsed() - after;
    std::cout << "silent system bus: box " << after - 100 - 3000
              << " ms after the window end, its details " << detailsAfter
              << " ms after the box; longest stall of the user-interface thread "
              << meter.longestMs() << " ms\n";
    EXPECT_LT(detailsAfter, 700);
    EXPECT_TRUE(details.text().contains("No problem found") || details.text().contains("Fix:"));
    EXPECT_LT(meter.longestMs(), 100);
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }));
    EXPECT_FALSE(wizard.flow.programEnded());
}

TEST_F(LabWizardTest, AReplyPortAlreadyTakenIsToldAndNothingIsBroadcast) {
    const lab::SimulatorProcess appliance(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    ASSERT_TRUE(appliance.ready());
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 12310));
    LabWizard wizard;
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }));
    ASSERT_EQ(wizard.dialogs.shown().size(), 1);
    EXPECT_TRUE(wizard.dialogs.shown()[0].text.contains("12310"));
    EXPECT_TRUE(wizard.dialogs.shown()[0].text.contains("Address already in use."));
    QTest::qWait(200);
    EXPECT_FALSE(appliance.log().contains("0C01S"));
}

TEST_F(LabWizardTest, TwelveAppliancesAndAMalformedReplyGiveTwelveRowsInArrivalOrder) {
    QStringList arguments{"--appliance", "reply=0C01Rbroken"};
    for (int i = 0; i < 12; ++i) {
        arguments << "--appliance"
                  << QStringLiteral("id=AP%1,ip=10.77.1.%2,host=H%3,delay=%4")
                         .arg(i, 15, 10, QLatin1Char('0'))
                         .arg(200 + i)
                         .arg(i)
                         .arg(50 * (i + 1));
    }
    const lab::SimulatorProcess appliances("ap1", arguments);
    ASSERT_TRUE(appliances.ready());
    LabWizard wizard;
    wizard.chooseOnList("none");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }));
    ASSERT_EQ(wizard.rows.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(wizard.rows[i].value(0), QString::number(i));
        EXPECT_EQ(wizard.rows[i].value(2), QStringLiteral("H%1").arg(i));
        EXPECT_EQ(wizard.rows[i].value(1), "No"); // silent addresses
    }
    // Every probe ran inside the window: the list comes at once when the window ends.
    std::cout << "window end to list shown, 12 silent appliances: "
              << wizard.listShownAfter - 100 - 1500 << " ms\n";
    EXPECT_LT(wizard.listShownAfter, 100 + 1500 + 400);
}

// Forged senders, each claiming its own address, cannot push a late appliance out of the list;
// a thousand fill it, and the line under it tells of the one left out.
TEST_F(LabWizardTest, ForgedSendersBeforeALateApplianceLeaveItInTheListOrAreTold) {
    const struct {
        const char* senders;
        qsizetype rows;
        QString line;
    } runs[] = {{"200", 201, {}},
                {"1000", 1000,
                 AddedCatalogText(kEnglishTextBase, AddedText::UnlistedReplies).arg(1).arg(1000)}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.senders);
        const lab::SimulatorProcess appliances(
            "ap1", {"--senders", run.senders, "--sender-pace", "200", "--appliance",
                    "id=LATE0000000000001,ip=10.77.1.30,host=LATE,delay=300"});
        ASSERT_TRUE(appliances.ready());
        LabWizard wizard;
        wizard.chooseOnList("none");
        wizard.start();
        ASSERT_TRUE(
            wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s));
        ASSERT_EQ(wizard.rows.size(), run.rows);
        EXPECT_EQ(wizard.listLine, run.line);
        if (run.line.isEmpty()) {
            EXPECT_EQ(wizard.rows.last().value(2), "LATE");
            EXPECT_EQ(wizard.rows.last().value(1), "Yes");
        }
    }
}

TEST_F(LabWizardTest, AFloodForTheWholeWindowKeepsOneRowAndTheWindowOnTime) {
    const lab::SimulatorProcess appliances("ap1", {"--flood-rate", "200000", "--flood-for", "3200",
                                                   "--appliance",
                                                   "id=FIRST000000000001,ip=10.77.1.30,host=F"});
    ASSERT_TRUE(appliances.ready());
    LabWizard wizard;
    wizard.services.intervals.discoveryWindow = 3000ms;
    wizard.chooseOnList("none");
    const StallMeter meter([&] { return wizard.listener.open(); });
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s));
    EXPECT_EQ(wizard.rows.size(), 1); // one row a sender
    const qint64 window = wizard.listener.closedAt - wizard.listener.openedAt;
    (void)wizard.waitFor([&] { return appliances.log().contains("flood over"); }, 2s);
    const QByteArray log = appliances.log();
    std::cout << "200 000 replies a second for the whole window: window " << window
              << " ms, longest stall of the user-interface thread in it " << meter.longestMs()
              << " ms; simulator: " << log.mid(log.indexOf("flood over")).split('\n')[0].data()
              << "\n";
    EXPECT_GE(window, 3000);
    EXPECT_LE(window, 3100);
    EXPECT_LT(meter.longestMs(), 100);
    EXPECT_TRUE(log.contains("flooding 10.77.1.10:12310"));
}

// The peak resident memory of this process, in kB; reset to the present with `reset`.
qint64 PeakResidentKb(bool reset = false) {
    if (reset) {
        malloc_trim(0);
        QFile clear("/proc/self/clear_refs");
        if (clear.open(QIODevice::WriteOnly)) {
            clear.write("5");
        }
    }
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

// A thousand forged replies of 64 KB, each host name 64 000 bytes, cost the window no more
// stall and no more memory than a thousand ordinary ones: no field longer than an appliance's
// reaches a row, and the list fills a part at a time. The first run only warms the process up.
TEST(LabSpeed, AThousandRepliesOf64KBCostNoStallAndNoMemory) {
    TARVEX_REQUIRE_LAB("pc");
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in its quarantine and slows every datagram down, so
    // that more are lost: the figures are the release build's; the cut fields hold in both.
    constexpr bool kFigures = false;
#else
    constexpr bool kFigures = true;
#endif
    struct Run {
        const char* name;
        QStringList hostBytes;
        qint64 peakKb = 0;
        qint64 stallMs = 0;
        qint64 listStallMs = 0;
    };
    Run runs[] = {{"warm-up", {}}, {"ordinary", {}}, {"64 KB", {"--host-bytes", "64000"}}};
    for (Run& run : runs) {
        SCOPED_TRACE(run.name);
        // 64 MB paced to what the PC's receive buffer takes.
        const lab::SimulatorProcess appliances(
            "ap1", QStringList{"--senders", "1000", "--sender-pace", "3000"} + run.hostBytes);
        ASSERT_TRUE(appliances.ready());
        const qint64 before = PeakResidentKb(true);
        {
            LabWizard wizard;
            wizard.services.intervals.discoveryWindow = 4000ms;
            wizard.chooseOnList("none");
            const StallMeter meter({}, [&wizard] { return wizard.phase(); });
            wizard.start();
            ASSERT_TRUE(
                wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 30s));
            // A busy PC loses a few of these datagrams: its receive buffer holds only a handful.
            EXPECT_GE(wizard.rows.size(), kFigures ? 900 : 1);
            if (!wizard.rows.isEmpty() && !run.hostBytes.isEmpty()) {
                EXPECT_EQ(wizard.rows[0].value(2), QString(kLongestField, u'H'));
            }
            run.stallMs = meter.longestMs();
            run.listStallMs = meter.longestMsIn("list");
            std::cout << "1000 replies, " << run.name << ": " << wizard.rows.size()
                      << " rows, longest stall " << run.stallMs << " ms (list " << run.listStallMs
                      << " ms)";
        }
        run.peakKb = PeakResidentKb() - before;
        std::cout << ", peak memory +" << run.peakKb / 1024 << " MB\n";
    }
    // About 10 ms at rest (README); the bound is generous for a busy machine, where the 64 MB
    // the kernel reassembles meanwhile delay this thread too. Before, 7.8 s.
    if (kFigures) {
        EXPECT_LT(runs[2].stallMs, 100);
        EXPECT_LT(runs[2].peakKb - runs[1].peakKb, 10 * 1024);
    }
}

// The speed figures of the run's two waits, each next to the same work done one probe at a
// time, in the same run. Printed for the record; asserted only with generous bounds.
// The address search with the real prober and neighbour watch, and the late hosts answering.
struct SearchRig {
    lab::SimulatorProcess late{"late", lab::LateHostsArguments(), TARVEX_ARP_RESPONDER};
    IcmpProber prober;
    ThreadedProbeRunner runner{prober};
    NetlinkNeighbourWatch watch;
    FreeAddressSearch search{runner, watch};
};

TEST(LabSpeed, ProbesTogetherTakeOneTimeOutWhereOneAtATimeTakesOneEach) {
    TARVEX_REQUIRE_LAB("pc");
    using Clock = std::chrono::steady_clock;
    auto msSince = [](Clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    SearchRig rig;
    ASSERT_TRUE(rig.late.ready());
    IcmpProber& prober = rig.prober;
    FreeAddressSearch& search = rig.search;

    const QStringList appliances = lab::ElevenAppliancesTenSilent();
    Clock::time_point start = Clock::now();
    EXPECT_EQ(prober.probeAll(testing::Addresses(appliances)).value(0).status, EchoStatus::Reply);
    const auto listTogether = msSince(start);
    start = Clock::now();
    for (const QString& address : appliances) {
        (void)prober.probe(testing::Address(address));
    }
    const auto listOneByOne = msSince(start);

    const QStringList candidates = lab::CrowdedCandidates();
    ASSERT_TRUE(lab::ForgetNeighbours());
    const lab::TimedResult together = lab::SearchToTheEnd(search, candidates);
    ASSERT_TRUE(lab::ForgetNeighbours());
    start = Clock::now();
    const std::optional<QString> oneByOne = lab::FirstFreeOneAtATime(candidates, search);
    const auto searchOneByOne = msSince(start);

    std::cout << "device list, 11 appliances (10 silent): together " << listTogether
              << " ms, one at a time " << listOneByOne << " ms\n"
              << "address search, 19 of 20 in use: together " << together.ms
              << " ms, one at a time " << searchOneByOne << " ms\n";
    EXPECT_EQ(together.result.address.text(),
              "10.77.1.150"); // every host that drops echoes is in use
    EXPECT_EQ(oneByOne, "10.77.1.150");
    EXPECT_LT(listTogether, 1500);
    EXPECT_LT(together.ms, 3300 + 500); // the kernel's resolution time, its margin, and slack
}

// Hosts that drop echoes and answer the resolution only after 0.7 s or 2 s are never taken,
// alone or before a silent address; the silent one is taken once its resolution has failed.
TEST(LabSearch, LateResolutionAnswersAreInUseASilentAddressIsFreeAfterTheResolutionTime) {
    TARVEX_REQUIRE_LAB("pc");
    SearchRig rig;
    ASSERT_TRUE(rig.late.ready());
    FreeAddressSearch& search = rig.search;
    ASSERT_TRUE(lab::ForgetNeighbours());
    EXPECT_EQ(lab::SearchToTheEnd(search, {"10.77.1.120", "10.77.1.121"}).result.kind,
              SearchResult::Kind::NoneFree);
    ASSERT_TRUE(lab::ForgetNeighbours());
    const lab::TimedResult silent =
        lab::SearchToTheEnd(search, {"10.77.1.121", "10.77.1.120", "10.77.1.231"});
    std::cout << "late answers, then a silent address: free after " << silent.ms << " ms\n";
    EXPECT_EQ(silent.result.address.text(), "10.77.1.231");
    EXPECT_GE(silent.ms, 2900); // three requests a second apart, all unanswered
    EXPECT_LT(silent.ms, 3300 + 200);
}

// Settings that give the kernel's resolution no time, or none at all, and a failure left by a
// resolution begun before the search: no address in use is taken, whatever the settings.
TEST(LabSearch, OddKernelSettingsNeverTakeAnAddressInUse) {
    TARVEX_REQUIRE_LAB("pc");
    SearchRig rig;
    // 10.77.1.122 answers the resolution after 3.5 s: too late for one begun 2.87 s before.
    const lab::SimulatorProcess slowest{
        "late", {"--interface", "eth0", "--delay", "10.77.1.122=3500"}, TARVEX_ARP_RESPONDER};
    ASSERT_TRUE(rig.late.ready() && slowest.ready());
    const auto search = [&rig](const char* settings, const QStringList& candidates) {
        const lab::TimedResult found = lab::SearchToTheEnd(rig.search, candidates);
        std::cout << settings << ": "
                  << (found.result.kind == SearchResult::Kind::Free
                          ? found.result.address.text().toStdString() + " taken"
                          : std::string("no free address"))
                  << " after " << found.ms << " ms\n";
        return found;
    };
    // A host that drops echoes but answers the resolution, two that answer it late, a silent one.
    const QStringList inUseThenSilent{"10.77.1.111", "10.77.1.120", "10.77.1.121", "10.77.1.231"};
    {
        const lab::SysctlSetting none("net/ipv4/neigh/eth0/mcast_solicit", "0");
        ASSERT_TRUE(lab::ForgetNeighbours());
        const lab::TimedResult found = search("mcast_solicit=0", inUseThenSilent);
        EXPECT_EQ(found.result.kind, SearchResult::Kind::NoneFree);
        EXPECT_LT(found.ms, 200); // nothing to wait for
    }
    const struct {
        const char* settings; // name=value of eth0's, space-separated
        QStringList candidates;
        qint64 withinMs;
        std::chrono::milliseconds readerHeldUp{0};
    } rows[] = {
        {"retrans_time_ms=100", inUseThenSilent, 3300 + 200},
        {"retrans_time_ms=1", inUseThenSilent, 3300 + 200},
        // The daemon is asked 2.9 s, the network only 0.1 s, before the failures.
        {"mcast_solicit=1 app_solicit=29 retrans_time_ms=100", inUseThenSilent, 6200 + 200},
        // The failure after 0.1 s is read only after 3.2 s, before .122's answer at 3.5 s.
        {"mcast_solicit=1 retrans_time_ms=100", {"10.77.1.122"}, 3300 + 200, 3200ms},
    };
    for (const auto& row : rows) {
        std::list<lab::SysctlSetting> settings;
        for (const QString& setting : QString::fromLatin1(row.settings).split(' ')) {
            settings.emplace_back(
                ("net/ipv4/neigh/eth0/" + setting.section('=', 0, 0)).toLatin1().constData(),
                setting.section('=', 1).toLatin1().constData());
        }
        ASSERT_TRUE(lab::ForgetNeighbours());
        if (row.readerHeldUp > 0ms) {
            QTimer::singleShot(0, [&row] { std::this_thread::sleep_for(row.readerHeldUp); });
        }
        const lab::TimedResult found = search(row.settings, row.candidates);
        EXPECT_NE(found.result.kind, SearchResult::Kind::Free) << row.settings;
        EXPECT_LT(found.ms, row.withinMs) << row.settings;
        if (row.readerHeldUp > 0ms) {
            QTest::qWait(1000); // .122's answer, due 0.2 s after the search, must not meet the next
        }
    }
    ASSERT_TRUE(lab::ForgetNeighbours());
    QUdpSocket nudge; // any datagram starts a resolution
    ASSERT_GT(nudge.writeDatagram("x", 1, QHostAddress(QStringLiteral("10.77.1.122")), 9), 0);
    QTest::qWait(2870);
    const lab::TimedResult found = search("a resolution begun 2.87 s before", {"10.77.1.122"});
    EXPECT_EQ(found.result.kind, SearchResult::Kind::NoneFree);
}

// The foreign appliance of ap3 and the draws that make 10.77.1.23 (a host that drops echoes)
// the first candidate and 10.77.1.61 the second.
QStringList foreignAppliance(const char* behaviour) {
    return {"--interface", "eth0", "--appliance",
            QStringLiteral("id=MOVE0000000000001,ip=10.77.2.50,host=NAS,workgroup=HOME,"
                           "full=NAS.HOME.LAN,user=qorvu,password=qorvu,%1")
                .arg(QLatin1String(behaviour))};
}

void drawQuietThenFree(LabWizard& wizard) {
    wizard.random.draws = {22.0F / 253.0F, 60.0F / 253.0F, 0.9F};
}

QString statusLine(const LabWizard& wizard) {
    auto* label = wizard.flow.currentPage()->findChild<QLabel*>("lblRun");
    return label != nullptr ? label->text() : QString();
}

bool buttonsEnabled(const LabWizard& wizard) {
    auto* previous = wizard.flow.currentPage()->findChild<QPushButton*>("previousButton");
    auto* exit = wizard.flow.currentPage()->findChild<QPushButton*>("exitButton");
    return previous != nullptr && exit != nullptr && previous->isEnabled() && exit->isEnabled();
}

TEST_P(LabWizardUsers, AForeignApplianceIsMovedToAFreeAddressAndGetsShortcutsThere) {
    const lab::SimulatorProcess appliance("ap3", foreignAppliance("move=1"));
    ASSERT_TRUE(appliance.ready());
    const lab::SimulatorProcess late("late", lab::LateHostsArguments(), TARVEX_ARP_RESPONDER);
    ASSERT_TRUE(late.ready());
    // The address an earlier case moved the appliance to is no longer in use.
    ASSERT_TRUE(lab::ForgetNeighbours());
    becomeTheUser();
    LabWizard wizard;
    // An earlier run's bookmark at the appliance's old address, then the user's, the last line
    // without its newline.
    ASSERT_TRUE(QDir().mkpath(wizard.config.filePath("gtk-3.0")));
    QFile bookmarks(wizard.config.filePath("gtk-3.0/bookmarks"));
    const QByteArray before = "smb://10.77.2.50 Dravik - NAS\nfile:///srv Srv";
    ASSERT_TRUE(bookmarks.open(QIODevice::WriteOnly) && bookmarks.write(before) == before.size());
    bookmarks.close();
    // A host that drops echoes, two that answer the resolution late, then the free .61.
    wizard.random.draws = {22.0F / 253.0F, 119.0F / 253.0F, 120.0F / 253.0F, 60.0F / 253.0F, 0.9F};
    wizard.chooseOnList("10.77.2.50");
    wizard.answerCredentials("nextButton"); // the presets
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.flow.programEnded(); }, 20s));
    backToRoot();
    EXPECT_EQ(wizard.rows.value(0).value(1), "No");
    // The quiet and the late hosts drop the echo but answer the address resolution: not taken.
    EXPECT_TRUE(appliance.log().contains(
        "|0C02SMOVE000000000000110.77.1.61;255.255.255.0;10.77.1.1;NAS;HOME;NAS.HOME.LAN;"
        "qorvu;qorvu|"));
    EXPECT_TRUE(wizard.desktopFile("Setup My Dravik - NAS.desktop")
                    .contains("Exec=xdg-open http://10.77.1.61\n"));
    EXPECT_TRUE(wizard.desktopFile("Access My Dravik - NAS.desktop")
                    .contains("Exec=xdg-open smb://10.77.1.61\n"));
    EXPECT_EQ(wizard.bookmarks(), "smb://10.77.1.61 Dravik - NAS\nfile:///srv Srv");
    EXPECT_EQ(wizard.dialogs.shown().size(), 2); // the note and the closing question
    bool answers = false;
    for (int attempt = 0; attempt < 3 && !answers; ++attempt) {
        answers = IcmpProber().probe(testing::Address("10.77.1.61")).reachable();
    }
    EXPECT_TRUE(answers);
}

// The address is searched while the user reads the list: Next opens the credentials at once.
TEST_F(LabWizardTest, TheFreeAddressIsFoundWhileTheListIsRead) {
    const lab::SimulatorProcess appliance("ap3", foreignAppliance("move=1"));
    ASSERT_TRUE(appliance.ready());
    ASSERT_TRUE(lab::ForgetNeighbours());
    LabWizard wizard;
    wizard.chooseOnList("10.77.2.50", 4s);
    wizard.answerCredentials("nextButton");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.flow.programEnded(); }, 25s));
    EXPECT_LT(wizard.credentialsShownAfter - wizard.chosenAfter, 1000); // the search takes 3 s
    EXPECT_TRUE(appliance.log().contains("|0C02SMOVE0000000000001"));
}

// A host that watched the PC ask for the candidates takes every one of them about 4 s after the
// list opened, and answers their address resolution at once or 0.7 s late. The user reads the
// list 6 s, then Next at once on the credentials page: the address found is seen taken while it
// is read, the adapter searched again, and the appliance moved to an address nobody holds.
TEST_F(LabWizardTest, AnAddressTakenAfterTheSearchIsNeverGiven) {
    for (const char* answerDelay : {"0", "700"}) {
        SCOPED_TRACE(answerDelay);
        const lab::SimulatorProcess appliance("ap3", foreignAppliance("move=1"));
        ASSERT_TRUE(appliance.ready());
        ASSERT_TRUE(lab::ForgetNeighbours());
        LabWizard wizard;
        // The first candidate, free when the search asks, and the ones the taker may take.
        wizard.random.draws = {209.0F / 253.0F};
        wizard.chooseOnList("10.77.2.50", 6s);
        wizard.answerCredentials("nextButton");
        const lab::SimulatorProcess taker("late",
                                          {"--interface", "eth0", "--take-after", "5500",
                                           "--take-range", "10.77.1.200-10.77.1.254",
                                           "--take-delay", answerDelay, "--lifetime", "40"},
                                          TARVEX_ARP_RESPONDER);
        ASSERT_TRUE(taker.ready());
        wizard.start();
        ASSERT_TRUE(wizard.waitFor([&] { return wizard.flow.programEnded(); }, 30s));
        const QByteArray took = taker.log();
        EXPECT_TRUE(took.contains("took 10.77.1.210\n")) << took.toStdString();
        const QByteArray request = appliance.log();
        const qsizetype at = request.indexOf("|0C02SMOVE0000000000001");
        ASSERT_GE(at, 0) << request.toStdString();
        const QByteArray fields = request.mid(at + 23);
        const QByteArray given = fields.left(fields.indexOf(';'));
        EXPECT_TRUE(given.startsWith("10.77.1.")) << given.toStdString();
        EXPECT_FALSE(took.contains("took " + given + "\n")) << given.toStdString();
        EXPECT_TRUE(wizard.desktopFile("Access My Dravik - NAS.desktop")
                        .contains("Exec=xdg-open smb://" + given + "\n"));
        ASSERT_TRUE(lab::PutForeignApplianceBack());
    }
    ASSERT_TRUE(lab::ForgetNeighbours());
}

struct RefusalRow {
    const char* name;
    const char* behaviour;
    int statusText;
    // A host of the PC's subnet that answers every configuration in any appliance's name.
    bool poser = false;
};

class LabWizardOutcomes : public LabWizardTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(LabWizardOutcomes, ThePageStaysWithItsTextAndButtons) {
    const lab::SimulatorProcess appliance("ap3", foreignAppliance(GetParam().behaviour));
    ASSERT_TRUE(appliance.ready());
    std::optional<lab::SimulatorProcess> poser;
    if (GetParam().poser) {
        poser.emplace("ap1",
                      QStringList{"--appliance", "id=POSER000000000001,ip=10.77.1.30,config=echo"});
        ASSERT_TRUE(poser->ready());
    }
    LabWizard wizard;
    wizard.services.intervals.configureTimeout = 1500ms;
    drawQuietThenFree(wizard);
    wizard.chooseOnList("10.77.2.50");
    wizard.answerCredentials("nextButton");
    wizard.start();
    const QString expected = CatalogText(kEnglishTextBase, GetParam().statusText);
    ASSERT_TRUE(wizard.waitFor([&] { return statusLine(wizard) == expected; }, 15s))
        << statusLine(wizard).toStdString();
    EXPECT_TRUE(buttonsEnabled(wizard));
    EXPECT_TRUE(wizard.desktopFiles().isEmpty());
    EXPECT_FALSE(wizard.flow.programEnded());
    EXPECT_EQ(appliance.log().count("0C02S"), 1);
}

INSTANTIATE_TEST_SUITE_P(Replies, LabWizardOutcomes,
                         ::testing::Values(RefusalRow{"Refused", "password=secret", 47},
                                           RefusalRow{"RefusedWhileAnotherHostAnswersFirst",
                                                      "password=secret,delay=300", 47, true},
                                           RefusalRow{"OtherStatus", "config=status:7", 47},
                                           RefusalRow{"NoAnswer", "config=silent", 54}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LabWizardTest, AbandonedCredentialsSendNothingAndShowStepThree) {
    const lab::SimulatorProcess appliance("ap3", foreignAppliance("move=1"));
    ASSERT_TRUE(appliance.ready());
    LabWizard wizard;
    drawQuietThenFree(wizard);
    wizard.chooseOnList("10.77.2.50");
    wizard.answerCredentials("exitButton");
    wizard.dialogs.setNextAnswer(MessageAnswer::Ok); // "Are you sure of exiting setup?"
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s));
    QTest::qWait(300);
    EXPECT_FALSE(appliance.log().contains("0C02S"));
    EXPECT_TRUE(wizard.desktopFiles().isEmpty());
}

TEST_F(LabWizardTest, APcWithoutAnAdapterAddressIsToldTwiceAndTheProgramEnds) {
    const lab::SimulatorProcess appliance(
        "ap2", {"--appliance", "id=FAR00000000000002,ip=10.77.2.40,host=FAR"});
    ASSERT_TRUE(appliance.ready());
    LabWizard wizard;
    wizard.services.readAdapters = [] {
        PcAdapters adapters = ReadPcAdapters();
        adapters.chosen = {};
        return adapters;
    };
    wizard.chooseOnList("10.77.2.40");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.flow.programEnded(); }, 15s));
    ASSERT_EQ(wizard.dialogs.shown().size(), 2);
    EXPECT_EQ(wizard.dialogs.shown()[0].text,
              "Your PC's IP address settings are invalid or not available.");
    EXPECT_EQ(wizard.dialogs.shown()[1].text, CatalogText(kEnglishTextBase, 40));
    EXPECT_FALSE(appliance.log().contains("0C02S"));
}

TEST(LabWizardSmallSubnet, EveryOtherAddressTakenGivesNoFreeAddress) {
    TARVEX_REQUIRE_LAB("pcs");
    const lab::SimulatorProcess appliance("ap3", foreignAppliance("move=1"));
    ASSERT_TRUE(appliance.ready());
    LabWizard wizard;
    wizard.chooseOnList("10.77.2.50");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s));
    ASSERT_EQ(wizard.dialogs.shown().size(), 1);
    EXPECT_EQ(wizard.dialogs.shown()[0].text, CatalogText(kEnglishTextBase, 44));
    EXPECT_FALSE(appliance.log().contains("0C02S"));
}

// Neither socket, and no ping: nothing can be tested, that is told, and nothing is configured.
TEST_F(LabWizardTest, ProbingImpossibleIsToldAndNothingIsSent) {
    const lab::SimulatorProcess appliance("ap3", foreignAppliance("move=1"));
    ASSERT_TRUE(appliance.ready());
    const lab::PingGroupRange nobody("1 0");
    const lab::WithoutRawSockets withoutRaw; // inherited by the probe threads started below
    LabWizard wizard({}, QString());         // and no system ping to fall back on
    wizard.chooseOnList("10.77.2.50");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.currentPage() == PageId::SetupModePage; }, 15s));
    EXPECT_EQ(wizard.rows.value(0).value(1), "No");
    ASSERT_GE(wizard.dialogs.shown().size(), 1);
    for (const Message& message : wizard.dialogs.shown()) {
        EXPECT_TRUE(message.text.contains("ping_group_range"));
    }
    QTest::qWait(300);
    EXPECT_FALSE(appliance.log().contains("0C02S"));
}

// A PC with two adapters, an appliance behind each: both listed with the adapter that heard
// them; the one behind the second adapter, on a foreign subnet, gets an address of that
// adapter's subnet by a request that leaves by that adapter alone.
TEST(LabWizardTwoAdapters, TheApplianceBehindTheSecondAdapterIsConfiguredThroughIt) {
    TARVEX_REQUIRE_LAB("pc2");
    // On the first LAN, besides an appliance, a host that answers at once with the identifier of
    // the appliance behind the second adapter: its reply takes nothing from that appliance.
    const lab::SimulatorProcess near(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR", "--appliance",
                "id=FAR00000000000001,ip=10.77.1.66,host=LIAR"});
    const lab::SimulatorProcess far(
        "ap4", {"--interface", "eth0", "--appliance",
                "id=FAR00000000000001,ip=10.77.9.50,host=NAS,workgroup=HOME,full=NAS.HOME.LAN,"
                "user=qorvu,password=qorvu,from=,delay=200"}); // answers from 10.77.4.40
    ASSERT_TRUE(near.ready() && far.ready());
    LabWizard wizard;
    wizard.chooseOnList("10.77.9.50");
    wizard.answerCredentials("nextButton");
    wizard.start();
    ASSERT_TRUE(wizard.waitFor([&] { return wizard.flow.programEnded(); }, 20s));
    QStringList adapters;
    for (const QString address : {"10.77.1.30", "10.77.9.50"}) {
        const auto row = std::find_if(wizard.rows.begin(), wizard.rows.end(),
                                      [&](const QStringList& r) { return r.value(3) == address; });
        adapters << (row != wizard.rows.end() ? row->value(8) : QString());
    }
    EXPECT_EQ(wizard.rows.size(), 3);
    EXPECT_EQ(adapters, (QStringList{"eth0", "eth1"}));
    const QByteArray log = far.log();
    const qsizetype request = log.indexOf("|0C02SFAR0000000000000110.77.4.");
    ASSERT_GE(request, 0) << log.toStdString();
    // The second adapter's mask, and its gateway: none.
    EXPECT_TRUE(log.mid(request).contains(";255.255.255.0;;NAS;HOME;NAS.HOME.LAN;qorvu;qorvu|"));
    EXPECT_TRUE(log.contains("received 10.77.4.12:"));
    EXPECT_TRUE(wizard.desktopFile("Setup My Dravik - NAS.desktop")
                    .contains("Exec=xdg-open http://10.77.4."));
    EXPECT_FALSE(near.log().contains("0C02S")) << "the other segment heard no request";
}

} // namespace
} // namespace tarvex
