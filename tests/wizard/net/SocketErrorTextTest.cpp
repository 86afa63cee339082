#include "net/SocketErrorTexts.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace tarvex {
namespace {

// The table as the product documents it: number, tab, text; one line per error.
std::vector<std::pair<int, QString>> documentedTable() {
    QFile file(QStringLiteral(TARVEX_SOCKET_ERROR_TABLE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << TARVEX_SOCKET_ERROR_TABLE;
    std::vector<std::pair<int, QString>> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (const qsizetype tab = line.indexOf('\t'); tab > 0) {
            rows.emplace_back(line.left(tab).toInt(), QString::fromLatin1(line.mid(tab + 1)));
        }
    }
    return rows;
}

TEST(SocketErrorText, EveryTextIsExactlyThatOfTheDocumentedTableAndNoOtherNumberHasOne) {
    const auto rows = documentedTable();
    ASSERT_EQ(rows.size(), 51U);
    std::set<int> numbers;
    for (const auto& [number, text] : rows) {
        EXPECT_EQ(SocketErrorText(number), text) << number;
        numbers.insert(number);
    }
    for (const int number : numbers) {
        for (const int neighbour : {number - 1, number + 1}) {
            if (!numbers.contains(neighbour)) {
                EXPECT_TRUE(SocketErrorText(neighbour).isEmpty()) << neighbour;
            }
        }
    }
    for (const int outside : {0, -1, 10000, 10072, 10090, 10100, 11000, 11005, 13}) {
        EXPECT_TRUE(SocketErrorText(outside).isEmpty()) << outside;
    }
}

struct ErrnoRow {
    int errnoValue;
    int number;
};

void PrintTo(const ErrnoRow& row, std::ostream* os) {
    *os << "errno " << row.errnoValue;
}

class SocketErrorNumberRows : public ::testing::TestWithParam<ErrnoRow> {};

TEST_P(SocketErrorNumberRows, MapsOntoTheTable) {
    EXPECT_EQ(SocketErrorNumber(GetParam().errnoValue), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Errno, SocketErrorNumberRows,
    ::testing::Values(ErrnoRow{EACCES, 10013}, ErrnoRow{EPERM, 10013}, ErrnoRow{EADDRINUSE, 10048},
                      ErrnoRow{ENETUNREACH, 10051}, ErrnoRow{EHOSTUNREACH, 10065},
                      ErrnoRow{EMSGSIZE, 10040}, ErrnoRow{EMFILE, 10024}, ErrnoRow{EAGAIN, 10035},
                      ErrnoRow{ECONNREFUSED, 10061}, ErrnoRow{EHOSTDOWN, 10064},
                      // no counterpart: keeps its own number, which the table does not hold
                      ErrnoRow{ENODEV, ENODEV}));

TEST(SocketErrorNumber, EveryMappedErrnoHasATableText) {
    for (int value = 1; value < 200; ++value) {
        const int number = SocketErrorNumber(value);
        if (number != value) {
            EXPECT_FALSE(SocketErrorText(number).isEmpty()) << value;
        }
    }
}

} // namespace
} // namespace tarvex
