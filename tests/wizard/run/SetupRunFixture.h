#pragma once

// The setup run driven without a display: the fixture its tests share.
#include "appliance/DeviceProtocol.h"
#include "run/CandidateAddresses.h"
#include "run/SetupRun.h"
#include "support/FakeRunPages.h"
#include "support/FakeRunServices.h"
#include "support/ScriptedDialogs.h"
#include "texts/TextCatalog.h"

#include <gtest/gtest.h>

namespace tarvex {

using namespace testing; // the doubles, not GoogleTest

inline QString T(int englishNumber) {
    return CatalogText(kEnglishTextBase, englishNumber - kEnglishTextBase);
}

inline Message box(int englishNumber, bool warningTitle,
                   MessageButtons buttons = MessageButtons::Ok) {
    return {T(englishNumber), warningTitle ? std::optional<QString>(T(708)) : std::nullopt, buttons,
            MessageIcon::None};
}

// A discovery reply from the address it reports (when that is one).
inline ArrivedDatagram reply(const char* id, const char* ip, const char* host = "NAS") {
    return testing::ApplianceReply(id, ip, host);
}

class SetupRunTest : public ::testing::Test {
public:
    void endAtBox(qsizetype index) {
        dialogs.onShow = [this, index](qsizetype shown) {
            if (shown == index) {
                flow.ended = true;
            }
        };
    }
    void endInList() {
        modals.onList = [this] {
            flow.ended = true;
        };
    }
    // The list's first row is chosen.
    void chooseFirstOnList() { modals.chosen = 0; }
    void endInCredentials() {
        chooseFirstOnList();
        modals.onCredentials = [this] {
            flow.ended = true;
        };
    }

    // Loads the page and runs the scan with these replies inside the window.
    void scan(const QList<ArrivedDatagram>& replies) {
        run.pageLoaded();
        settle();
        ASSERT_TRUE(timers.fire(RunTimer::ScanStart));
        for (const ArrivedDatagram& datagram : replies) {
            fake.listener.deliver(datagram);
        }
    }
    // Ends the window and answers every probe: the listed addresses reply.
    void endWindow(const QStringList& answering = {}) {
        std::map<QString, ProbeOutcome> answers;
        for (const QString& address : answering) {
            answers[address] = {EchoStatus::Reply, 0};
        }
        fake.prober.answerAll(answers);
        ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    }
    // An appliance on a foreign subnet, chosen, and the search started.
    void chooseUnreachable() {
        chooseFirstOnList();
        scan({reply("AP000000000000001", "10.0.0.5")});
        endWindow();
    }
    [[nodiscard]] bool logHas(const QString& line) const { return page.log.contains(line); }
    // A configuration reply as the appliance sends it: from the address it was given.
    void answerAsTheAppliance(const QByteArray& bytes) {
        fake.listener.deliver(ArrivedDatagram{bytes, 2, run.newAddress().value_or(Ipv4Address())});
    }
    // After its "2" the appliance answers from its new address; the window, shortened, ends.
    void confirmAsTheAppliance() {
        const QByteArray at = run.newAddress().value_or(Ipv4Address()).text().toLatin1();
        fake.listener.deliver(reply("AP000000000000001", at.constData()));
        EXPECT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    }

    ScriptedDialogs dialogs;
    RecordingPage page;
    ScriptedModals modals;
    RecordingFlow flow;
    ManualTimers timers;
    FakeRunServices fake;
    SetupRun run{kEnglishTextBase, dialogs, page, modals, flow, timers, fake.services};
};

// A run of its own beside the fixture's, for cases that try several rows: an unreachable
// appliance found and chosen, the address search under way.
struct SecondRun {
    SecondRun(SetupRunTest& test, PcNetwork network)
        : run(kEnglishTextBase, test.dialogs, test.page, test.modals, flow, timers,
              services.services) {
        test.dialogs.clear();
        test.page.log.clear();
        services.adapters.chosen = network;
        test.chooseFirstOnList();
        run.pageLoaded();
        settle();
        EXPECT_TRUE(timers.fire(RunTimer::ScanStart));
        services.listener.deliver(reply("AP000000000000001", "10.0.0.5"));
        services.prober.answerAll();
        EXPECT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    }
    FakeRunServices services;
    RecordingFlow flow;
    ManualTimers timers;
    SetupRun run;
};

// The unreachable appliance: the address search, the credentials and the configuration.
class ConfigurationTest : public SetupRunTest {
protected:
    // Candidates .41, .42, .43 (u chosen so that 253u + 1 rounds to them).
    void drawThree() {
        for (int last : {41, 42, 43}) {
            fake.random.draws.push_back(static_cast<float>(last - 1) / 253.0F);
        }
        fake.random.draws.push_back(0.9F);
    }
    void toConfiguring() {
        drawThree();
        chooseUnreachable();
        ASSERT_EQ(fake.prober.batches.size(), 1U);
        fake.answerSearch({{"192.168.0.41", {EchoStatus::Reply, 0}}}, {"192.168.0.42"});
    }
};

} // namespace tarvex
