#include "modules/ProcNeighbourTable.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Loopback carries 127.0.0.1 on every machine, so the prepared table names "lo".
const QString kTable = QStringLiteral(
    "IP address       HW type     Flags       HW address            Mask     Device\n"
    "127.0.0.5        0x1         0x2         02:fc:00:00:00:05     *        lo\n"
    "127.0.0.6        0x1         0x0         00:00:00:00:00:00     *        lo\n"
    "127.0.0.7        0x1         0x6         02:fc:00:00:00:07     *        lo\n"
    "127.0.0.8        0x1         0x2         02:fc:00:00:00:08     *        eth9\n");

TEST(ArpTable, KeepsCompleteAndPermanentEntriesOfTheInterface) {
    EXPECT_EQ(ParseArpTable(kTable, "lo"), QStringList({"127.0.0.5", "127.0.0.7"}));
    EXPECT_EQ(ParseArpTable(kTable, "eth9"), QStringList({"127.0.0.8"}));
    EXPECT_TRUE(ParseArpTable(kTable.section('\n', 0, 0), "lo").isEmpty());
}

struct LookupRow {
    const char* name;
    QString address;
    QString adapterAddress;
    bool expected;
};

void PrintTo(const LookupRow& row, std::ostream* os) {
    *os << row.name;
}

class NeighbourLookup : public ::testing::TestWithParam<LookupRow> {};

TEST_P(NeighbourLookup, AnswersFromThePreparedTable) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(kTable.toLatin1());
    file.close();
    ProcNeighbourTable table(file.fileName());
    EXPECT_EQ(table.hasHardwareAddress(GetParam().address, GetParam().adapterAddress),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NeighbourLookup,
    ::testing::Values(LookupRow{"Learned", "127.0.0.5", "127.0.0.1", true},
                      LookupRow{"Incomplete", "127.0.0.6", "127.0.0.1", false},
                      LookupRow{"OtherInterface", "127.0.0.8", "127.0.0.1", false},
                      LookupRow{"NotAnAddress", "host", "127.0.0.1", false},
                      LookupRow{"AdapterNotHere", "127.0.0.5", "203.0.113.9", false}));

} // namespace
} // namespace tarvex
