#include "appliance/DeviceProtocol.h"

#include "support/FakeRunServices.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

const QByteArray kId = "00:1A:2B:3C:4D:5E"; // 17 bytes
const QByteArray kNames = "IP='192.168.0.50' NETMASK='255.255.255.0' GATEWAY='192.168.0.1' "
                          "HOSTNAME='DRAVIK' WORKGROUP='HOME' HOSTNAME_FULL='DRAVIK-HOME-NAS'";
const QByteArray kDisk =
    " HDMODEL='ST3160023A' HDCAPACITY='312581808' HDTOTAL='156000000' HDAVAIL='150000000'";

QByteArray reply(const QByteArray& names = kNames, const QByteArray& disk = kDisk,
                 const QByteArray& id = kId) {
    return testing::DiscoveryReply(id, names + disk);
}

DeviceRecord fullRecord() {
    return {kId,       "192.168.0.50", "255.255.255.0",   "192.168.0.1",
            "DRAVIK",  "HOME",         "DRAVIK-HOME-NAS", "ST3160023A",
            312581808, 156000000,      150000000};
}

DeviceRecord withDisk(const char* model, qint64 capacity, qint64 total, qint64 available) {
    DeviceRecord record = fullRecord();
    record.DiskModel = model;
    record.DiskCapacity = capacity;
    record.DiskTotal = total;
    record.DiskAvailable = available;
    return record;
}

DeviceRecord withNames(QByteArray id, QByteArray host, QByteArray full) {
    DeviceRecord record = fullRecord();
    record.DeviceId = std::move(id);
    record.HostName = std::move(host);
    record.FullHostName = std::move(full);
    return record;
}

struct CutRow {
    const char* name;
    QByteArray reply;
    ReplyCut expected;
};

// A refused reply, with the reason and the key it is about.
ReplyCut refused(CutRefusal refusal, QByteArrayView key = {}) {
    return {refusal, key};
}

void PrintTo(const CutRow& row, std::ostream* os) {
    *os << row.name;
}

class CutDiscoveryReplyRows : public ::testing::TestWithParam<CutRow> {};

// The reason is asserted in every row, so that a row cannot pass because another rule refused
// the reply.
TEST_P(CutDiscoveryReplyRows, Cuts) {
    const ReplyCut cut = CutDiscoveryReply(GetParam().reply);
    EXPECT_EQ(cut.record, GetParam().expected.record);
    EXPECT_EQ(cut.refusal, GetParam().expected.refusal) << CutRefusalText(cut).toStdString();
    EXPECT_EQ(cut.key, GetParam().expected.key);
}

