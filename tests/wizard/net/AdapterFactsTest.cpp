#include "net/AdapterChoice.h"
#include "support/Addresses.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using testing::Address;
using testing::Network;

InterfaceAddress lo() {
    return {"lo", 1, true, Address("127.0.0.1"), Address("255.0.0.0")};
}
InterfaceAddress eth(const char* name, unsigned index, const char* address,
                     const char* mask = "255.255.255.0") {
    return {name, index, false, Address(address), Address(mask)};
}
InterfaceAddress down(InterfaceAddress entry) {
    entry.up = false;
    return entry;
}
InterfaceAddress tunnel(const char* name, unsigned index, const char* address) {
    return {name, index, false, Address(address), Address("255.255.255.255"), true, false, true};
}
DefaultRoute route(const char* name, const char* gateway, unsigned metric) {
    return {name, *gateway != 0 ? std::optional(Address(gateway)) : std::nullopt, metric};
}

struct ChoiceRow {
    const char* name;
    std::vector<InterfaceAddress> addresses;
    std::vector<DefaultRoute> routes;
    PcNetwork expected;
};

void PrintTo(const ChoiceRow& row, std::ostream* os) {
    *os << row.name;
}

class ChooseAdapterRows : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(ChooseAdapterRows, Chooses) {
    EXPECT_EQ(ChooseAdapter(GetParam().addresses, GetParam().routes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, ChooseAdapterRows,
    ::testing::Values(
        ChoiceRow{"DefaultRouteInterface",
                  {lo(), eth("eth0", 2, "10.0.0.5"), eth("eth1", 3, "192.168.0.5")},
                  {route("eth1", "192.168.0.1", 0)},
                  Network("192.168.0.5", "255.255.255.0", "192.168.0.1")},
        ChoiceRow{"LowestMetricRouteWins",
                  {lo(), eth("eth0", 2, "10.0.0.5"), eth("wlan0", 3, "192.168.0.5")},
                  {route("eth0", "10.0.0.1", 600), route("wlan0", "192.168.0.1", 100)},
                  Network("192.168.0.5", "255.255.255.0", "192.168.0.1")},
        ChoiceRow{"NoRouteLowestIndexNotLoopback",
                  {lo(), eth("eth1", 3, "192.168.0.5"), eth("eth0", 2, "10.0.0.5", "255.0.0.0")},
                  {},
                  Network("10.0.0.5", "255.0.0.0", "")},
        ChoiceRow{"FirstAddressOfSeveral",
                  {lo(), eth("eth0", 2, "10.0.0.5"), eth("eth0", 2, "10.0.0.6", "255.255.0.0")},
                  {route("eth0", "10.0.0.1", 0)},
                  Network("10.0.0.5", "255.255.255.0", "10.0.0.1")},
        ChoiceRow{"RouteStraightOntoTheLinkHasNoGateway",
                  {lo(), eth("eth0", 2, "100.64.0.7", "255.255.0.0")},
                  {route("eth0", "", 0)},
                  Network("100.64.0.7", "255.255.0.0", "")},
        ChoiceRow{"DownInterfaceIsPassedOver",
                  {lo(), down(eth("eth0", 2, "10.0.0.5")), eth("eth1", 3, "192.168.0.5")},
                  {},
                  Network("192.168.0.5", "255.255.255.0", "")},
        ChoiceRow{"PointToPointDefaultRouteLosesToTheLan",
                  {lo(), eth("eth0", 2, "192.168.0.5"), tunnel("tun0", 5, "10.8.0.6")},
                  {route("tun0", "", 0), route("eth0", "192.168.0.1", 100)},
                  Network("192.168.0.5", "255.255.255.0", "192.168.0.1")},
        ChoiceRow{"OnlyATunnelIsNoAdapter",
                  {lo(), tunnel("ppp0", 4, "100.64.0.7")},
                  {route("ppp0", "", 0)},
                  {}},
        ChoiceRow{
            "NotBroadcastCapableIsPassedOver",
            {lo(),
             {"sl0", 2, false, Address("10.1.0.5"), Address("255.255.0.0"), true, false, false},
             eth("eth1", 3, "192.168.0.5")},
            {route("sl0", "", 0)},
            Network("192.168.0.5", "255.255.255.0", "")},
        ChoiceRow{"RouteOnInterfaceWithoutAddressFallsBack",
                  {lo(), eth("eth0", 2, "10.0.0.5")},
                  {route("tun0", "10.8.0.1", 0)},
                  Network("10.0.0.5", "255.255.255.0", "")},
        ChoiceRow{"OnlyLoopbackIsNoAdapter", {lo()}, {route("lo", "127.0.0.1", 0)}, {}},
        ChoiceRow{"NothingAtAll", {}, {}, {}},
        ChoiceRow{"LongestAddressTakenWhole",
                  {eth("eth0", 2, "255.255.255.255", "255.255.255.255")},
                  {},
                  Network("255.255.255.255", "255.255.255.255", "")}),
    [](const auto& info) { return std::string(info.param.name); });

struct ListRow {
    const char* name;
    std::vector<InterfaceAddress> addresses;
    std::vector<DefaultRoute> routes;
    AdapterList expected;
};

void PrintTo(const ListRow& row, std::ostream* os) {
    *os << row.name;
}

class ListAdaptersRows : public ::testing::TestWithParam<ListRow> {};

TEST_P(ListAdaptersRows, Lists) {
    EXPECT_EQ(ListAdapters(GetParam().addresses, GetParam().routes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, ListAdaptersRows,
    ::testing::Values(
        ListRow{"EveryLanByIndexEachWithItsOwnGateway",
                {lo(), eth("wlan0", 4, "192.168.0.5"), eth("eth0", 2, "10.0.0.5"),
                 eth("eth0", 2, "10.0.0.6")},
                {route("wlan0", "192.168.0.1", 600), route("eth0", "", 100),
                 route("wlan0", "192.168.0.9", 50)},
                {{{"eth0", 2, Network("10.0.0.5", "255.255.255.0", "")},
                  {"wlan0", 4, Network("192.168.0.5", "255.255.255.0", "192.168.0.9")}},
                 {}}},
        ListRow{
            "TunnelsDownAndLoopbackAreNoAdapters",
            {lo(),
             tunnel("tun0", 5, "10.8.0.6"),
             down(eth("eth1", 3, "10.1.0.5")),
             {"sl0", 6, false, Address("10.2.0.5"), Address("255.255.0.0"), true, false, false}},
            {route("tun0", "", 0)},
            {}},
        ListRow{"ContainerAndVmBridgesAreSkippedAndNamed",
                {lo(), eth("virbr0", 7, "192.168.122.1"), eth("docker0", 3, "172.17.0.1"),
                 eth("br-1a2b3c", 4, "172.18.0.1"), eth("veth9f", 8, "169.254.0.2"),
                 eth("bridge0", 2, "10.0.0.5")},
                {},
                {{{"bridge0", 2, Network("10.0.0.5", "255.255.255.0", "")}},
                 {"docker0", "br-1a2b3c", "virbr0", "veth9f"}}},
        ListRow{"NothingAtAll", {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseDefaultRoutes, KeepsOnlyDefaultRoutesThatCarryTraffic) {
    const QByteArray table =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
        "ppp0\t00000000\t00000000\t0001\t0\t0\t50\t00000000\t0\t0\t0\n"
        "eth1\t00000000\t0100000A\t0003\t0\t0\t10\t00000000\t0\t0\t0\n"
        "*\t00000000\t00000000\t0201\t0\t0\t5\t00000000\t0\t0\t0\n"
        "garbage line\n";
    const std::vector<DefaultRoute> expected = {
        route("eth0", "192.168.1.1", 100), route("ppp0", "", 50), route("eth1", "10.0.0.1", 10)};
    EXPECT_EQ(ParseDefaultRoutes(table), expected);
}

} // namespace
} // namespace tarvex
