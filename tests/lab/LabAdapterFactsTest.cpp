// Adapter facts read for real, each case in the lab namespace its CTest entry runs it in.
#include "LabSupport.h"
#include "net/AdapterReader.h"
#include "net/BroadcastSender.h"
#include "run/RunMessages.h"

namespace tarvex {
namespace {

// What the run reads of the PC: the chosen adapter as the kernel gives it.
PcNetwork Chosen() {
    return ReadPcAdapters().chosen;
}

TEST(LabAdapterFacts, WithGateway) {
    TARVEX_REQUIRE_LAB("pc");
    EXPECT_EQ(Chosen(), testing::Network("10.77.1.10", "255.255.255.0", "10.77.1.1"));
}

TEST(LabAdapterFacts, WithoutGateway) {
    TARVEX_REQUIRE_LAB("pcng");
    EXPECT_EQ(Chosen(), testing::Network("10.77.1.11", "255.255.255.0"));
}

TEST(LabAdapterFacts, NoAdapter) {
    TARVEX_REQUIRE_LAB("bare");
    EXPECT_EQ(Chosen(), PcNetwork{}); // loopback alone is no adapter
    EXPECT_TRUE(ReadPcAdapters().list.adapters.empty());
}

// Each in a namespace of its own, with the interfaces its name says.
TEST(LabAdapterChoice, DownInterfacePassedOver) {
    TARVEX_REQUIRE_LAB("adp1");
    EXPECT_EQ(Chosen(), testing::Network("10.77.8.2", "255.255.255.0"));
}

TEST(LabAdapterChoice, TunnelDefaultRouteLosesToTheLan) {
    TARVEX_REQUIRE_LAB("adp2");
    EXPECT_EQ(Chosen(), testing::Network("10.77.7.2", "255.255.255.0", "10.77.7.1"));
}

TEST(LabAdapterChoice, LowestMetricWins) {
    TARVEX_REQUIRE_LAB("adp3");
    EXPECT_EQ(Chosen(), testing::Network("10.77.8.2", "255.255.255.0", "10.77.8.1"));
}

TEST(LabBroadcast, WithoutAnyNetworkTheSendFailureIsReturned) {
    TARVEX_REQUIRE_LAB("bare");
    const std::optional<BroadcastFailure> failure = BroadcastSender().Broadcast("0C01S", {});
    ASSERT_TRUE(failure);
    Message expected;
    expected.text = "Cannot Send Request.\r\n 10051Network is unreachable.";
    EXPECT_EQ(BroadcastFailureMessage(*failure), expected);
}

} // namespace
} // namespace tarvex
