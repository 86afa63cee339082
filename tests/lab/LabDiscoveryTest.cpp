// The discovery and configuration exchanges between the PC and simulated appliances.
#include "LabSupport.h"
#include "appliance/DeviceProtocol.h"
#include "net/BroadcastSender.h"
#include "probe/ProbingImpossible.h"
#include "run/RunMessages.h"
#include "support/Addresses.h"

#include <QThread>
#include <algorithm>
#include <netinet/in.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

std::vector<std::optional<DeviceRecord>> cutAll(const std::vector<lab::Arrival>& arrivals) {
    std::vector<std::optional<DeviceRecord>> records;
    for (const lab::Arrival& arrival : arrivals) {
        records.push_back(CutDiscoveryReply(arrival.bytes).record);
    }
    return records;
}

std::vector<lab::Arrival> discover(std::size_t expected) {
    lab::ReplyListener listener;
    EXPECT_TRUE(listener.isOpen());
    // The real destination: 255.255.255.255, port 12311.
    EXPECT_EQ(BroadcastSender().Broadcast(DiscoveryRequest(), {}), std::nullopt);
    return listener.receive(expected, 2000ms);
}

TEST(LabDiscovery, BroadcastReachesAppliancesOnBothSubnetsAndTheirRepliesComeBack) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SimulatorProcess near(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    const lab::SimulatorProcess far("ap2",
                                    {"--appliance", "id=FAR00000000000002,ip=10.77.2.40,host=FAR"});
    ASSERT_TRUE(near.ready() && far.ready());

    const std::vector<lab::Arrival> arrivals = discover(2);
    ASSERT_EQ(arrivals.size(), 2U);
    std::vector<QByteArray> hosts;
    for (const auto& record : cutAll(arrivals)) {
        ASSERT_TRUE(record);
        hosts.push_back(record->HostName + "@" + record->IpAddress);
    }
    std::sort(hosts.begin(), hosts.end());
    EXPECT_EQ(hosts, (std::vector<QByteArray>{"FAR@10.77.2.40", "NEAR@10.77.1.30"}));
    for (const auto* simulator : {&near, &far}) {
        EXPECT_TRUE(simulator->log().contains("received 10.77.1.10:")); // from the PC's own address
        EXPECT_TRUE(simulator->log().contains("5 bytes: 30 43 30 31 53 |0C01S|"));
    }
}

TEST(LabDiscovery, DuplicatesMalformedRepliesDelaysAndFloodsAreEachHandled) {
    TARVEX_REQUIRE_LAB("pc");
    const lab::SimulatorProcess appliances(
        "ap1", {"--duplicates", "2", "--flood", "20",                          //
                "--appliance", "id=GOOD0000000000001,ip=10.77.1.30,host=GOOD", //
                "--appliance", "id=NOGW0000000000002,leave-out=GATEWAY",       //
                "--appliance", "id=SLOW0000000000003,host=SLOW,delay=300",     //
                "--appliance", "reply=0C01Rshort",                             //
                "--appliance", "id=NOHD0000000000005,host=NOHD,model=,capacity=99"});
    ASSERT_TRUE(appliances.ready());

    const std::vector<lab::Arrival> arrivals = discover(5 * 2 + 20);
    ASSERT_EQ(arrivals.size(), 30U);
    int cut = 0;
    int refused = 0;
    int flood = 0;
    for (const lab::Arrival& arrival : arrivals) {
        const std::optional<DeviceRecord> record = CutDiscoveryReply(arrival.bytes).record;
        if (!record) {
            ++refused;
            continue;
        }
        ++cut;
        flood += record->DeviceId.startsWith("FL") ? 1 : 0;
        if (record->HostName == "SLOW") {
            EXPECT_GE(arrival.after, 300ms);
        }
        if (record->HostName == "NOHD") {
            EXPECT_EQ(record->DiskModel, kNoDiskModel);
            EXPECT_EQ(record->DiskCapacity, 0);
        }
    }
    EXPECT_EQ(cut, 2 + 2 + 2 + 20);
    EXPECT_EQ(refused, 2 + 2);
    EXPECT_EQ(flood, 20);
}

