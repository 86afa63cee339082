// The program's command line in the lab: the scan against simulated appliances, the diagnosis
// on PCs with something wrong.
#include "LabSupport.h"
#include "diagnosis/Diagnosis.h"
#include "diagnosis/LiveSystemView.h"
#include "support/UserLanguages.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <algorithm>

namespace tarvex {
namespace {

struct Outcome {
    int exitCode = -1;
    QStringList lines; // of stdout, sorted
    QByteArray errors;
};

// Runs the program with this process's environment, or the one given; through a launcher
// (a program and its arguments) when one is given.
Outcome runProgram(const QStringList& arguments, const QProcessEnvironment& environment = {},
                   QStringList launcher = {}) {
    QProcess program;
    if (!environment.isEmpty()) {
        program.setProcessEnvironment(environment);
    }
    launcher << QStringLiteral(TARVEX_PROGRAM) << arguments;
    program.start(launcher.takeFirst(), launcher);
    // The scan's window is 3 s and the probes half a second.
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(1000);
        return {};
    }
    Outcome outcome{
        program.exitCode(),
        QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
        program.readAllStandardError()};
    outcome.lines.sort();
    return outcome;
}

TEST(LabScan, ListsEachApplianceOnceWithItsFiguresReachabilityAndAdapter) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SimulatorProcess near("ap1", {"--duplicates", "2", "--appliance",
                                             "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    const lab::SimulatorProcess far("ap2",
                                    {"--appliance", "id=FAR00000000000002,ip=10.77.2.40,host=FAR"});
    ASSERT_TRUE(near.ready() && far.ready());

    const Outcome text = runProgram({"--scan"});
    EXPECT_EQ(text.exitCode, 0) << text.errors.toStdString();
    ASSERT_EQ(text.lines.size(), 2) << text.lines.join('\n').toStdString();
    const QStringList farCells = text.lines[0].split('\t');
    const QStringList nearCells = text.lines[1].split('\t');
    ASSERT_EQ(farCells.size(), 9);
    ASSERT_EQ(nearCells.size(), 9);
    EXPECT_EQ(nearCells[0], "NEAR0000000000001");
    EXPECT_EQ(nearCells.mid(1, 2), (QStringList{"10.77.1.30", "NEAR"}));
    EXPECT_EQ(nearCells.mid(7), (QStringList{"Yes", "eth0"}));
    EXPECT_EQ(farCells.mid(1, 2), (QStringList{"10.77.2.40", "FAR"}));
    EXPECT_EQ(farCells.mid(7), (QStringList{"No", "eth0"}));

    const Outcome json = runProgram({"--scan", "--json"});
    EXPECT_EQ(json.exitCode, 0);
    ASSERT_EQ(json.lines.size(), 2);
    for (const QString& line : json.lines) {
        QJsonParseError error{};
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_EQ(object["adapter"].toString(), "eth0");
        EXPECT_EQ(object["reachable"].toBool(), object["hostName"].toString() == "NEAR");
    }
}

// One lost datagram, the first request or the first reply: the appliance answers the request
// repeated later in the window, and is listed once.
struct LossRow {
    const char* name;
    const char* requestsLost;
    const char* repliesLost;
};

class LabScanLosing : public ::testing::TestWithParam<LossRow> {};

TEST_P(LabScanLosing, StillListsTheApplianceOnce) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SimulatorProcess near("ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30"});
    ASSERT_TRUE(near.ready());
    const lab::DatagramLoss loss("pc", "eth0", GetParam().requestsLost, GetParam().repliesLost);
    ASSERT_TRUE(loss.active()) << "nft (nftables) missing: run tools/install-deps.sh";
    const Outcome outcome = runProgram({"--scan"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors.toStdString();
    ASSERT_EQ(outcome.lines.size(), 1) << outcome.lines.join('\n').toStdString();
    EXPECT_TRUE(outcome.lines[0].startsWith("NEAR0000000000001\t10.77.1.30\t"));
}

INSTANTIATE_TEST_SUITE_P(FirstDatagram, LabScanLosing,
                         ::testing::Values(LossRow{"RequestLost", lab::kFirstDatagram, ""},
                                           LossRow{"ReplyLost", "", lab::kFirstDatagram}),
                         [](const auto& info) { return std::string(info.param.name); });

// A host that claims the gateway's address and floods made-up appliances after its reply: one
// row, listed as received, never probed (the gateway would answer), its sender beside it.
TEST(LabScan, OnlyTheSenderSpeaksForItsAddressAndFillsOneRow) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SimulatorProcess liar(
        "ap1", {"--flood", "10", "--appliance",
                "id=LIAR0000000000001,ip=10.77.1.1,host=LIAR,from=10.77.1.30"});
    const lab::SimulatorProcess far("ap2",
                                    {"--appliance", "id=FAR00000000000002,ip=10.77.2.40,host=FAR"});
    ASSERT_TRUE(liar.ready() && far.ready());

    const Outcome json = runProgram({"--scan", "--json"});
    ASSERT_EQ(json.lines.size(), 2) << json.lines.join('\n').toStdString();
    QJsonObject object;
    for (const QString& line : json.lines) {
        if (const QJsonObject row = QJsonDocument::fromJson(line.toUtf8()).object();
            row["id"].toString() == "LIAR0000000000001") {
            object = row;
        }
    }
    EXPECT_EQ(object["address"].toString(), "10.77.1.1");
    EXPECT_EQ(object["sender"].toString(), "10.77.1.30");
    EXPECT_EQ(object["reachable"], QJsonValue(false));
}

TEST(LabScan, NothingAnsweringExitsWithOne) {
    TARVEX_REQUIRE_LAB("pc");
    const Outcome outcome = runProgram({"--scan"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.lines.isEmpty());
    EXPECT_TRUE(outcome.errors.contains("--diagnose"));
}

TEST(LabScan, APortInUseIsAnError) {
    TARVEX_REQUIRE_LAB("pc");
    lab::ReplyListener holder; // holds UDP 12310
    ASSERT_TRUE(holder.isOpen());
    const Outcome outcome = runProgram({"--scan"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.errors.contains("Address already in use.")) << outcome.errors.toStdString();
    // The holder is this test program, by the name the kernel keeps (15 bytes).
    EXPECT_TRUE(outcome.errors.contains("\"tarvex_lab_test\" (process"));
}

// A thousand forged senders ahead of the appliance fill the list: the appliance left out is
// told on the error stream.
TEST(LabScan, AFullListTellsOfTheSendersLeftOut) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SimulatorProcess appliances("ap1", {"--senders", "1000", "--sender-pace", "200",
                                                   "--appliance",
                                                   "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    ASSERT_TRUE(appliances.ready());
    const Outcome outcome = runProgram({"--scan"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors.toStdString();
    EXPECT_EQ(outcome.lines.size(), 1000);
    EXPECT_TRUE(outcome.lines.filter("NEAR").isEmpty());
    EXPECT_TRUE(
        QString::fromUtf8(outcome.errors)
            .contains(
                AddedCatalogText(kEnglishTextBase, AddedText::UnlistedReplies).arg(1).arg(1000)))
        << outcome.errors.toStdString();
}

// A host on the first adapter's network forging the address of the appliance behind the second
// is probed through the first: nothing answers there, whoever answers behind eth1.
TEST(LabScanTwoAdapters, EachApplianceWithTheAdapterThatHeardIt) {
    TARVEX_REQUIRE_LAB("pc2");
    const lab::SimulatorProcess first(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR", "--appliance",
                "id=FORGED00000000001,ip=10.77.4.40,host=FORGED"});
    const lab::SimulatorProcess second(
        "ap4", {"--appliance", "id=SECOND00000000004,ip=10.77.4.40,host=SECOND"});
    ASSERT_TRUE(first.ready() && second.ready());
    const Outcome outcome = runProgram({"--scan"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors.toStdString();
    ASSERT_EQ(outcome.lines.size(), 3) << outcome.lines.join('\n').toStdString();
    EXPECT_TRUE(outcome.lines[0].startsWith("FORGED00000000001\t10.77.4.40\tFORGED\t"));
    EXPECT_TRUE(outcome.lines[0].endsWith("\tNo\teth0")) << outcome.lines[0].toStdString();
    EXPECT_TRUE(outcome.lines[1].startsWith("NEAR0000000000001\t10.77.1.30\tNEAR\t"));
    EXPECT_TRUE(outcome.lines[1].endsWith("\tYes\teth0"));
    EXPECT_TRUE(outcome.lines[2].startsWith("SECOND00000000004\t10.77.4.40\tSECOND\t"));
    EXPECT_TRUE(outcome.lines[2].endsWith("\tYes\teth1"));
}

// The command line in the user's language: help, Qt's own complaint, the scan's words and every
// line of the diagnosis.
class LabCommandLineLanguage : public ::testing::TestWithParam<testing::LanguageRow> {};

TEST_P(LabCommandLineLanguage, HelpScanAndDiagnosisSpeakIt) {
    TARVEX_REQUIRE_LAB("pc");
#ifdef TARVEX_FORCED_TEXT_BASE
    const int textBase = TARVEX_FORCED_TEXT_BASE;
#else
    const int textBase = GetParam().textBase;
#endif
    const bool chinese = textBase == kChineseTextBase;
    const QProcessEnvironment environment = testing::environmentOf(GetParam());
    const auto hasHan = [](const QString& line) {
        return std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() >= 0x4e00; });
    };

    const Outcome help = runProgram({"--help"}, environment);
    EXPECT_EQ(help.exitCode, 0);
    // Wrapped at the terminal's width.
    const QString about = AddedCatalogText(textBase, AddedText::CommandLineAbout).left(8);
    EXPECT_TRUE(help.lines.filter(about).value(0).startsWith(about));
    const QString helpLine = help.lines.filter("-h, --help").value(0);
    EXPECT_TRUE(helpLine.endsWith(" " + AddedCatalogText(textBase, AddedText::OptionHelp)))
        << helpLine.toStdString();
    EXPECT_TRUE(
        help.lines.contains(AddedCatalogText(textBase, AddedText::HelpNotes).section('\n', 0, 0)));
    const Outcome unknown = runProgram({"--scan", "--bogus"}, environment);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(hasHan(QString::fromUtf8(unknown.errors).section('\n', 0, 0)), chinese)
        << unknown.errors.toStdString();

    const lab::SimulatorProcess near("ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30"});
    ASSERT_TRUE(near.ready());
    const Outcome scan = runProgram({"--scan"}, environment);
    ASSERT_EQ(scan.lines.size(), 1) << scan.errors.toStdString();
    EXPECT_EQ(scan.lines[0].section('\t', 7, 7),
              AddedCatalogText(textBase, AddedText::ScanReachableYes));

    const Outcome diagnosis = runProgram({"--diagnose"}, environment);
    EXPECT_EQ(diagnosis.exitCode, 0);
    ASSERT_FALSE(diagnosis.lines.isEmpty());
    for (const QString& line : diagnosis.lines) {
        EXPECT_EQ(hasHan(line), chinese) << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(UserLanguages, LabCommandLineLanguage,
                         ::testing::ValuesIn(testing::languageRows()),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<std::pair<FindingKind, QString>> diagnose() {
    LiveSystemView system;
    std::vector<std::pair<FindingKind, QString>> found;
    for (const Finding& finding : Diagnose(system, kEnglishTextBase)) {
        if (finding.kind != FindingKind::ProbingNotPermitted) { // root may always probe
            found.emplace_back(finding.kind, finding.subject);
        }
    }
    return found;
}

TEST(LabDiagnose, HealthyPcHasNothingToTell) {
    TARVEX_REQUIRE_LAB("pc");
    EXPECT_EQ(diagnose(), (std::vector<std::pair<FindingKind, QString>>{}));
    const Outcome outcome = runProgram({"--diagnose"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.lines,
              (QStringList{"No problem found on this PC.",
                           "The reachability check sends its echoes through: a raw ICMP socket."}));
    // An ordinary user on Debian's defaults may open no ICMP socket: the system's ping sends them.
    const lab::PingGroupRange nobody("1 0");
    Outcome ordinary;
    {
        const lab::AsOrdinaryUser user;
        ASSERT_TRUE(user.ok());
        ordinary = runProgram({"--diagnose"});
    }
    EXPECT_EQ(ordinary.lines,
              (QStringList{"No problem found on this PC.",
                           "The reachability check sends its echoes through: the system's ping."}));
}

// Root started without CAP_NET_RAW in its bounding set: neither its own raw socket nor a ping it
// starts, set-user-ID root or with the file capability, may send an echo. Both commands say so.
TEST(LabDiagnose, HealthyPcRootOutsideTheBoundingSetHasNoWayToProbe) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::PingGroupRange nobody("1 0");
    const QStringList bounded{"setpriv", "--bounding-set=-net_raw", "--"};
    const Outcome diagnosis = runProgram({"--diagnose"}, {}, bounded);
    EXPECT_TRUE(diagnosis.lines.contains(ProbeWayLine(ProbeWay::None, kEnglishTextBase)))
        << diagnosis.lines.join('\n').toStdString();
    const lab::SimulatorProcess near("ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30"});
    ASSERT_TRUE(near.ready());
    const Outcome scan = runProgram({"--scan"}, {}, bounded);
    ASSERT_EQ(scan.lines.size(), 1);
    EXPECT_EQ(scan.lines[0].section('\t', 7, 7),
              AddedCatalogText(kEnglishTextBase, AddedText::ScanReachableUnknown));
    EXPECT_TRUE(scan.errors.contains(
        AddedCatalogText(kEnglishTextBase, AddedText::ScanProbingImpossible).toUtf8()))
        << scan.errors.toStdString();
}

TEST(LabDiagnose, StrictReversePathFilteringOnTheAdapter) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SysctlSetting all("net/ipv4/conf/all/rp_filter", "0");
    const lab::SysctlSetting adapter("net/ipv4/conf/eth0/rp_filter", "1");
    EXPECT_EQ(diagnose(), (std::vector<std::pair<FindingKind, QString>>{
                              {FindingKind::StrictReversePath, "eth0"}}));
}

TEST(LabDiagnose, VpnHoldingTheDefaultRoute) {
    TARVEX_REQUIRE_LAB("adp2");
    // tun0 has no process behind it, so it has no carrier either; it is no cable to plug in.
    EXPECT_EQ(diagnose(), (std::vector<std::pair<FindingKind, QString>>{
                              {FindingKind::TunnelHoldsDefaultRoute, "tun0"}}));
}

TEST(LabDiagnose, LinkWithoutCarrier) {
    TARVEX_REQUIRE_LAB("adp4");
    EXPECT_EQ(diagnose(),
              (std::vector<std::pair<FindingKind, QString>>{{FindingKind::NoCarrier, "lan0"}}));
}

} // namespace

// Readable names of the kinds in failure messages.
void PrintTo(FindingKind kind, std::ostream* os) {
    *os << "FindingKind(" << static_cast<int>(kind) << ")";
}

} // namespace tarvex
