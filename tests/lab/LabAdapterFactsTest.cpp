// Adapter facts read for real, each case in the lab namespace its CTest entry runs it in.
#include "LabSupport.h"
#include "net/BroadcastSender.h"
#include "run/AdapterFactsText.h"
#include "run/RunMessages.h"

namespace tarvex {
namespace {

TEST(LabAdapterFacts, WithGateway) {
    TARVEX_REQUIRE_LAB("pc");
    EXPECT_EQ(GetAdapterFacts("+"), "10.77.1.10+255.255.255.0+10.77.1.1");
    WizardGlobals globals;
    LoadAdapterFacts(globals);
    EXPECT_EQ(globals.PcAddress, "10.77.1.10");
    EXPECT_EQ(globals.PcMask, "255.255.255.0");
    EXPECT_EQ(globals.PcGateway, "10.77.1.1");
}

TEST(LabAdapterFacts, WithoutGateway) {
    TARVEX_REQUIRE_LAB("pcng");
    EXPECT_EQ(GetAdapterFacts("+"), "10.77.1.11+255.255.255.0+");
    WizardGlobals globals;
    globals.PcGateway = "stale";
    LoadAdapterFacts(globals);
    EXPECT_EQ(globals.PcAddress, "10.77.1.11");
    EXPECT_EQ(globals.PcMask, "255.255.255.0");
    EXPECT_EQ(globals.PcGateway, "");
}

TEST(LabAdapterFacts, NoAdapter) {
    TARVEX_REQUIRE_LAB("bare");
    EXPECT_EQ(GetAdapterFacts("+"), ""); // loopback alone is no adapter
    WizardGlobals globals;
    globals.PcAddress = "10.0.0.1";
    globals.PcMask = "255.0.0.0";
    globals.PcGateway = "10.0.0.254";
    LoadAdapterFacts(globals);
    EXPECT_EQ(globals.PcAddress, "");
    EXPECT_EQ(globals.PcMask, "");
    EXPECT_EQ(globals.PcGateway, "");
}

// Each in a namespace of its own, with the interfaces its name says.
TEST(LabAdapterChoice, DownInterfacePassedOver) {
    TARVEX_REQUIRE_LAB("adp1");
    EXPECT_EQ(GetAdapterFacts("+"), "10.77.8.2+255.255.255.0+");
}

TEST(LabAdapterChoice, TunnelDefaultRouteLosesToTheLan) {
    TARVEX_REQUIRE_LAB("adp2");
    EXPECT_EQ(GetAdapterFacts("+"), "10.77.7.2+255.255.255.0+10.77.7.1");
}

TEST(LabAdapterChoice, LowestMetricWins) {
    TARVEX_REQUIRE_LAB("adp3");
    EXPECT_EQ(GetAdapterFacts("+"), "10.77.8.2+255.255.255.0+10.77.8.1");
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
