#include "net/Ipv4Address.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

struct ParseRow {
    const char* text;
    std::optional<quint32> expected; // host order
};

void PrintTo(const ParseRow& row, std::ostream* os) {
    *os << '"' << row.text << '"';
}

class ParseRows : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseRows, ReadsOnlyPlainDottedQuads) {
    const ParseRow& row = GetParam();
    const std::optional<Ipv4Address> fromBytes = Ipv4Address::parse(QByteArrayView(row.text));
    const std::optional<Ipv4Address> fromText = Ipv4Address::parse(QString::fromUtf8(row.text));
    ASSERT_EQ(fromBytes.has_value(), row.expected.has_value());
    ASSERT_EQ(fromText.has_value(), row.expected.has_value());
    if (row.expected) {
        EXPECT_EQ(fromBytes->toHostOrder(), *row.expected);
        EXPECT_EQ(fromText->toHostOrder(), *row.expected);
        EXPECT_EQ(fromBytes->text(), QString::fromUtf8(row.text));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseRows,
    ::testing::Values(ParseRow{"192.168.0.5", 0xc0a80005U}, ParseRow{"0.0.0.0", 0U},
                      ParseRow{"255.255.255.255", 0xffffffffU},
                      ParseRow{"10.0.10.100", 0x0a000a64U}, ParseRow{"", std::nullopt},
                      ParseRow{"1.2.3.4 @evil.example/x", std::nullopt},
                      ParseRow{" 1.2.3.4", std::nullopt}, ParseRow{"1.2.3.4 ", std::nullopt},
                      ParseRow{"127.1", std::nullopt}, ParseRow{"0x7f.0.0.1", std::nullopt},
                      ParseRow{"2130706433", std::nullopt}, ParseRow{"10.99.0.011", std::nullopt},
                      ParseRow{"01.2.3.4", std::nullopt}, ParseRow{"1.2.3.256", std::nullopt},
                      ParseRow{"1.2.3.1000", std::nullopt}, ParseRow{"1.2.3.", std::nullopt},
                      ParseRow{"1.2.3.4.", std::nullopt}, ParseRow{"1.2.3.4.5", std::nullopt},
                      ParseRow{"1..3.4", std::nullopt}, ParseRow{"+1.2.3.4", std::nullopt},
                      ParseRow{"1.2.3.-4", std::nullopt}, ParseRow{"a.b.c.d", std::nullopt}));

TEST(Ipv4AddressText, NulAndWideDigitsAreRefused) {
    EXPECT_FALSE(Ipv4Address::parse(QByteArrayView("1.2.3.4\0", 8)));
    // Fullwidth and Arabic-Indic digits are digits to Unicode, not to a dotted quad.
    EXPECT_FALSE(Ipv4Address::parse(QStringView(u"１.2.3.4")));
    EXPECT_FALSE(Ipv4Address::parse(QStringView(u"1.2.3.\u0664")));
}

struct HostRow {
    const char* address;
    bool host;
};

class HostRows : public ::testing::TestWithParam<HostRow> {};

TEST_P(HostRows, OnlyUnicastHostsOfALan) {
    const auto pc = *Ipv4Address::parse(QStringView(u"192.168.0.20"));
    const auto mask = *Ipv4Address::parse(QStringView(u"255.255.255.0"));
    const auto address = *Ipv4Address::parse(QByteArrayView(GetParam().address));
    EXPECT_EQ(IsUnicastHostAddress(address, pc, mask), GetParam().host) << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, HostRows,
    ::testing::Values(HostRow{"192.168.0.30", true}, HostRow{"10.77.2.40", true},
                      HostRow{"192.168.1.0", true}, HostRow{"192.168.0.0", false},
                      HostRow{"192.168.0.255", false}, HostRow{"0.1.2.3", false},
                      HostRow{"127.0.0.1", false}, HostRow{"224.0.0.1", false},
                      HostRow{"255.255.255.255", false}, HostRow{"223.255.255.254", true}));

} // namespace
} // namespace tarvex
