// Probes in the lab's PC namespace: hosts at 10.77.1.1, .21 and .22 answer, 10.77.1.200 and up
// are silent, and the gateway answers 10.77.9.0/24 with "unreachable", redirects 10.77.6.0/24
// to a second router and drops 10.78.0.0/16; 10.77.1.23 and .24 answer late.
#include "LabSupport.h"
#include "probe/IcmpProber.h"
#include "probe/ProbingImpossible.h"
#include "support/Addresses.h"
#include "texts/TextCatalog.h"

#include <QThread>
#include <cerrno>
#include <future>
#include <iostream>
#include <netinet/in.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

QStringList silentAddresses(int count) {
    QStringList addresses;
    for (int i = 0; i < count; ++i) {
        addresses << QStringLiteral("10.77.1.%1").arg(200 + i);
    }
    return addresses;
}

struct SocketRow {
    const char* name;
    const char* pingGroupRange;
    ProbeWays kinds;
    const char* redirected; // a destination of its own: the PC learns each redirect once
};

void PrintTo(const SocketRow& row, std::ostream* os) {
    *os << row.name;
}

// The three ways of probing: the unprivileged echo socket, the raw socket it falls back to when
// the group range refuses the first, and the system's ping.
class LabProbeModes : public ::testing::TestWithParam<SocketRow> {
protected:
    void SetUp() override {
        TARVEX_REQUIRE_LAB("pc");
        range_.emplace(GetParam().pingGroupRange);
    }
    [[nodiscard]] QList<ProbeOutcome> probeAll(const QStringList& addresses) const {
        IcmpProber prober(kEchoTimeout, GetParam().kinds);
        return prober.probeAll(testing::Addresses(addresses));
    }
    std::optional<lab::PingGroupRange> range_;
};

TEST_P(LabProbeModes, HostsAnswerAndEachOutcomeKeepsItsPlace) {
    const QList<ProbeOutcome> outcomes = probeAll(
        {"10.77.1.21", "10.77.1.201", "255.255.255.255", "10.77.1.22", "10.77.1.1", "10.77.1.30"});
    const QList<EchoStatus> expected = {EchoStatus::Reply,       EchoStatus::NoReply,
                                        EchoStatus::NotAccepted, EchoStatus::Reply,
                                        EchoStatus::Reply,       EchoStatus::Reply};
    ASSERT_EQ(outcomes.size(), expected.size());
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i].status, expected[i]) << i;
    }
}

TEST_P(LabProbeModes, ElevenSilentAddressesTakeOneTimeOutTogether) {
    const Clock::time_point start = Clock::now();
    const QList<ProbeOutcome> outcomes = probeAll(silentAddresses(11));
    const auto took = since(start);
    std::cout << "11 concurrent probes to silent addresses (" << GetParam().name
              << "): " << took.count() << " ms\n";
    RecordProperty("eleven_silent_ms", static_cast<int>(took.count()));
    ASSERT_EQ(outcomes.size(), 11);
    for (const ProbeOutcome& outcome : outcomes) {
        EXPECT_EQ(outcome.status, EchoStatus::NoReply);
    }
    // A ping process takes some 50 ms to start and end, more on a busy machine.
    EXPECT_LT(took, GetParam().kinds == ProbeWays::SystemPingOnly ? kEchoTimeout + 250ms : 600ms);
}

TEST_P(LabProbeModes, IcmpErrorEndsTheWaitEarly) {
    const Clock::time_point start = Clock::now();
    const QList<ProbeOutcome> outcomes = probeAll({"10.77.9.1"});
    EXPECT_EQ(outcomes.value(0).status, EchoStatus::NoReply);
    EXPECT_EQ(outcomes.value(0).error, 0); // sent, and answered by the gateway's ICMP error
    // ping waits out its deadline all the same.
    EXPECT_LT(since(start),
              GetParam().kinds == ProbeWays::SystemPingOnly ? kEchoTimeout + 150ms : 300ms);
}

TEST_P(LabProbeModes, RedirectFromTheGatewayDoesNotEndTheProbe) {
    lab::PacketCounter redirects("eth0", {false, IPPROTO_ICMP, 5});
    ASSERT_TRUE(redirects.isOpen());
    // iputils ping takes the redirect for the echo's answer and never counts the reply that
    // follows: "no reply", which never makes an address free by itself.
    EXPECT_EQ(probeAll({GetParam().redirected}).value(0).status,
              GetParam().kinds == ProbeWays::SystemPingOnly ? EchoStatus::NoReply
                                                            : EchoStatus::Reply);
    EXPECT_GE(redirects.take(100ms), 1); // the case is real: a redirect did come
}

TEST_P(LabProbeModes, ReplyCountsOnlyWithinTheTimeOut) {
    const lab::SimulatorProcess late(
        "slow", {"--delay", "10.77.1.23=300", "--delay", "10.77.1.24=600"}, TARVEX_ECHO_RESPONDER);
    ASSERT_TRUE(late.ready());
    const QList<ProbeOutcome> outcomes = probeAll({"10.77.1.23", "10.77.1.24"});
    EXPECT_EQ(outcomes.value(0).status, EchoStatus::Reply);
    EXPECT_EQ(outcomes.value(1).status, EchoStatus::NoReply);
}

