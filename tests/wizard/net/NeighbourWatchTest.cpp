#include "net/NetlinkNeighbourWatch.h"
#include "run/FreeCandidateChoice.h"

#include <cstring>
#include <gtest/gtest.h>
#include <linux/neighbour.h>
#include <linux/rtnetlink.h>
#include <map>
#include <sys/socket.h>
#include <vector>

namespace tarvex {
namespace {

using Verdict = FreeCandidateChoice::Verdict;

struct Event {
    const char* address;
    NeighbourState state;
    bool snapshot = false;
    int sinceStartMs = 3000; // when a failure of the echoes' own resolution comes
};

struct ChoiceRow {
    const char* name;
    QList<EchoStatus> echoes; // empty: the batch has not answered yet
    std::vector<Event> events;
    bool timeUp;
    FreeCandidateChoice::Answer expected;
};

void PrintTo(const ChoiceRow& row, std::ostream* os) {
    *os << row.name;
}

class Choice : public ::testing::TestWithParam<ChoiceRow> {};

// Candidates 10.0.0.1 and 10.0.0.2, in that order; a failure counts from 3 s on.
TEST_P(Choice, TakesOnlyAFailedResolutionAfterAnUnansweredEcho) {
    FreeCandidateChoice choice({Ipv4Address(0x0a000001U), Ipv4Address(0x0a000002U)},
                               std::chrono::milliseconds(3000));
    QList<ProbeOutcome> outcomes;
    for (const EchoStatus status : GetParam().echoes) {
        outcomes.append({status, 0});
    }
    if (!outcomes.isEmpty()) {
        choice.echoesDone(outcomes);
    }
    for (const Event& event : GetParam().events) {
        choice.neighbourChanged({*Ipv4Address::parse(QString::fromLatin1(event.address)),
                                 event.state, event.snapshot,
                                 std::chrono::milliseconds(event.sinceStartMs)});
    }
    if (GetParam().timeUp) {
        choice.timeUp();
    }
    EXPECT_EQ(choice.answer(), GetParam().expected);
}

constexpr EchoStatus kNoReply = EchoStatus::NoReply;
constexpr NeighbourState kFailed = NeighbourState::Failed;
constexpr NeighbourState kKnown = NeighbourState::Known;
const FreeCandidateChoice::Answer kWaiting{Verdict::Waiting, {}};
const FreeCandidateChoice::Answer kNoneFree{Verdict::NoneFree, {}};
const FreeCandidateChoice::Answer kSecondFree{Verdict::Free, Ipv4Address(0x0a000002),
                                              std::chrono::milliseconds(3000)};

INSTANTIATE_TEST_SUITE_P(
    Rows, Choice,
    ::testing::Values(
        ChoiceRow{"EchoReplyInUse",
                  {EchoStatus::Reply, kNoReply},
                  {{"10.0.0.2", kFailed}},
                  false,
                  kSecondFree},
        ChoiceRow{"LateResolutionAnswerInUse",
                  {kNoReply, kNoReply},
                  {{"10.0.0.2", kFailed}, {"10.0.0.1", kKnown}},
                  false,
                  kSecondFree},
        ChoiceRow{"WaitsForAnEarlierUndecided",
                  {kNoReply, kNoReply},
                  {{"10.0.0.2", kFailed}},
                  false,
                  kWaiting},
        ChoiceRow{"FailureBeforeTheEchoOutcomeWaits", {}, {{"10.0.0.1", kFailed}}, false, kWaiting},
        ChoiceRow{"OldFailureInTheTableCountsNot",
                  {kNoReply},
                  {{"10.0.0.1", kFailed, true}},
                  false,
                  kWaiting},
        // A resolution begun before the search, or one shorter than a slow host's answer.
        ChoiceRow{"EarlyFailureCountsNot",
                  {kNoReply, kNoReply},
                  {{"10.0.0.1", kFailed, false, 133}, {"10.0.0.2", kFailed, false, 35}},
                  true,
                  kNoneFree},
        ChoiceRow{"FailureATickEarlyCounts",
                  {EchoStatus::Reply, kNoReply},
                  {{"10.0.0.2", kFailed, false, 2990}},
                  false,
                  {Verdict::Free, Ipv4Address(0x0a000002), std::chrono::milliseconds(2990)}},
        ChoiceRow{"NewResolutionClearsAFailure",
                  {kNoReply},
                  {{"10.0.0.1", kFailed}, {"10.0.0.1", NeighbourState::Resolving}},
                  false,
                  kWaiting},
        ChoiceRow{"AnswerStaysAfterAFailure",
                  {kNoReply, EchoStatus::Reply},
                  {{"10.0.0.1", kKnown, true}, {"10.0.0.1", kFailed}},
                  false,
                  kNoneFree},
        ChoiceRow{"NotSentOrNotAcceptedNeverFree",
                  {EchoStatus::NotSent, EchoStatus::NotAccepted},
                  {{"10.0.0.1", kFailed}, {"10.0.0.2", kFailed}},
                  false,
                  kNoneFree},
        ChoiceRow{
            "TimeUpUndecidedInUse", {kNoReply, kNoReply}, {{"10.0.0.9", kFailed}}, true, kNoneFree},
        ChoiceRow{"TimeUpPassesOverTheUndecided",
                  {kNoReply, kNoReply},
                  {{"10.0.0.2", kFailed}},
                  true,
                  kSecondFree}),
    [](const auto& info) { return std::string(info.param.name); });

// One rtnetlink neighbour message as the kernel writes it, changed 42 ticks before.
void AppendNeighbour(std::vector<char>& bytes, quint16 type, quint8 family, int interfaceIndex,
                     quint16 state, const char* destination, quint32 sequence = 0,
                     quint16 flags = 0) {
    const quint32 length =
        NLMSG_LENGTH(sizeof(ndmsg)) + RTA_LENGTH(4) + RTA_LENGTH(sizeof(nda_cacheinfo));
    std::vector<char> message(NLMSG_ALIGN(length));
    const nlmsghdr header{length, type, flags, sequence, 0};
    std::memcpy(message.data(), &header, sizeof header);
    ndmsg entry{};
    entry.ndm_family = family;
    entry.ndm_ifindex = interfaceIndex;
    entry.ndm_state = state;
    std::memcpy(message.data() + NLMSG_HDRLEN, &entry, sizeof entry);
    const rtattr attribute{RTA_LENGTH(4), NDA_DST};
    std::memcpy(message.data() + NLMSG_LENGTH(sizeof(ndmsg)), &attribute, sizeof attribute);
    const quint32 address = Ipv4Address::parse(QString::fromLatin1(destination))->toNetworkOrder();
    std::memcpy(message.data() + NLMSG_LENGTH(sizeof(ndmsg)) + RTA_LENGTH(0), &address, 4);
    char* cache = message.data() + NLMSG_LENGTH(sizeof(ndmsg)) + RTA_LENGTH(4);
    const rtattr cacheAttribute{RTA_LENGTH(sizeof(nda_cacheinfo)), NDA_CACHEINFO};
    const nda_cacheinfo info{0, 0, 42, 1};
    std::memcpy(cache, &cacheAttribute, sizeof cacheAttribute);
    std::memcpy(cache + RTA_LENGTH(0), &info, sizeof info);
    bytes.insert(bytes.end(), message.begin(), message.end());
}

TEST(NeighbourMessages, KeepIpv4OfTheInterfaceAndMarkTheDump) {
    std::vector<char> bytes;
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET, 2, NUD_REACHABLE, "10.0.0.5");
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET, 3, NUD_FAILED, "10.0.0.6"); // other interface
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET6, 2, NUD_FAILED, "10.0.0.7");
    AppendNeighbour(bytes, RTM_DELNEIGH, AF_INET, 2, NUD_FAILED, "10.0.0.8");
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET, 2, NUD_FAILED, "10.0.0.9", 7, NLM_F_MULTI);
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET, 2, NUD_INCOMPLETE, "10.0.0.10", 7);
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET, 2, NUD_NOARP, "10.0.0.11");
    AppendNeighbour(bytes, RTM_NEWNEIGH, AF_INET, 2, NUD_FAILED, "10.0.0.12");
    bytes.resize(bytes.size() - 3); // the last message cut short
    const QList<NeighbourMessage> messages =
        ReadNeighbourMessages(QByteArrayView(bytes.data(), qsizetype(bytes.size())), 2, 7);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0].event.address.text(), "10.0.0.5");
    EXPECT_EQ(messages[0].event.state, NeighbourState::Known);
    EXPECT_FALSE(messages[0].event.snapshot);
    EXPECT_EQ(messages[0].ticksSinceUpdate, 42U);
    EXPECT_EQ(messages[1].event.address.text(), "10.0.0.9");
    EXPECT_EQ(messages[1].event.state, NeighbourState::Failed);
    EXPECT_TRUE(messages[1].event.snapshot);
    EXPECT_EQ(messages[2].event.state, NeighbourState::Resolving);
    EXPECT_FALSE(messages[2].event.snapshot); // a notification carries no NLM_F_MULTI
    EXPECT_EQ(messages[2].sequence, 7U);
    EXPECT_EQ(messages[3].event.state, NeighbourState::Known);
}

