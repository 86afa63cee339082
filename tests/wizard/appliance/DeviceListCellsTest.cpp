// The device list's cell texts: disk figures, used share, display decoding, the whole row.
#include "appliance/DeviceListCells.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

namespace tarvex {
namespace {

enum class Column { Capacity, Available, Used };

struct FigureRow {
    Column column;
    qint64 first; // sectors, or the total
    qint64 available;
    const char* expected; // with "." as the decimal separator
};

void PrintTo(const FigureRow& row, std::ostream* os) {
    *os << static_cast<int>(row.column) << " " << row.first << " " << row.available;
}

QString cell(const FigureRow& row) {
    switch (row.column) {
    case Column::Capacity:
        return CapacityText(row.first);
    case Column::Available:
        return AvailableText(row.first);
    case Column::Used:
        return UsedShareText(row.first, row.available);
    }
    return {};
}

// Restores the default locale a case changed.
class Figures : public ::testing::TestWithParam<FigureRow> {
protected:
    ~Figures() override { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

TEST_P(Figures, FollowTheRoundingAndTheUsersDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString expected = QString::fromLatin1(GetParam().expected);
    EXPECT_EQ(cell(GetParam()), expected);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(cell(GetParam()), QString(expected).replace(u'.', u','));
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr auto C = Column::Capacity;
constexpr auto A = Column::Available;
constexpr auto U = Column::Used;

INSTANTIATE_TEST_SUITE_P(
    Rows, Figures,
    ::testing::Values(
        FigureRow{C, 312581808, 0, "160GB"}, FigureRow{C, 1000000, 0, "512MB"},
        FigureRow{C, 1953125, 0, "1000MB"}, FigureRow{C, 1953126, 0, "1GB"},
        FigureRow{C, 1953, 0, ""}, FigureRow{C, 1954, 0, "1MB"}, FigureRow{C, 0, 0, ""},
        FigureRow{C, 145507813, 0, "74.5GB"},
        // beyond 32 bits
        FigureRow{C, 4294967296, 0, "2199GB"}, FigureRow{C, kMax, 0, "4722366482869.6GB"},
        FigureRow{A, 1000000, 0, "1000MB"}, FigureRow{A, 1000001, 0, "1GB"},
        FigureRow{A, 6000, 0, "0"}, FigureRow{A, 6001, 0, "6MB"}, FigureRow{A, -5, 0, "0"},
        // halves go to the even digit
        FigureRow{A, 2225000, 0, "2.22GB"}, FigureRow{A, 2235000, 0, "2.24GB"},
        FigureRow{A, 6125, 0, "6.12MB"}, FigureRow{A, kMax, 0, "9223372036854.78GB"},
        FigureRow{U, 156000000, 150000000, "4%"}, FigureRow{U, 156000000, 0, "0"},
        FigureRow{U, 0, 0, "0"}, FigureRow{U, 100, -3, "-3"}, FigureRow{U, 100, 150, "-50%"},
        FigureRow{U, 8, 7, "12%"}, FigureRow{U, 8, 5, "38%"}, FigureRow{U, 100, 100, "0%"},
        FigureRow{U, kMax, 1, "100%"}, FigureRow{U, -kMax, kMax, "200%"},
        // no share without a total
        FigureRow{U, 0, 7, "7"},
        // more than 15 digits
        FigureRow{U, -1, kMax, "9.22337203685478E+20%"}));

TEST(DisplayText, DecodesUtf8AndKeepsTheRowOnOneLine) {
    const struct {
        QByteArray bytes;
        QString shown;
    } rows[] = {
        {QByteArrayLiteral("Dravik-01"), QStringLiteral("Dravik-01")},
        {QByteArrayLiteral("\xe7\xb6\xb2\xe8\xb7\xaf"), QStringLiteral("網路")},
        {QByteArrayLiteral("a\xff"
                           "b"),
         QStringLiteral("a\uFFFDb")},
        {QByteArrayLiteral("one\ntwo\r\nthree\tfour"), QStringLiteral("one two  three four")},
        {QByteArrayLiteral("x\x01y\x7f"), QStringLiteral("x\uFFFDy\uFFFD")},
        {QByteArrayLiteral("p\xe2\x80\xa8q"), QStringLiteral("p q")},
        // format characters, one of them outside the basic plane
        {QStringLiteral("a\u202Eb\u2066c\u061Cd\u200Be\U000E0001").toUtf8(),
         QStringLiteral("a\uFFFDb\uFFFDc\uFFFDd\uFFFDe\uFFFD")},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DisplayText(row.bytes), row.shown) << row.bytes.toHex().constData();
    }
}

TEST(DeviceListRow, HoldsTheEightCellsInColumnOrder) {
    DeviceRecord record;
    record.IpAddress = "192.168.0.5";
    record.HostName = "nas\n1";
    record.DiskModel = "No HD Installed!";
    record.DiskCapacity = 312581808;
    record.DiskTotal = 156000000;
    record.DiskAvailable = 150000000;
    const QStringList expected{QStringLiteral("10"),
                               QStringLiteral("No"),
                               QStringLiteral("nas 1"),
                               QStringLiteral("192.168.0.5"),
                               QStringLiteral("No HD Installed!"),
                               QStringLiteral("160GB"),
                               QStringLiteral("156GB"),
                               QStringLiteral("4%")};
    EXPECT_EQ(DeviceListRow(10, record, Reachability::No), expected);
}

} // namespace
} // namespace tarvex
