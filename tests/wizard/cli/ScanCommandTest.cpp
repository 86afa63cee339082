#include "cli/ScanCommand.h"

#include "appliance/DeviceProtocol.h"
#include "cli/CommandLine.h"
#include "cli/TerminalWrap.h"
#include "support/Addresses.h"
#include "support/FakeRunServices.h"
#include "support/RecordingProgramEnd.h"
#include "texts/AddedTexts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <vector>

namespace tarvex {
namespace {

QByteArray reply(const QByteArray& id, const QByteArray& ip, const QByteArray& host) {
    return "0C01R" + id + " IP='" + ip + "' NETMASK='255.0.0.0' GATEWAY='' HOSTNAME='" + host +
           "' WORKGROUP='W' HOSTNAME_FULL='F' HDMODEL='ST' HDCAPACITY='312581808' "
           "HDTOTAL='156000000' HDAVAIL='150000000'";
}

// Answers each address as told; records what was probed, as "address%interface".
class ScriptedProber final : public Prober {
public:
    [[nodiscard]] QList<ProbeOutcome> probeAll(const QList<Ipv4Address>& addresses,
                                               unsigned throughInterface) override {
        QList<ProbeOutcome> outcomes;
        for (const Ipv4Address address : addresses) {
            probed.append(address.text() + '%' + QString::number(throughInterface));
            outcomes.append({statuses.value(address.text(), EchoStatus::NoReply), 0});
        }
        return outcomes;
    }
    QHash<QString, EchoStatus> statuses;
    QStringList probed;
};

TEST(ScanCollector, OneRowPerSenderAndAdapterProbedOnlyWhereTheReplySpeaksForItsOwnAddress) {
    ScanCollector collector({{},
                             {{{"eth0", 2, testing::Network("10.0.0.9", "255.0.0.0")},
                               {"eth1", 3, testing::Network("192.168.0.9", "255.255.255.0")}},
                              {}}});
    const auto add = [&collector](const QByteArray& bytes, unsigned index, const char* sender) {
        collector.add({bytes, index, testing::Address(QString::fromLatin1(sender))});
    };
    add(reply("AP000000000000001", "192.168.0.5", "ONE"), 3, "192.168.0.5");
    // The same sender on the same adapter, with another identifier: a flood, dropped. On the
    // other adapter: a bridged PC hears it twice, a row each.
    add(reply("MADEUP00000000001", "10.0.0.77", "FLOOD"), 3, "192.168.0.5");
    add(reply("AP000000000000001", "192.168.0.5", "AGAIN"), 2, "192.168.0.5");
    add("0C02RAP0000000000000012", 2, "10.0.0.5");
    add("0C01Rshort", 2, "10.0.0.5");
    add(reply("AP000000000000002", "10.0.0.5", "TWO"), 2, "10.0.0.5");
    // Another host claiming an address in use (the gateway's) and one that is no host at all.
    add(reply("AP000000000000003", "10.0.0.1", "LIAR"), 2, "10.0.0.30");
    add(reply("AP000000000000004", "10.255.255.255", "BCAST"), 2, "10.255.255.255");
    add(reply("AP000000000000005", "10.0.0.6", "MUTE"), 2, "10.0.0.6");

    ScriptedProber prober;
    prober.statuses = {{"192.168.0.5", EchoStatus::Reply}, {"10.0.0.6", EchoStatus::NotSent}};
    EXPECT_FALSE(collector.probe(prober));
    // Each through the adapter that heard it.
    EXPECT_EQ(prober.probed,
              (QStringList{"192.168.0.5%2", "10.0.0.5%2", "10.0.0.6%2", "192.168.0.5%3"}));

    const QList<ApplianceRow>& rows = collector.rows();
    ASSERT_EQ(rows.size(), 6); // ONE, AGAIN, TWO, LIAR, BCAST, MUTE
    EXPECT_EQ(rows[0].adapter, "eth1");
    EXPECT_EQ(rows[0].reachability, Reachability::Yes);
    EXPECT_EQ(rows[1].adapter, "eth0");
    EXPECT_EQ(rows[2].reachability, Reachability::No);
    EXPECT_EQ(rows[3].address, testing::Address("10.0.0.1"));
    EXPECT_EQ(rows[3].sender.text(), "10.0.0.30");
    EXPECT_EQ(rows[3].reachability, Reachability::No);
    EXPECT_EQ(rows[4].address, std::nullopt);
    EXPECT_EQ(rows[5].reachability, Reachability::Unknown);

    // No ICMP socket on this PC: what would have been probed is unknown, never "No".
    ScriptedProber impossible;
    impossible.statuses = {{"192.168.0.5", EchoStatus::Impossible}};
    EXPECT_TRUE(collector.probe(impossible));
    EXPECT_EQ(rows[0].reachability, Reachability::Unknown);
    EXPECT_EQ(rows[3].reachability, Reachability::No);
}

// No row holds more than an appliance sends: a field is cut at its 255th byte, never inside a
// character, and the reply at 2 KB. A full list counts each sender it leaves out once.
TEST(ScanCollector, RowsKeepNoMoreThanAnApplianceSendsAndAFullListCountsWhatItLeftOut) {
    ScanCollector collector({{}, {{{"eth0", 2, testing::Network("10.0.0.9", "255.0.0.0")}}, {}}});
    // é is two bytes, and the 256th byte the second of one: the name ends before that é.
    const QByteArray longName = "xy" + QByteArray("\xc3\xa9").repeated(200);
    const QByteArray longReply =
        reply("AP000000000000000", "10.0.0.1", longName) + QByteArray(4000, ' ');
    collector.add({longReply, 2, testing::Address("10.0.0.1")});
    ASSERT_EQ(collector.rows().size(), 1);
    const ApplianceRow& row = collector.rows()[0];
    EXPECT_EQ(row.record.HostName, longName.first(254));
    EXPECT_EQ(row.datagram, longReply.first(kLongestReplyKept));
    EXPECT_EQ(row.datagramSize, longReply.size());
    for (quint32 i = 1; i <= kMostAppliances + 2; ++i) {
        const Ipv4Address sender(0x0a010000 + i);
        collector.add({reply("AP000000000000000", sender.text().toLatin1(), "N"), 2, sender});
        // A sender left out is counted once however often it answers.
        collector.add({reply("AP000000000000000", sender.text().toLatin1(), "N"), 2, sender});
    }
    collector.add({"0C01Rbroken", 2, testing::Address("10.2.0.1")}); // no reply of an appliance
    EXPECT_EQ(collector.rows().size(), kMostAppliances);
    EXPECT_EQ(collector.unlisted(), 3);
}

TEST(ScanLine, CellsAsTheDeviceListShowsThemInBothLanguagesAndJsonWithTheRawReply) {
    ApplianceRow entry;
    entry.record.DeviceId = "AP000000000000001";
    entry.record.IpAddress = "10.0.0.5";
    entry.record.HostName = "tab\there \"q\"\n\xff\xe2\x80\xae";
    entry.record.DiskModel = "ST";
    entry.record.DiskCapacity = 312581808;
    entry.record.DiskTotal = 156000000;
    entry.record.DiskAvailable = 150000000;
    entry.sender = Ipv4Address(0x0a000005);
    entry.address = entry.sender;
    entry.adapter = "eth0";
    entry.reachability = Reachability::Yes;
    entry.datagram = "0C01R\x01\xfe";
    entry.datagramSize = 7;
    const QString cells = QString::fromUtf8(
        "AP000000000000001\t10.0.0.5\ttab here \"q\" \uFFFD\uFFFD\tST\t160GB\t156GB\t4%");
    EXPECT_EQ(ScanLine(entry, 700), cells + "\tYes\teth0");
    EXPECT_EQ(ScanLine(entry, 500), cells + QString::fromUtf8("\t是\teth0"));
    // The heads, one above each cell, in the same language.
    EXPECT_EQ(ScanHeadLine(700), "Identifier\tIP Address\tHost Name\tHD Name\tHD Capacity\tHD "
                                 "Available\tHD Used %\tReachable?\tAdapter");
    EXPECT_EQ(ScanHeadLine(500), QString::fromUtf8("識別碼\tIP位址\t主機名稱\t硬碟名稱\t硬碟容量\t"
                                                   "大小總計\t使用百分比%\t網路設定否\t介面卡"));
    EXPECT_EQ(ScanReachableWord(500, Reachability::No), QString::fromUtf8("否"));
    EXPECT_EQ(ScanReachableWord(700, Reachability::Unknown), "?");
    EXPECT_EQ(ScanReachableWord(500, Reachability::Unknown), QString::fromUtf8("未知"));
    // Nothing reaches a terminal raw: C1 controls and direction overrides are escaped.
    entry.adapter = "e\xc2\x85\xe2\x80\xae";
    EXPECT_TRUE(ScanJsonLine(entry).contains(R"("adapter":"e\u0085\u202e")"));
    QJsonParseError error{};
    const QJsonObject object =
        QJsonDocument::fromJson(ScanJsonLine(entry).toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(object["hostName"].toString(), cells.section('\t', 2, 2));
    EXPECT_EQ(object["raw"].toString(), "304330315201fe"); // what the text cannot tell apart
    EXPECT_EQ(object["length"].toInteger(), 7);
    EXPECT_EQ(object["address"].toString(), "10.0.0.5");
    EXPECT_EQ(object["sender"].toString(), "10.0.0.5");
    EXPECT_TRUE(object["reachable"].toBool());
    EXPECT_EQ(object["adapter"].toString(), QString::fromUtf8(entry.adapter));
    EXPECT_FALSE(ScanJsonLine(entry).contains('\n'));

    entry.adapter = "eth0";
    entry.address.reset();
    entry.reachability = Reachability::Unknown;
    EXPECT_TRUE(ScanLine(entry, 700).endsWith("\t?\teth0"));
    const QJsonObject unknown = QJsonDocument::fromJson(ScanJsonLine(entry).toUtf8()).object();
    EXPECT_TRUE(unknown["address"].isNull());
    EXPECT_TRUE(unknown["reachable"].isNull());
    EXPECT_EQ(unknown["ipAddress"].toString(), "10.0.0.5");
}

// A coarse timer may end the window up to 5 % early, and a late reply is lost then.
TEST(StartScan, TheWindowLastsItsWholeLengthThenListsWhatCame) {
    testing::FakeListener listener;
    testing::FakeBroadcaster broadcaster;
    ScriptedProber prober;
    QString printed;
    QTextStream out(&printed);
    std::optional<int> status;
    QElapsedTimer clock;
    clock.start();
    const PcNetwork eth0 = testing::Network("10.0.0.9", "255.0.0.0");
    ASSERT_EQ(StartScan({eth0, {{{"eth0", 2, eth0}}, {}}},
                        {listener, broadcaster, prober, std::chrono::milliseconds(400)},
                        ScanOutput{}, out, out, [&status](int done) { status = done; }),
              std::nullopt);
    listener.deliver(
        {reply("AP000000000000001", "10.0.0.5", "ONE"), 2, testing::Address("10.0.0.5")});
    while (!status && clock.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(printed.startsWith("AP000000000000001\t10.0.0.5\tONE\t")) << printed.toStdString();
}

// Only the command line's own options make the program a command; Qt's arguments are left to
// the wizard's window. Once a command, every argument is the command's; for the wizard, what Qt
// leaves is a mistake.
TEST(CommandLineChoice, OwnOptionsMakeItQtsArgumentsDoNot) {
    const struct {
        std::vector<const char*> arguments;
        bool command;
        // Of a command that never reaches the network, or of the wizard given what Qt left.
        std::optional<int> status;
    } rows[] = {
        {{"--scna"}, false, 2},
        {{"scan"}, false, 2},
        {{}, false, std::nullopt},
        {{"-style", "fusion"}, false, std::nullopt},
        {{"-session", "10d1a2b3c4"}, false, std::nullopt},
        {{"-platform", "wayland", "-reverse"}, false, std::nullopt},
        {{"--help"}, true, 0},
        {{"-h"}, true, 0},
        {{"--version"}, true, 0},
        {{"-v"}, true, 0},
        {{"--json"}, true, 2},                         // goes with --scan
        {{"--scan", "-style", "fusion"}, true, 2},     // a stray option: the usage
        {{"-session", "x", "--diagnose"}, true, 2},    // likewise
        {{"--scan", "--diagnose", "--json"}, true, 2}, // two commands
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"Tarvex"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        QStringList arguments;
        for (const char* argument : argv) {
            arguments.append(QString::fromLatin1(argument));
        }
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(IsCommandLine(static_cast<int>(argv.size()), argv.data()), row.command);
        QString told;
        QTextStream err(&told);
        if (row.status && row.command) {
            testing::RecordingProgramEnd end;
            EXPECT_EQ(RunCommandLine(arguments, {}, 700, end), row.status);
        } else if (row.status) {
            EXPECT_EQ(StrayWizardArguments(arguments, 500, err), row.status);
            EXPECT_TRUE(told.startsWith(QString::fromUtf8("多餘的引數：") + arguments[1]));
        }
    }
    QString none;
    QTextStream err(&none);
    EXPECT_EQ(StrayWizardArguments({"Tarvex"}, 700, err), std::nullopt);
}

// A Chinese character takes two columns at a terminal: the help fits one of 80 in both languages,
// no line begins with a closing mark and no number is parted from what it means ("3 the setup
// wizard is open").
TEST(CommandLineHelp, FitsEightyColumnsAndKeepsEachNumberWithItsMeaning) {
    EXPECT_EQ(DisplayWidth(QString::fromUtf8("設定 ａe\u0301")), 4 + 1 + 2 + 1);
    const QRegularExpression parted(QString::fromUtf8("\\d\\s*$|^\\s*[，。：；）]"));
    for (const int textBase : {700, 500}) {
        QString told;
        QTextStream err(&told);
        ASSERT_EQ(StrayWizardArguments({"/usr/bin/Tarvex", "--scna"}, textBase, err), 2);
        err.flush();
        const QStringList lines =
            told.split('\n') +
            WrapToWidth(AddedCatalogText(textBase, AddedText::HelpNotes), kTerminalLineWidth);
        EXPECT_EQ(lines.value(1).section(' ', -2), "Tarvex [options]");
        for (const QString& line : lines) {
            EXPECT_LE(DisplayWidth(line), 79) << line.toStdString();
            EXPECT_FALSE(line.contains(parted)) << line.toStdString();
        }
    }
}

} // namespace
} // namespace tarvex
