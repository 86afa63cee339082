#include "run/ScanCommand.h"

#include "run/CommandLine.h"
#include "support/Addresses.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <vector>

namespace tarvex {
namespace {

QByteArray reply(const QByteArray& id, const QByteArray& host) {
    return "0C01R" + id + " IP='10.0.0.5' NETMASK='255.0.0.0' GATEWAY='' HOSTNAME='" + host +
           "' WORKGROUP='W' HOSTNAME_FULL='F' HDMODEL='ST' HDCAPACITY='312581808' "
           "HDTOTAL='156000000' HDAVAIL='150000000'";
}

TEST(ScanCollector, KeepsTheFirstReplyOfEachApplianceWithTheAdapterThatHeardIt) {
    ScanCollector collector({{"eth0", 2, "10.0.0.9", "255.0.0.0", ""},
                             {"eth1", 3, "192.168.0.9", "255.255.255.0", ""}});
    collector.add({reply("AP000000000000001", "ONE"), 3, testing::Address("10.0.0.5")});
    collector.add(
        {reply("AP000000000000001", "AGAIN"), 2, testing::Address("10.0.0.5")}); // other adapter
    collector.add(
        {reply("AP000000000000001", "AGAIN"), 3, testing::Address("10.0.0.5")}); // same one
    collector.add({"0C02RAP0000000000000012", 2, testing::Address("10.0.0.5")});
    collector.add({"0C01Rshort", 2, testing::Address("10.0.0.5")});
    collector.add({reply("AP000000000000002", "TWO"), 2, testing::Address("10.0.0.6")});
    const std::vector<ScanEntry>& entries = collector.entries();
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(entries[0].record.HostName, "ONE");
    EXPECT_EQ(entries[0].adapter, "eth1");
    EXPECT_EQ(entries[1].adapter, "eth0");
}

TEST(ScanLine, CellsAsTheDeviceListShowsThemInBothLanguagesAndJsonThatParses) {
    ScanEntry entry;
    entry.record.DeviceId = "AP000000000000001";
    entry.record.IpAddress = "10.0.0.5";
    entry.record.HostName = "tab\there \"q\"\n\xff";
    entry.record.DiskModel = "ST";
    entry.record.DiskCapacity = 312581808;
    entry.record.DiskTotal = 156000000;
    entry.record.DiskAvailable = 150000000;
    entry.adapter = "eth0";
    entry.reachable = true;
    const QString cells = QString::fromUtf8(
        "AP000000000000001\t10.0.0.5\ttab here \"q\" \uFFFD\tST\t160GB\t156GB\t4%");
    EXPECT_EQ(ScanLine(entry, 700), cells + "\tYes\teth0");
    EXPECT_EQ(ScanLine(entry, 500), cells + QString::fromUtf8("\t是\teth0"));
    // The heads, one above each cell, in the same language.
    EXPECT_EQ(ScanHeadLine(700), "Identifier\tIP Address\tHost Name\tHD Name\tHD Capacity\tHD "
                                 "Available\tHD Used %\tReachable?\tAdapter");
    EXPECT_EQ(ScanHeadLine(500), QString::fromUtf8("識別碼\tIP位址\t主機名稱\t硬碟名稱\t硬碟容量\t"
                                                   "大小總計\t使用百分比%\t網路設定否\t介面卡"));
    EXPECT_EQ(ScanReachableWord(500, false), QString::fromUtf8("否"));
    EXPECT_EQ(ScanReachableWord(700, std::nullopt), "?");
    EXPECT_EQ(ScanReachableWord(500, std::nullopt), QString::fromUtf8("未知"));
    QJsonParseError error{};
    const QJsonObject object =
        QJsonDocument::fromJson(ScanJsonLine(entry).toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(object["hostName"].toString(), QString::fromUtf8("tab here \"q\" \uFFFD"));
    EXPECT_TRUE(object["reachable"].toBool());
    EXPECT_FALSE(ScanJsonLine(entry).contains('\n'));
}

// Only the command line's own options make the program a command; Qt's arguments are left to
// the wizard's window. Once a command, every argument is the command's.
TEST(CommandLineChoice, OwnOptionsMakeItQtsArgumentsDoNot) {
    const struct {
        std::vector<const char*> arguments;
        bool command;
        std::optional<int> status; // of a command that never reaches the network
    } rows[] = {
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
        if (row.status) {
            EXPECT_EQ(RunCommandLine(arguments, {}, 700), row.status);
        }
    }
}

} // namespace
} // namespace tarvex