QByteArray without(QByteArray text, const char* item) {
    return text.replace(item, "");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CutDiscoveryReplyRows,
    ::testing::Values(
        CutRow{"Whole", reply(), fullRecord()},
        CutRow{"EndsAfterFullHostName", reply(kNames, ""), withDisk(kNoDiskModel, 0, 0, 0)},
        CutRow{"EmptyModelZeroesTheNumbers",
               reply(kNames, " HDMODEL='' HDCAPACITY='312581808' HDTOTAL='5' HDAVAIL='4'"),
               withDisk(kNoDiskModel, 0, 0, 0)},
        CutRow{"ModelWithoutClosingQuote", reply(kNames, " HDMODEL='ST316"),
               withDisk(kNoDiskModel, 0, 0, 0)},
        CutRow{"CapacityMissing", reply(kNames, without(kDisk, " HDCAPACITY='312581808'")),
               withDisk("ST3160023A", 0, 156000000, 150000000)},
        CutRow{"CapacityEmpty", reply(kNames, " HDMODEL='M' HDCAPACITY='' HDTOTAL='7' HDAVAIL='3'"),
               withDisk("M", 0, 7, 3)},
        CutRow{"CapacityNotANumber",
               reply(kNames, " HDMODEL='M' HDCAPACITY='big' HDTOTAL='7' HDAVAIL='3'"),
               withDisk("M", 0, 7, 3)},
        CutRow{"TotalNotANumber",
               reply(kNames, " HDMODEL='M' HDCAPACITY='9' HDTOTAL='n/a' HDAVAIL='3'"),
               withDisk("M", 9, 0, 3)},
        CutRow{"TotalMissingKeepsAvailable",
               reply(kNames, " HDMODEL='M' HDCAPACITY='9' HDAVAIL='3'"), withDisk("M", 9, 0, 3)},
        CutRow{"NumbersBeyond32Bits",
               reply(kNames, " HDMODEL='M' HDCAPACITY='3907029168' HDTOTAL='2000398934016' "
                             "HDAVAIL='4294967296'"),
               withDisk("M", 3907029168LL, 2000398934016LL, 4294967296LL)},
        CutRow{"FractionsRoundHalfToEven",
               reply(kNames, " HDMODEL='M' HDCAPACITY='2.5' HDTOTAL='3.5' HDAVAIL='1.51'"),
               withDisk("M", 2, 4, 2)},
        CutRow{"FreeTextBetweenDiskItems",
               reply(kNames, ";HDMODEL='M';x;HDCAPACITY='1' ~~ HDTOTAL='2'..HDAVAIL='3'!"),
               withDisk("M", 1, 2, 3)},
        CutRow{"FullHostNameCutAtItsQuote",
               reply(QByteArray(kNames).replace("DRAVIK-HOME-NAS", "NAS"), kDisk),
               withNames(kId, "DRAVIK", "NAS")},
        CutRow{"IdentifierWithSeparatorQuoteAndKey", reply(kNames, kDisk, "AB;C'D IP='x;y'Z1"),
               withNames("AB;C'D IP='x;y'Z1", "DRAVIK", "DRAVIK-HOME-NAS")},
        CutRow{"BytesThatAreNotUtf8KeptAsReceived",
               reply(QByteArray(kNames).replace("'DRAVIK'", "'\xA7\xDA\xAA\xBA\xFF'"), kDisk),
               withNames(kId, "\xA7\xDA\xAA\xBA\xFF", "DRAVIK-HOME-NAS")},
        CutRow{"ChineseNamesKeptAsUtf8",
               reply(QByteArray(kNames).replace("'DRAVIK'", "'儲存裝置'"), kDisk),
               withNames(kId, "儲存裝置", "DRAVIK-HOME-NAS")},
        CutRow{"IpKeyOnlyInsideTheIdentifier",
               reply(without(kNames, "IP='192.168.0.50' "), "", "AB IP='x' CDEFGHI"),
               refused(CutRefusal::KeyMissing, "IP='")},
        CutRow{"DiskItemCutShortCountsAsMissing",
               reply(kNames, " HDMODEL='M' HDCAPACITY='9' HDTOTAL='12"), withDisk("M", 9, 0, 0)},
        CutRow{"NoIp", reply(without(kNames, "IP='192.168.0.50' ")),
               refused(CutRefusal::KeyMissing, "IP='")},
        CutRow{"NoNetmask", reply(without(kNames, "NETMASK='255.255.255.0' ")),
               refused(CutRefusal::KeyMissing, "NETMASK='")},
        CutRow{"NoGateway", reply(without(kNames, "GATEWAY='192.168.0.1' ")),
               refused(CutRefusal::KeyMissing, "GATEWAY='")},
        CutRow{"NoHostName", reply(without(kNames, "HOSTNAME='DRAVIK' ")),
               refused(CutRefusal::KeyMissing, "HOSTNAME='")},
        CutRow{"NoWorkgroup", reply(without(kNames, "WORKGROUP='HOME' ")),
               refused(CutRefusal::KeyMissing, "WORKGROUP='")},
        CutRow{"NoFullHostName", reply(without(kNames, " HOSTNAME_FULL='DRAVIK-HOME-NAS'")),
               refused(CutRefusal::KeyMissing, "HOSTNAME_FULL='")},
        CutRow{"FullHostNameNotClosed", reply(QByteArray(kNames).chopped(1), ""),
               refused(CutRefusal::FullHostNameNotClosed, "HOSTNAME_FULL='")},
        CutRow{"KeysOutOfOrder",
               reply("NETMASK='255.255.255.0' IP='192.168.0.50' GATEWAY='192.168.0.1' "
                     "HOSTNAME='D' WORKGROUP='W' HOSTNAME_FULL='F'"),
               refused(CutRefusal::KeysOutOfOrder, "NETMASK='")},
        CutRow{"NoRoomForValue",
               reply("IP='NETMASK='255.255.255.0' GATEWAY='192.168.0.1' HOSTNAME='D' "
                     "WORKGROUP='W' HOSTNAME_FULL='F'"),
               refused(CutRefusal::NoRoomForValue, "NETMASK='")},
        CutRow{"ShorterThanIdentifier", "0C01R00:1A", refused(CutRefusal::ShorterThanIdentifier)},
        CutRow{"OtherCommandWord", "0c01R" + kId + kNames + kDisk,
               refused(CutRefusal::NotADiscoveryReply)},
        CutRow{"Empty", "", refused(CutRefusal::NotADiscoveryReply)}),
    [](const auto& info) { return std::string(info.param.name); });

