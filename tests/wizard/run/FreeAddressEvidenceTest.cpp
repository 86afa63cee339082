// When an address found free may be given away: the asking since the search, weighed.
#include "run/FreeAddressEvidence.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using Kind = FreeAddressEvidence::Verdict::Kind;
using std::chrono::milliseconds;

struct Step {
    enum { Started, Failed, Life } what;
    int atMs;
};

struct EvidenceRow {
    const char* name;
    ResolutionSettings settings;
    int searchFailedAtMs;
    std::vector<Step> steps;
    int nowMs;
    Kind expected;
    std::optional<int> untilMs; // for a wait with an end
};

void PrintTo(const EvidenceRow& row, std::ostream* os) {
    *os << row.name;
}

class Evidence : public ::testing::TestWithParam<EvidenceRow> {};

TEST_P(Evidence, GivesTheAddressOnlyAfterUnbrokenRecentAsking) {
    const EvidenceRow& row = GetParam();
    const FreeAddressEvidence::Clock::time_point zero{};
    FreeAddressEvidence evidence(row.settings, zero + milliseconds(row.searchFailedAtMs));
    for (const Step& step : row.steps) {
        const auto at = zero + milliseconds(step.atMs);
        if (step.what == Step::Started) {
            evidence.resolutionStarted(at);
        } else if (step.what == Step::Failed) {
            evidence.resolutionFailed(at);
        } else {
            evidence.lifeSeen();
        }
    }
    const FreeAddressEvidence::Verdict verdict = evidence.verdict(zero + milliseconds(row.nowMs));
    EXPECT_EQ(verdict.kind, row.expected);
    EXPECT_EQ(verdict.until,
              row.untilMs ? std::optional(zero + milliseconds(*row.untilMs)) : std::nullopt);
}

ResolutionSettings Kernel(qint64 multicast, int retransmitMs) {
    ResolutionSettings settings;
    settings.multicastRequests = multicast;
    settings.retransmit = milliseconds(retransmitMs);
    return settings;
}

const ResolutionSettings kDefault = Kernel(3, 1000);
constexpr auto kStarted = Step::Started;
constexpr auto kFailed = Step::Failed;

// The search's resolution asked from 0 and failed at 3 s, by default.
INSTANTIATE_TEST_SUITE_P(
    Rows, Evidence,
    ::testing::Values(
        EvidenceRow{"AskedAgainAsTheSearchEnds",
                    kDefault,
                    3000,
                    {{kStarted, 3010}},
                    3010,
                    Kind::Free,
                    std::nullopt},
        EvidenceRow{"ReadForFourSecondsAskingAllAlong",
                    kDefault,
                    3000,
                    {{kStarted, 3010}, {kFailed, 6010}, {kStarted, 6015}},
                    7500,
                    Kind::Free,
                    std::nullopt},
        EvidenceRow{
            "NothingAskedSinceTheSearch", kDefault, 3000, {}, 4300, Kind::Wait, std::nullopt},
        // The hand-over to the next resolution came 1.6 s after the last question.
        EvidenceRow{"APauseWaitsForTheNextFailure",
                    kDefault,
                    3000,
                    {{kStarted, 3010}, {kFailed, 6010}, {kStarted, 6600}},
                    6700,
                    Kind::Wait,
                    std::nullopt},
        EvidenceRow{"APauseCountsAnewFromTheResolutionAfterIt",
                    kDefault,
                    3000,
                    {{kStarted, 3010},
                     {kFailed, 6010},
                     {kStarted, 6600},
                     {kFailed, 9600},
                     {kStarted, 9605}},
                    9605,
                    Kind::Free,
                    std::nullopt},
        // One request a resolution: the search's failure covers 1 s of asking, not 3.
        EvidenceRow{"ShortResolutionsWaitForThreeSeconds",
                    Kernel(1, 1000),
                    3000,
                    {{kStarted, 3000}},
                    3000,
                    Kind::Wait,
                    5000},
        EvidenceRow{"ShortResolutionsChainedGiveIt",
                    Kernel(1, 1000),
                    3000,
                    {{kStarted, 3000},
                     {kFailed, 4000},
                     {kStarted, 4000},
                     {kFailed, 5000},
                     {kStarted, 5005}},
                    5005,
                    Kind::Free,
                    std::nullopt},
        // Questions 2 s apart: the last one is too old until the next.
        EvidenceRow{"SlowRetransmitWaitsForTheNextQuestion",
                    Kernel(3, 2000),
                    6000,
                    {{kStarted, 6000}},
                    7500,
                    Kind::Wait,
                    8000},
        EvidenceRow{"ALateAnswerIsLifeForGood",
                    kDefault,
                    3000,
                    {{kStarted, 3010}, {kFailed, 6010}, {Step::Life, 6100}, {kStarted, 6015}},
                    20000,
                    Kind::InUse,
                    std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvex
