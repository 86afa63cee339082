// Probes on this machine go to loopback addresses only; the lab tests probe a real network.
#include "probe/IcmpProber.h"
#include "probe/ProbingImpossible.h"
#include "support/Addresses.h"
#include "texts/TextCatalog.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

struct KindsRow {
    const char* name;
    ProbeWays ways;
    const char* ping = nullptr; // the system's ping when none is given
};

void PrintTo(const KindsRow& row, std::ostream* os) {
    *os << row.name;
}

class LoopbackProbe : public ::testing::TestWithParam<KindsRow> {};

TEST_P(LoopbackProbe, LoopbackAnswersAndEachOutcomeKeepsItsPlace) {
    IcmpProber prober(kEchoTimeout, GetParam().ways, &::sendto,
                      GetParam().ping != nullptr ? QString::fromUtf8(GetParam().ping)
                                                 : SystemPingProgram());
    const auto start = std::chrono::steady_clock::now();
    const QList<ProbeOutcome> outcomes = prober.probeAll(testing::Addresses(
        {"127.0.0.1", "127.0.0.1", "127.0.0.2", "255.255.255.255", "127.0.0.1"}));
    ASSERT_EQ(outcomes.size(), 5);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kEchoTimeout);
    // Every ping has been reaped: no child is left running, nor as a zombie.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    if (GetParam().ping != nullptr) {
        // Nothing to fall back on: nothing was tested, and that is told.
        EXPECT_EQ(outcomes[0], (ProbeOutcome{EchoStatus::Impossible, EPERM}));
        EXPECT_EQ(outcomes[3].status, EchoStatus::NotAccepted);
        return;
    }
    if (outcomes[0].status == EchoStatus::Impossible) {
        GTEST_SKIP() << "this way of probing is not allowed here: errno " << outcomes[0].error;
    }
    EXPECT_EQ(outcomes[0].status, EchoStatus::Reply);
    EXPECT_EQ(outcomes[1].status, EchoStatus::Reply);
    EXPECT_EQ(outcomes[2].status, EchoStatus::Reply);
    EXPECT_EQ(outcomes[3].status, EchoStatus::NotAccepted);
    EXPECT_EQ(outcomes[4].status, EchoStatus::Reply);
}

INSTANTIATE_TEST_SUITE_P(Ways, LoopbackProbe,
                         ::testing::Values(KindsRow{"Any", ProbeWays::Any},
                                           KindsRow{"DatagramOnly", ProbeWays::DatagramOnly},
                                           KindsRow{"RawOnly", ProbeWays::RawOnly},
                                           KindsRow{"SystemPingOnly", ProbeWays::SystemPingOnly},
                                           KindsRow{"NoPingToFallBackOn", ProbeWays::SystemPingOnly,
                                                    "/nonexistent/ping"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Whether a ping started from here holds CAP_NET_RAW: never beyond the bounding set; and what
// keeps it from that, so that the fix offered is the one that helps.
TEST(SystemPingCapability, GainedOnlyWithinTheBoundingSetAndTheBlockNamed) {
    using F = RawCapabilityFacts;
    using B = PingBlock;
    const struct {
        const char* name;
        F facts;
        B block;
    } rows[] = {
        {"RootAnyPing", {.root = true}, B::None},
        {"RootOutsideTheBoundingSet", {.root = true, .bounding = false}, B::BoundingSet},
        {"RootWithNoRootBit", {.root = true, .rootIsSpecial = false}, B::NotPrivileged},
        {"RootNoNewPrivilegesNothingPermitted",
         {.root = true, .noNewPrivileges = true},
         B::NoNewPrivileges},
        {"UserPlainPing", {}, B::NotPrivileged},
        {"UserSetUidRoot", {.fileSetUidRoot = true}, B::None},
        {"UserSetUidRootOutsideTheBoundingSet",
         {.bounding = false, .fileSetUidRoot = true},
         B::BoundingSet},
        {"UserSetUidRootUnderNoNewPrivileges",
         {.noNewPrivileges = true, .fileSetUidRoot = true},
         B::NoNewPrivileges},
        {"UserFileCapability", {.fileHasCapabilities = true, .filePermitted = true}, B::None},
        {"UserFileCapabilityOutsideTheBoundingSet",
         {.bounding = false, .fileHasCapabilities = true, .filePermitted = true},
         B::BoundingSet},
        {"UserFileCapabilityBothRestrictions",
         {.noNewPrivileges = true,
          .bounding = false,
          .fileHasCapabilities = true,
          .filePermitted = true},
         B::BoundingSet},
        {"UserAmbientPlainPing", {.ambient = true}, B::None},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ProgramGainsRawSockets(row.facts), row.block == B::None) << row.name;
        EXPECT_EQ(PingBlockOf(row.facts), row.block) << row.name;
    }
    EXPECT_EQ(SystemPingBlock("/nonexistent/ping"), B::Missing);
}

// A sender that fails the next `failuresLeft` echoes with `failWith`, as a PC whose send buffer
// is full or whose firewall refuses the echo does.
int failWith = 0;
long failuresLeft = 0;

ssize_t failingSend(int fd, const void* data, std::size_t size, int flags, const sockaddr* to,
                    socklen_t toSize) {
    if (failuresLeft > 0) {
        --failuresLeft;
        errno = failWith;
        return -1;
    }
    return ::sendto(fd, data, size, flags, to, toSize);
}

struct SendFailureRow {
    const char* name;
    int error;
    long failures;
    QList<ProbeOutcome> expected; // for 127.0.0.1 and 127.0.0.2
};

void PrintTo(const SendFailureRow& row, std::ostream* os) {
    *os << row.name;
}

class ProbeSendFailures : public ::testing::TestWithParam<SendFailureRow> {};

TEST_P(ProbeSendFailures, EchoThatCannotGoIsNotSentNeverSilent) {
    failWith = GetParam().error;
    failuresLeft = GetParam().failures;
    IcmpProber prober(200ms, ProbeWays::Any, &failingSend);
    const auto start = std::chrono::steady_clock::now();
    const QList<ProbeOutcome> outcomes =
        prober.probeAll(testing::Addresses({"127.0.0.1", "127.0.0.2"}));
    const auto took = std::chrono::steady_clock::now() - start;
    failuresLeft = 0;
    if (outcomes.value(0).status == EchoStatus::Impossible) {
        GTEST_SKIP() << "no ICMP socket is allowed here";
    }
    EXPECT_EQ(outcomes, GetParam().expected);
    for (const ProbeOutcome& outcome : outcomes) {
        EXPECT_EQ(outcome.reachable(), outcome.status == EchoStatus::Reply);
    }
    EXPECT_LT(took, 500ms); // retries end with the time-out
}

const ProbeOutcome kReply{EchoStatus::Reply, 0};

INSTANTIATE_TEST_SUITE_P(
    Failures, ProbeSendFailures,
    ::testing::Values(
        SendFailureRow{"BufferFullForAMoment", EAGAIN, 5, {kReply, kReply}},
        SendFailureRow{"NoBuffersForAMoment", ENOBUFS, 5, {kReply, kReply}},
        SendFailureRow{"BufferNeverFrees",
                       EAGAIN,
                       1L << 40,
                       {{EchoStatus::NotSent, EAGAIN}, {EchoStatus::NotSent, EAGAIN}}},
        SendFailureRow{"FirewallRefusesOne", EPERM, 1, {{EchoStatus::NotSent, EPERM}, kReply}},
        SendFailureRow{
            "SubnetBroadcastRefused", EACCES, 1, {{EchoStatus::NotSent, EACCES}, kReply}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IcmpErrorEndsProbe, OnlyUnreachableTimeExceededAndParameterProblem) {
    const std::vector<std::pair<int, bool>> types = {{3, true},  {11, true}, {12, true},
                                                     {5, false}, {4, false}, {0, false},
                                                     {8, false}, {13, false}};
    for (const auto& [type, ends] : types) {
        EXPECT_EQ(IcmpErrorEndsProbe(type), ends) << type;
    }
}

TEST(ProbingImpossibleText, NamesTheCauseAndTheFixForWhatHoldsPingBackAndNoCapability) {
    const QString text = ProbingImpossibleText(kEnglishTextBase, EACCES, PingBlock::Missing);
    EXPECT_TRUE(text.contains("ICMP echo")) << text.toStdString();
    EXPECT_TRUE(text.contains("10013 Permission Denied.")) << text.toStdString();
    // Each fix names what holds ping back; only a missing ping is to be installed.
    const struct {
        PingBlock block;
        const char* names;
    } fixes[] = {{PingBlock::Missing, "Install the package iputils-ping"},
                 {PingBlock::BoundingSet, "bounding set"},
                 {PingBlock::NoNewPrivileges, "no_new_privs"},
                 {PingBlock::NotPrivileged, "--reinstall iputils-ping"}};
    for (const auto& fix : fixes) {
        const QString told = ProbingImpossibleText(kEnglishTextBase, EPERM, fix.block);
        EXPECT_TRUE(told.contains(fix.names)) << told.toStdString();
        EXPECT_TRUE(told.contains("net.ipv4.ping_group_range")) << told.toStdString();
        EXPECT_EQ(told.contains("Install the package"), fix.block == PingBlock::Missing);
        // A window program with a capability would run any Qt plugin a user points it at.
        for (const int base : {kEnglishTextBase, kChineseTextBase}) {
            EXPECT_FALSE(ProbingImpossibleText(base, EPERM, fix.block).contains("setcap"));
        }
    }
    const Message message = ProbingImpossibleMessage(kEnglishTextBase, EPERM, PingBlock::Missing);
    EXPECT_EQ(message.text, ProbingImpossibleText(kEnglishTextBase, EPERM, PingBlock::Missing));
    EXPECT_FALSE(message.title); // the program's title
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
}

} // namespace
} // namespace tarvex