std::vector<lab::Arrival> discoverFrom(const QString& source, std::size_t expected,
                                       std::chrono::milliseconds window = 2000ms) {
    lab::ReplyListener listener;
    EXPECT_TRUE(listener.isOpen());
    EXPECT_EQ(BroadcastSender().Broadcast(DiscoveryRequest(), testing::Address(source)),
              std::nullopt);
    return listener.receive(expected, window);
}

TEST(LabDiscoveryWithoutGateway, BoundToTheAdapterTheRequestGoesOutAndTheReplyComesBack) {
    TARVEX_REQUIRE_LAB("pcng");
    const lab::SimulatorProcess near(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    ASSERT_TRUE(near.ready());
    {
        // Unbound, the system has no route for the limited broadcast.
        const auto failure = BroadcastSender().Broadcast(DiscoveryRequest(), {});
        ASSERT_TRUE(failure);
        EXPECT_EQ(BroadcastFailureMessage(*failure).text,
                  "Cannot Send Request.\r\n 10051Network is unreachable.");
    }
    const std::vector<lab::Arrival> arrivals = discoverFrom("10.77.1.11", 1);
    ASSERT_EQ(arrivals.size(), 1U);
    EXPECT_EQ(CutDiscoveryReply(arrivals[0].bytes).record->HostName, "NEAR");
    EXPECT_TRUE(near.log().contains("received 10.77.1.11:"));
}

TEST(LabDiscoveryWithoutGateway, ReplyFromAForeignSubnetIsDroppedByTheReversePathFilter) {
    TARVEX_REQUIRE_LAB("pcng");
    const lab::SimulatorProcess far("ap2",
                                    {"--appliance", "id=FAR00000000000002,ip=10.77.2.40,host=FAR"});
    ASSERT_TRUE(far.ready());
    // The appliance hears the request and answers, but the PC has no route back to it.
    EXPECT_TRUE(discoverFrom("10.77.1.11", 1, 700ms).empty());
    EXPECT_TRUE(far.log().contains("received 10.77.1.11:"));
    // The manual's fix: no filtering on the adapter (the kernel takes the stricter of the two).
    const lab::SysctlSetting all("net/ipv4/conf/all/rp_filter", "0");
    const lab::SysctlSetting adapter("net/ipv4/conf/eth0/rp_filter", "0");
    EXPECT_EQ(discoverFrom("10.77.1.11", 1).size(), 1U);
}

TEST(LabDiscoveryTwoAdapters, RequestLeavesOnlyByTheAdapterItIsBoundTo) {
    TARVEX_REQUIRE_LAB("pc2");
    const lab::SimulatorProcess near(
        "ap1", {"--appliance", "id=NEAR0000000000001,ip=10.77.1.30,host=NEAR"});
    ASSERT_TRUE(near.ready());
    lab::PacketCounter onOther("eth1", {true, IPPROTO_UDP, kRequestPort});
    lab::PacketCounter onAdapter("eth0", {true, IPPROTO_UDP, kRequestPort});
    ASSERT_TRUE(onOther.isOpen() && onAdapter.isOpen());
    EXPECT_EQ(discoverFrom("10.77.1.12", 1).size(), 1U);
    EXPECT_EQ(onAdapter.take(100ms), 1);
    EXPECT_EQ(onOther.take(0ms), 0);
    EXPECT_TRUE(near.log().contains("received 10.77.1.12:"));
    // Bound to the other adapter's address, it leaves by that one alone.
    EXPECT_TRUE(discoverFrom("10.77.4.12", 1, 300ms).empty());
    EXPECT_EQ(onOther.take(100ms), 1);
    EXPECT_EQ(onAdapter.take(0ms), 0);
}

class LabConfigure : public ::testing::Test {
protected:
    void SetUp() override {
        TARVEX_REQUIRE_LAB("pc");
        // The appliance may have been moved by an earlier run: put it back on its own subnet.
        ASSERT_TRUE(lab::PutForeignApplianceBack());
    }

    // Broadcasts the request and waits for the first configuration reply.
    static std::optional<QByteArray> configure(const QByteArray& request,
                                               std::chrono::milliseconds wait = 2000ms) {
        lab::ReplyListener listener;
        EXPECT_EQ(BroadcastSender().Broadcast(request, {}), std::nullopt);
        const std::vector<lab::Arrival> arrivals = listener.receive(1, wait);
        if (arrivals.empty()) {
            return std::nullopt;
        }
        return arrivals.front().bytes;
    }

    static DeviceRecord recordOf(const char* id) {
        DeviceRecord record;
        record.DeviceId = id;
        record.HostName = "NAS";
        record.Workgroup = "HOME";
        record.FullHostName = "NAS.HOME.LAN";
        return record;
    }
};

TEST_F(LabConfigure, AnswersPerBehaviourAndMovesTheApplianceOntoThePcSubnet) {
    const lab::SimulatorProcess appliances(
        "ap3", {"--interface", "eth0",                                                      //
                "--appliance", "id=MOVE0000000000001,ip=10.77.2.50,password=secret,move=1", //
                "--appliance", "id=MUTE0000000000002,config=silent",                        //
                "--appliance", "id=ODD00000000000003,config=status:7",                      //
                "--appliance",
                "id=ZH000000000000004,user=%E7%AE%A1%E7%90%86%E5%93%A1,password=%E5%AF%86"});
    ASSERT_TRUE(appliances.ready());
    const auto fields = [](const char* address, Credentials credentials) {
        return ConfigureFields{testing::Address(address), testing::Address("255.255.255.0"),
                               testing::Address("10.77.1.1"), std::move(credentials)};
    };
    const ConfigureFields wrong = fields("10.77.1.60", {"admin", "wrong"});
    const ConfigureFields right = fields("10.77.1.60", {"admin", "secret"});

    EXPECT_FALSE(lab::Reach("10.77.2.50").reachable()); // a foreign subnet

    const auto refused = configure(ConfigureRequest(recordOf("MOVE0000000000001"), wrong));
    ASSERT_TRUE(refused);
    EXPECT_EQ(ReadConfigureStatus(*refused), ConfigureStatus::Refused);

    EXPECT_FALSE(configure(ConfigureRequest(recordOf("MUTE0000000000002"), right), 800ms));
    EXPECT_FALSE(configure(ConfigureRequest(recordOf("NOBODY00000000009"), right), 500ms));

    const auto odd = configure(ConfigureRequest(recordOf("ODD00000000000003"), right));
    ASSERT_TRUE(odd);
    EXPECT_EQ(ReadConfigureStatus(*odd), ConfigureStatus::Other);

    const ConfigureFields chinese =
        fields("10.77.1.61", {QString::fromUtf8("管理員"), QString::fromUtf8("密")});
    const auto whole = configure(ConfigureRequest(recordOf("ZH000000000000004"), chinese));
    ASSERT_TRUE(whole);
    EXPECT_EQ(ReadConfigureStatus(*whole), ConfigureStatus::Applied);

    const auto applied = configure(ConfigureRequest(recordOf("MOVE0000000000001"), right));
    ASSERT_TRUE(applied);
    EXPECT_EQ(ReadConfigureStatus(*applied), ConfigureStatus::Applied);
    EXPECT_EQ(applied->mid(5, 17), "MOVE0000000000001");
    bool reached = false;
    for (int attempt = 0; attempt < 3 && !reached; ++attempt) {
        reached = lab::Reach("10.77.1.60").reachable();
    }
    EXPECT_TRUE(reached);
    EXPECT_TRUE(appliances.log().contains(
        "|0C02SMOVE000000000000110.77.1.60;255.255.255.0;10.77.1.1;NAS;HOME;NAS.HOME.LAN;admin;"
        "secret|"));
}

} // namespace
} // namespace tarvex