struct NumberRow {
    const char* text;
    qint64 expected;
};

void PrintTo(const NumberRow& row, std::ostream* os) {
    *os << '"' << row.text << '"';
}

class ReadWholeNumberRows : public ::testing::TestWithParam<NumberRow> {};

TEST_P(ReadWholeNumberRows, Reads) {
    EXPECT_EQ(ReadWholeNumber(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ReadWholeNumberRows,
    ::testing::Values(NumberRow{"", 0}, NumberRow{"0", 0}, NumberRow{"312581808", 312581808},
                      NumberRow{" 42 ", 42}, NumberRow{"-7", -7}, NumberRow{"+8", 8},
                      NumberRow{"0.5", 0}, NumberRow{"1.5", 2}, NumberRow{"2.5", 2},
                      NumberRow{"-2.5", -2}, NumberRow{"-3.5", -4}, NumberRow{"2.500001", 3},
                      NumberRow{"2.4999", 2}, NumberRow{".5", 0}, NumberRow{"5.", 5},
                      NumberRow{"9223372036854775807", 9223372036854775807LL},
                      NumberRow{"9223372036854775808", 0}, NumberRow{"9223372036854775807.5", 0},
                      NumberRow{"1e3", 0}, NumberRow{"12abc", 0}, NumberRow{".", 0},
                      NumberRow{"-", 0}, NumberRow{"1,000", 0}, NumberRow{"1 000", 0}));

struct RequestRow {
    const char* name;
    DeviceRecord device;
    ConfigureFields fields;
    QByteArray expected;
};

void PrintTo(const RequestRow& row, std::ostream* os) {
    *os << row.name;
}

class ConfigureRequestRows : public ::testing::TestWithParam<RequestRow> {};

ConfigureFields fields(const char* address, const char* mask, const char* gateway, QString userName,
                       QString password) {
    return {testing::Address(address),
            testing::Address(mask),
            *gateway != 0 ? std::optional(testing::Address(gateway)) : std::nullopt,
            {std::move(userName), std::move(password)}};
}

TEST_P(ConfigureRequestRows, Builds) {
    const QByteArray request = ConfigureRequest(GetParam().device, GetParam().fields);
    EXPECT_EQ(request, GetParam().expected);
}

DeviceRecord named(QByteArray id, QByteArray host, QByteArray group, QByteArray full) {
    DeviceRecord record;
    record.DeviceId = std::move(id);
    record.HostName = std::move(host);
    record.Workgroup = std::move(group);
    record.FullHostName = std::move(full);
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ConfigureRequestRows,
    ::testing::Values(
        RequestRow{"Whole", named(kId, "DRAVIK", "HOME", "DRAVIK-HOME-NAS"),
                   fields("192.168.0.77", "255.255.255.0", "192.168.0.1", "admin", "secret"),
                   "0C02S00:1A:2B:3C:4D:5E192.168.0.77;255.255.255.0;192.168.0.1;DRAVIK;HOME;"
                   "DRAVIK-HOME-NAS;admin;secret"},
        RequestRow{"EmptyFieldsStayEmpty", named(kId, "", "", ""),
                   fields("10.0.0.9", "255.0.0.0", "", "", ""),
                   "0C02S00:1A:2B:3C:4D:5E10.0.0.9;255.0.0.0;;;;;;"},
        RequestRow{"IdentifierAndFieldsWithSeparatorsUnchanged",
                   named("AB;C'D IP='x;y'Z1", "a;b", "W'G", "F"),
                   fields("10.0.0.9", "255.0.0.0", "10.0.0.1", "u;v", "p'w;"),
                   "0C02SAB;C'D IP='x;y'Z110.0.0.9;255.0.0.0;10.0.0.1;a;b;W'G;F;u;v;p'w;"},
        RequestRow{"ChineseCredentialsGoOutWholeAsUtf8", named(kId, "NAS", "HOME", "NAS"),
                   fields("10.0.0.9", "255.0.0.0", "10.0.0.1", QString::fromUtf8("管理員"),
                          QString::fromUtf8("密碼")),
                   "0C02S00:1A:2B:3C:4D:5E10.0.0.9;255.0.0.0;10.0.0.1;NAS;HOME;NAS;"
                   "\xE7\xAE\xA1\xE7\x90\x86\xE5\x93\xA1;\xE5\xAF\x86\xE7\xA2\xBC"},
        RequestRow{"ReceivedBytesGoBackByteForByte",
                   named("\xFF\xFE"
                         "567890123456789",
                         "\xA7\xDA", "\x80", "\xC0\xC1"),
                   fields("10.0.0.9", "255.0.0.0", "10.0.0.1", "u", "p"),
                   "0C02S\xFF\xFE"
                   "56789012345678910.0.0.9;255.0.0.0;10.0.0.1;\xA7\xDA;\x80;"
                   "\xC0\xC1;u;p"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiscoveryRequest, IsTheFiveBytesOfItsCommandWord) {
    EXPECT_EQ(DiscoveryRequest(), QByteArray("0C01S"));
}

TEST(ConfigureRequest, FullHostNameOfACutReplyGoesBackWhole) {
    const std::optional<DeviceRecord> record = CutDiscoveryReply(reply()).record;
    ASSERT_TRUE(record);
    const QByteArray request =
        ConfigureRequest(*record, fields("192.168.0.77", "255.0.0.0", "", "u", "p"));
    EXPECT_TRUE(request.contains(";DRAVIK;HOME;DRAVIK-HOME-NAS;u;p"));
}

struct StatusRow {
    QByteArray reply;
    ConfigureStatus expected;
};

void PrintTo(const StatusRow& row, std::ostream* os) {
    *os << '"' << row.reply.toStdString() << '"';
}

class ReadConfigureStatusRows : public ::testing::TestWithParam<StatusRow> {};

TEST_P(ReadConfigureStatusRows, Reads) {
    EXPECT_EQ(ReadConfigureStatus(GetParam().reply), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Statuses, ReadConfigureStatusRows,
                         ::testing::Values(StatusRow{"0C02R" + kId + "2", ConfigureStatus::Applied},
                                           StatusRow{"0C02R" + kId + "1 and more",
                                                     ConfigureStatus::Refused},
                                           StatusRow{"0C02R" + kId + "7", ConfigureStatus::Other},
                                           StatusRow{"0C02R" + kId, ConfigureStatus::Other},
                                           StatusRow{"0C01R" + kId + "2", ConfigureStatus::Other},
                                           StatusRow{"", ConfigureStatus::Other}));

// The fuzzer's seed corpus doubles as golden inputs: real replies, cut as they must be.
struct GoldenRow {
    const char* file;
    CutRefusal refusal;
    const char* hostName; // of the record, when there is one
    qint64 capacity;
};

void PrintTo(const GoldenRow& row, std::ostream* os) {
    *os << row.file;
}

class GoldenReplies : public ::testing::TestWithParam<GoldenRow> {};

TEST_P(GoldenReplies, CutAsTheyMustBe) {
    QFile file(QStringLiteral(TARVEX_FUZZ_CORPUS "/") + QString::fromLatin1(GetParam().file));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << GetParam().file;
    const ReplyCut cut = CutDiscoveryReply(file.readAll());
    EXPECT_EQ(cut.refusal, GetParam().refusal) << CutRefusalText(cut).toStdString();
    if (cut.record) {
        EXPECT_EQ(cut.record->HostName, QByteArray(GetParam().hostName));
        EXPECT_EQ(cut.record->DiskCapacity, GetParam().capacity);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, GoldenReplies,
    ::testing::Values(GoldenRow{"whole", CutRefusal::None, "DRAVIK", 312581808},
                      GoldenRow{"big-disk", CutRefusal::None, "BIG", 3907029168LL},
                      GoldenRow{"no-disk", CutRefusal::None, "NAS", 0},
                      GoldenRow{"chinese-empty-model", CutRefusal::None, "儲存裝置", 0},
                      GoldenRow{"odd-identifier", CutRefusal::None, "a", 0},
                      GoldenRow{"out-of-order", CutRefusal::KeysOutOfOrder, "", 0},
                      GoldenRow{"not-utf8-unclosed", CutRefusal::FullHostNameNotClosed, "", 0},
                      GoldenRow{"configure-applied", CutRefusal::NotADiscoveryReply, "", 0}));

TEST(KindOfReply, ComparesTheCommandWordExactly) {
    EXPECT_EQ(KindOfReply("0C01R" + kId), ReplyKind::Discovery);
    EXPECT_EQ(KindOfReply("0C02R"), ReplyKind::Configure);
    EXPECT_EQ(KindOfReply("0c01R" + kId), ReplyKind::Other);
    EXPECT_EQ(KindOfReply("0C01S"), ReplyKind::Other);
    EXPECT_EQ(KindOfReply("0C01"), ReplyKind::Other);
    EXPECT_EQ(KindOfReply(""), ReplyKind::Other);
}

} // namespace
} // namespace tarvex