// A thousand on a socket; through ping, one process an echo, twice as many as run at once, so
// they take two turns.
TEST_P(LabProbeModes, ManyAddressesAreAllSentWithinOneTimeOutATurn) {
    const bool throughPing = GetParam().kinds == ProbeWays::SystemPingOnly;
    const int count = throughPing ? 2 * static_cast<int>(kMostPingsAtOnce) : 1000;
    QStringList addresses;
    for (int i = 0; i < count; ++i) {
        addresses << QStringLiteral("10.78.%1.%2").arg(i / 250).arg(1 + i % 250);
    }
    lab::OutgoingEchoCounter echoes("eth0");
    ASSERT_TRUE(echoes.isOpen());
    const Clock::time_point start = Clock::now();
    const QList<ProbeOutcome> outcomes = probeAll(addresses);
    const auto took = since(start);
    std::cout << count << " probes to dropped addresses (" << GetParam().name
              << "): " << took.count() << " ms\n";
    RecordProperty("many_ms", static_cast<int>(took.count()));
    ASSERT_EQ(outcomes.size(), count);
    EXPECT_EQ(outcomes.count(ProbeOutcome{EchoStatus::NoReply, 0}), count);
    EXPECT_EQ(echoes.take(100ms), count);
    // A ping takes some 50 ms to start and end on top of its deadline.
    EXPECT_LT(took, throughPing ? 2 * (kEchoTimeout + 250ms) : kEchoTimeout + 300ms);
}

TEST_P(LabProbeModes, SubnetBroadcastIsNotSentAndNotSilent) {
    lab::OutgoingEchoCounter echoes("eth0");
    const ProbeOutcome outcome = probeAll({"10.77.1.255"}).value(0);
    // ping refuses a broadcast itself, with no error number to tell.
    EXPECT_EQ(outcome, (ProbeOutcome{EchoStatus::NotSent,
                                     GetParam().kinds == ProbeWays::SystemPingOnly ? 0 : EACCES}));
    EXPECT_FALSE(outcome.reachable());
    EXPECT_EQ(echoes.take(100ms), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sockets, LabProbeModes,
    ::testing::Values(SocketRow{"Datagram", "0 2147483647", ProbeWays::DatagramOnly, "10.77.6.1"},
                      SocketRow{"RawFallback", "1 0", ProbeWays::Any, "10.77.6.2"},
                      SocketRow{"SystemPing", "1 0", ProbeWays::SystemPingOnly, "10.77.6.3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabProbe, AHostAnswersASilentAddressTimesOut) {
    TARVEX_REQUIRE_LAB("pc");
    EXPECT_TRUE(lab::Reach("10.77.1.21").reachable());
    const Clock::time_point start = Clock::now();
    const ProbeOutcome silent = lab::Reach("10.77.1.250");
    EXPECT_EQ(silent.status, EchoStatus::NoReply);
    EXPECT_GE(since(start), 450ms);
    EXPECT_LT(since(start), 600ms);
}

TEST(LabProbe, AddressesNotAcceptedSendNothing) {
    TARVEX_REQUIRE_LAB("pc");
    lab::OutgoingEchoCounter echoes("eth0");
    ASSERT_TRUE(echoes.isOpen());
    EXPECT_EQ(lab::Reach("255.255.255.255").status, EchoStatus::NotAccepted);
    EXPECT_EQ(echoes.take(200ms), 0);
    // The counter does see an echo that is sent.
    EXPECT_TRUE(lab::Reach("10.77.1.22").reachable());
    EXPECT_EQ(echoes.take(200ms), 1);
}

TEST(LabProbe, ProbesOnSeveralThreadsKeepTheirOwnReplies) {
    TARVEX_REQUIRE_LAB("pc");
    const QStringList addresses = {"10.77.1.21", "10.77.1.230", "10.77.1.22", "10.77.1.231",
                                   "10.77.1.1"};
    const Clock::time_point start = Clock::now();
    std::vector<std::future<ProbeOutcome>> running;
    for (const QString& address : addresses) {
        running.push_back(std::async(std::launch::async, [address] {
            IcmpProber prober;
            return prober.probe(testing::Address(address));
        }));
    }
    std::vector<bool> reachable;
    for (auto& probe : running) {
        reachable.push_back(probe.get().reachable());
    }
    EXPECT_EQ(reachable, (std::vector<bool>{true, false, true, false, true}));
    EXPECT_LT(since(start), 600ms);
}

TEST(LabProbe, ImpossibleWhenNoIcmpSocketMayBeOpenedAndNoPingIsThere) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::PingGroupRange nobody("1 0");
    lab::OutgoingEchoCounter echoes("eth0");
    ProbeOutcome outcome;
    ProbeOutcome throughPing;
    {
        const lab::WithoutRawSockets withoutRaw;
        outcome = IcmpProber(kEchoTimeout, ProbeWays::Any, &::sendto, QString())
                      .probe(testing::Address("10.77.1.21"));
        EXPECT_EQ(echoes.take(100ms), 0);
        // The same PC with its ping: the echo goes through it.
        throughPing = lab::Reach("10.77.1.21");
    }
    EXPECT_EQ(outcome.status, EchoStatus::Impossible);
    EXPECT_FALSE(outcome.reachable());
    EXPECT_EQ(outcome.error, EPERM);
    EXPECT_TRUE(
        ProbingImpossibleText(kEnglishTextBase, outcome.error).contains("ping_group_range"));
    EXPECT_TRUE(throughPing.reachable());
    EXPECT_EQ(echoes.take(100ms), 1);
}

} // namespace
} // namespace tarvex