TEST(KernelResolution, IsClampedAndAFailureCountsThreeSecondsAfterTheFirstBroadcast) {
    const struct {
        std::map<QString, QByteArray> files; // by name in the interface's directory
        qint64 resolutionMs;
        qint64 failureCountsAfterMs; // 3 s from the first broadcast request on
        bool asksTheNetwork;
        qint64 waitMs = failureCountsAfterMs;
    } rows[] = {
        {{}, 3000, 3000, true},
        // (mcast_solicit + app_solicit) * retrans_time_ms; ucast_solicit cancels out.
        {{{"mcast_solicit", "4\n"},
          {"app_solicit", "1"},
          {"ucast_solicit", "9"},
          {"retrans_time_ms", "250\n"}},
         1250,
         3250,
         true},
        {{{"mcast_solicit", "1"}, {"app_solicit", "29"}, {"retrans_time_ms", "100"}},
         3000,
         5900,
         true},
        {{{"mcast_solicit", "0"}}, 0, 3000, false},
        {{{"retrans_time_ms", "1"}}, 30, 3000, true}, // the kernel's tick at the least
        {{{"mcast_solicit", "2147483647"}, {"retrans_time_ms", "9223372036854775807"}},
         10000,
         10000,
         true},
        {{{"app_solicit", "2147483647"}, {"retrans_time_ms", "9223372036854775807"}},
         10000,
         1000LL * 3600 * 1000 + 3000,
         true,
         10000},
    };
    for (const auto& row : rows) {
        const ResolutionSettings settings = ReadResolutionSettings(
            [&row](const QString& path) -> std::optional<QByteArray> {
                const auto found = row.files.find(path.section(QLatin1Char('/'), -1));
                return found == row.files.end() ? std::nullopt : std::optional(found->second);
            },
            "/eth0");
        EXPECT_EQ(settings.resolutionTime().count(), row.resolutionMs) << row.resolutionMs;
        EXPECT_EQ(settings.failureCountsAfter().count(), row.failureCountsAfterMs);
        EXPECT_EQ(settings.waitTime().count(), row.waitMs);
        EXPECT_EQ(settings.asksTheNetwork(), row.asksTheNetwork);
    }
}

} // namespace
} // namespace tarvex
