#include "run/CandidateAddresses.h"

#include "run/ClockSeededRandom.h"
#include "support/Addresses.h"
#include "support/FakeRunServices.h"

#include <gtest/gtest.h>
#include <set>

namespace tarvex {
namespace {

struct CandidateRow {
    const char* name;
    QString address;
    QString mask;
    QList<float> draws;
    CandidateProblem problem;
    QStringList expected;
};

void PrintTo(const CandidateRow& row, std::ostream* os) {
    *os << row.name;
}

class Candidates : public ::testing::TestWithParam<CandidateRow> {};

TEST_P(Candidates, AreDrawnByTheRules) {
    const CandidateRow& row = GetParam();
    testing::FakeRandom random;
    random.draws.assign(row.draws.begin(), row.draws.end());
    random.repeatLast = true;
    const CandidateDraw draw = DrawCandidates(testing::Network(row.address, row.mask), random, 3);
    EXPECT_EQ(draw.problem, row.problem);
    EXPECT_EQ(draw.candidates, testing::Addresses(row.expected));
}

using enum CandidateProblem;
const char* const k24 = "255.255.255.0";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, Candidates, ::testing::Values(
    CandidateRow{"Slash24KeepsThreeParts", "192.168.0.20", k24, {0.0f, 0.5f, 0.999f}, None,
                 {"192.168.0.1", "192.168.0.128", "192.168.0.254"}},
    CandidateRow{"Slash16StillKeepsThreeParts", "10.1.2.3", "255.255.0.0", {0.1f, 0.2f, 0.3f}, None,
                 {"10.1.2.26", "10.1.2.52", "10.1.2.77"}},
    CandidateRow{"RepeatsAndOwnAddressDrawnAgain", "192.168.0.20", k24,
                 {19.0f / 253, 0.0f, 0.0f, 0.5f, 0.999f}, None,
                 {"192.168.0.1", "192.168.0.128", "192.168.0.254"}},
    CandidateRow{"RepeatingSourceStopsShort", "192.168.0.20", k24, {0.0f}, None, {"192.168.0.1"}},
    CandidateRow{"Slash25StaysInUpperHalf", "192.168.1.200", "255.255.255.128",
                 {0.0f, 0.99999994f, 0.0f}, None,
                 {"192.168.1.129", "192.168.1.254", "192.168.1.130"}},
    CandidateRow{"Slash30OnlyTheOtherHost", "192.168.1.5", "255.255.255.252", {0.0f, 0.0f, 0.0f},
                 None, {"192.168.1.6"}},
    CandidateRow{"Slash32NoHostAddress", "192.168.1.5", "255.255.255.255", {0.0f}, None, {}},
    CandidateRow{"BrokenMaskTakenAsSlash24", "192.168.1.5", "255.0.255.0", {0.0f, 0.5f, 0.999f},
                 None, {"192.168.1.1", "192.168.1.128", "192.168.1.254"}},
    CandidateRow{"EmptyAddress", "", k24, {0.0f}, AddressInvalid, {}},
    CandidateRow{"UnconfiguredAddress", "0.0.0.0", "0.0.0.0", {0.0f}, NotConfigured, {}}));
// clang-format on

struct RoundingRow {
    float u;
    const char* expected;
};

// The hexadecimal draws give exactly 2.5 and 253.5 in single precision.
class CandidateRounding : public ::testing::TestWithParam<RoundingRow> {};

TEST_P(CandidateRounding, GoesHalfToEven) {
    testing::FakeRandom random;
    random.draws = {GetParam().u};
    const CandidateDraw draw =
        DrawCandidates(testing::Network("192.168.0.20", "255.255.255.0"), random, 1);
    EXPECT_EQ(draw.candidates, testing::Addresses({GetParam().expected}));
}

INSTANTIATE_TEST_SUITE_P(Rows, CandidateRounding,
                         ::testing::Values(RoundingRow{0.0f, "192.168.0.1"},
                                           RoundingRow{0x1.848da8p-8f, "192.168.0.2"},
                                           RoundingRow{0.5f, "192.168.0.128"},
                                           RoundingRow{0x1.fefcf6p-1f, "192.168.0.254"},
                                           RoundingRow{0.99999994f, "192.168.0.254"}));

TEST(CandidatesFromTheClock, AreTwentyDistinctHostsOfTheSubnet) {
    ClockSeededRandom random;
    const CandidateDraw draw =
        DrawCandidates(testing::Network("192.168.7.20", "255.255.255.0"), random);
    ASSERT_EQ(draw.candidates.size(), kCandidateCount);
    EXPECT_EQ(std::set(draw.candidates.begin(), draw.candidates.end()).size(), kCandidateCount);
    for (const Ipv4Address candidate : draw.candidates) {
        EXPECT_EQ(candidate.toHostOrder() >> 8, 0xc0a807U) << candidate.text().toStdString();
        EXPECT_NE(candidate.text(), "192.168.7.20");
    }
}

} // namespace
} // namespace tarvex
