// The setup run's way for an appliance that is not reachable: the address search, the
// credentials and the configuration exchange.
#include "SetupRunFixture.h"
#include "texts/AddedTexts.h"

#include <QLoggingCategory>

namespace tarvex {
namespace {

// What the log gets of a whole configured run, with every category on.
QStringList LoggedDuring(const std::function<void()>& work) {
    static QStringList* logged = nullptr;
    QStringList lines;
    logged = &lines;
    QLoggingCategory::setFilterRules(QStringLiteral("tarvex.*.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { logged->append(text); });
    work();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QStringLiteral("tarvex.*.debug=false"));
    logged = nullptr;
    return lines;
}

TEST_F(ConfigurationTest, TheLogTellsTheExchangeButNeverTheCredentials) {
    const QStringList lines = LoggedDuring([this] {
        toConfiguring();
        dialogs.setNextAnswer(MessageAnswer::Ok);
        dialogs.setNextAnswer(MessageAnswer::Cancel);
        answerAsTheAppliance("0C02RAP0000000000000012");
        EXPECT_TRUE(timers.fire(RunTimer::DiscoveryWindow)); // the appliance kept silent
    });
    const QString all = lines.join('\n');
    EXPECT_TRUE(all.contains("configuration request")) << all.toStdString();
    EXPECT_TRUE(all.contains("configured")) << all.toStdString();
    EXPECT_TRUE(all.contains("unconfirmed")) << all.toStdString();
    EXPECT_FALSE(all.contains("secret")) << all.toStdString();
    EXPECT_FALSE(all.contains("admin")) << all.toStdString();
}

TEST_F(ConfigurationTest, TheFirstTrulyFreeCandidateIsConfiguredAndGetsTheShortcuts) {
    toConfiguring();
    const QStringList candidates = fake.prober.started.mid(1, kCandidateCount);
    EXPECT_EQ(fake.prober.started.mid(1 + kCandidateCount), QStringList{"192.168.0.43"});
    EXPECT_EQ(candidates.mid(0, 3), (QStringList{"192.168.0.41", "192.168.0.42", "192.168.0.43"}));
    EXPECT_EQ(run.newAddress(), Address("192.168.0.43"));
    EXPECT_TRUE(logHas(T(741) + "192.168.0.43"));
    EXPECT_EQ(modals.credentialsShown, 1);
    EXPECT_EQ(timers.running.at(RunTimer::ConfigurationTimeout), std::chrono::milliseconds(30000));
    EXPECT_TRUE(fake.listener.isOpen());
    ASSERT_EQ(fake.broadcaster.sent.size(), 2);
    EXPECT_EQ(fake.broadcaster.sent[1].first,
              "0C02SAP000000000000001192.168.0.43;255.255.255.0;192.168.0.1;NAS;HOME;"
              "NAS.HOME.LAN;admin;secret");
    EXPECT_EQ(fake.broadcaster.sent[1].second, "192.168.0.20");
    const qsizetype afterSearch = page.log.size();
    EXPECT_EQ(page.log.mid(page.log.indexOf(T(738))),
              (QStringList{T(738), "pic2 done", T(739), T(741) + "192.168.0.43", T(742)}));

    fake.listener.deliver("0C01R" + QByteArray(40, 'x')); // a discovery reply now changes nothing
    // Any host that heard the request can answer it: another identifier, or none, is no answer,
    // and neither is the chosen one's from a host that is not the appliance.
    fake.listener.deliver("0C02RZZ0000000000000002");
    fake.listener.deliver("0C02RAP00000000000002");
    fake.listener.deliver(ArrivedDatagram{"0C02RAP0000000000000012", 2, Address("192.168.0.66")});
    EXPECT_EQ(page.log.size(), afterSearch);
    EXPECT_EQ(timers.running.count(RunTimer::ConfigurationTimeout), 1U);
    EXPECT_TRUE(fake.listener.isOpen());
    dialogs.setNextAnswer(MessageAnswer::Ok);
    dialogs.setNextAnswer(MessageAnswer::Ok);
    // From the sender of its discovery reply: the appliance before it moves.
    fake.listener.deliver(ArrivedDatagram{"0C02RAP0000000000000012", 2, Address("10.0.0.5")});
    confirmAsTheAppliance();
    EXPECT_EQ(page.log.mid(afterSearch),
              (QStringList{"pic3 done", T(748), "pic4 done", T(749), "buttons on", "buttons off"}));
    EXPECT_EQ(fake.shortcuts.written,
              (QList<std::pair<QString, QString>>{{"192.168.0.43", "NAS"}}));
    EXPECT_EQ(dialogs.shown(),
              (QList<Message>{box(750, true), box(757, true, MessageButtons::OkCancel)}));
    EXPECT_EQ(fake.launcher.opened, QStringList{"192.168.0.43"});
    EXPECT_TRUE(flow.ended);
    EXPECT_EQ(timers.running.count(RunTimer::ConfigurationTimeout), 0U);
}

// A PC with two adapters: a request from each, a row a sender on each adapter, and the chosen
// row's adapter for the address search and the configuration request.
TEST_F(ConfigurationTest, TwoAdaptersAskThroughEachAndTheChosenRowsAdapterConfigures) {
    fake.adapters.list.adapters = {
        {"eth0", 2, Network("192.168.0.20", "255.255.255.0", "192.168.0.1")},
        {"eth1", 3, Network("10.1.4.12", "255.255.255.128", "10.1.4.1")}};
    modals.chosen = 2;
    run.pageLoaded();
    settle();
    ASSERT_TRUE(timers.fire(RunTimer::ScanStart));
    // The discovery request from each adapter at the window's start, after 1 s and after 2 s.
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryRepeat));
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryRepeat));
    const QList<std::pair<QByteArray, QString>> fromEach{{"0C01S", "192.168.0.20"},
                                                         {"0C01S", "10.1.4.12"}};
    EXPECT_EQ(fake.broadcaster.sent, fromEach + fromEach + fromEach);
    const auto by = [this](unsigned index, const char* id, const char* ip, const char* from) {
        fake.listener.deliver(ArrivedDatagram{reply(id, ip, "FAR").bytes, index, Address(from)});
    };
    by(2, "AP000000000000001", "192.168.0.30", "192.168.0.30");
    // The identifier heard on eth0 costs eth1's appliances nothing: a row of its own, never
    // probed, since it does not speak for the address it claims.
    by(3, "AP000000000000001", "192.168.0.30", "192.168.0.31");
    by(3, "AP000000000000002", "10.1.9.50", "10.1.9.50");
    by(3, "AP000000000000003", "10.1.9.51", "10.1.9.50"); // its sender has a row
    by(3, "AP000000000000004", "10.1.9.52", "10.1.9.52");
    by(2, "AP000000000000002", "10.1.9.50", "10.1.9.50"); // a bridged PC hears it twice
    EXPECT_EQ(run.rows().size(), 5);
    EXPECT_EQ(fake.prober.started,
              (QStringList{"192.168.0.30", "10.1.9.50", "10.1.9.52", "10.1.9.50"}));
    EXPECT_EQ(fake.prober.through, (QList<unsigned>{2, 3, 3, 2})); // by the adapter that heard it
    endWindow();
    EXPECT_EQ(modals.adaptersShown, (QList<QStringList>{{"eth0", "eth1", "eth1", "eth1", "eth0"}}));

    // eth0's search began with the list; choosing eth1's row threw it away.
    EXPECT_EQ(fake.neighbours.adapter, Address("10.1.4.12"));
    ASSERT_EQ(fake.prober.batches.size(), 2U);
    fake.prober.batches.pop_front();
    const QStringList candidates = fake.prober.batches.front().addresses;
    ASSERT_EQ(candidates.size(), kCandidateCount);
    for (const QString& candidate : candidates) {
        const int last = candidate.section(u'.', 3).toInt();
        EXPECT_TRUE(candidate.startsWith("10.1.4.") && last >= 1 && last <= 126 && last != 12)
            << candidate.toStdString();
    }
    fake.answerSearch();
    // The configuration request once, from the chosen row's adapter.
    ASSERT_EQ(fake.broadcaster.sent.size(), 7);
    EXPECT_EQ(fake.broadcaster.sent[6].first,
              "0C02SAP000000000000002" + run.newAddress()->text().toLatin1() +
                  ";255.255.255.128;10.1.4.1;FAR;HOME;NAS.HOME.LAN;admin;secret");
    EXPECT_EQ(fake.broadcaster.sent[6].second, "10.1.4.12");
}

// A reported address that is not a strict dotted quad of a unicast host, or not the address
// the reply came from: listed as received, never probed, and choosing it gives the appliance a
// free address; only that one is linked.
struct ForeignAddressRow {
    const char* name;
    const char* ip;
    bool listSaysReachable;
    const char* sender = "192.168.0.30";
};

class ForeignAddress : public ConfigurationTest,
                       public ::testing::WithParamInterface<ForeignAddressRow> {};

TEST_P(ForeignAddress, IsListedNeverProbedAndGetsAFreeAddress) {
    drawThree();
    modals.chosen = 0;
    scan({{reply("AP000000000000001", GetParam().ip).bytes, 2, Address(GetParam().sender)}});
    EXPECT_TRUE(fake.prober.started.isEmpty());
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    EXPECT_EQ(run.rows()[0].record.IpAddress, GetParam().ip);
    EXPECT_EQ(modals.listsShown, (QList<QStringList>{{"No"}}));
    fake.answerSearch();
    EXPECT_EQ(run.newAddress(), Address("192.168.0.41"));
    dialogs.setNextAnswer(MessageAnswer::Ok);
    dialogs.setNextAnswer(MessageAnswer::Ok);
    answerAsTheAppliance("0C02RAP0000000000000012");
    confirmAsTheAppliance();
    EXPECT_EQ(fake.shortcuts.written,
              (QList<std::pair<QString, QString>>{{"192.168.0.41", "NAS"}}));
    EXPECT_EQ(fake.launcher.opened, QStringList{"192.168.0.41"});
    // The candidates, and the echo that asked the one found: nothing else.
    EXPECT_EQ(fake.prober.started.size(), kCandidateCount + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ForeignAddress,
    ::testing::Values(ForeignAddressRow{"HostileText", "127.0.0.1 @evil.example/x", false},
                      ForeignAddressRow{"SubnetBroadcast", "192.168.0.255", false},
                      ForeignAddressRow{"ShortForm", "192.168.5", false},
                      ForeignAddressRow{"HostileTextTheListCallsReachable",
                                        "127.0.0.1 @evil.example/x", true},
                      ForeignAddressRow{"ClaimsTheGateway", "192.168.0.1", true},
                      ForeignAddressRow{"ClaimsThePc", "192.168.0.20", false},
                      ForeignAddressRow{"ClaimsAHostElsewhere", "10.0.0.5", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigurationTest, RefusedAndOtherStatusesLeaveThePageWithItsButtons) {
    for (const QByteArray status : {"1", "7", ""}) {
        SCOPED_TRACE(status.constData());
        SecondRun second(*this, fake.adapters.chosen);
        auto& [services, ownFlow, ownTimers, ownRun] = second;
        services.answerSearch();
        services.listener.deliver(
            ArrivedDatagram{"0C02RAP000000000000001" + status, 2, *ownRun.newAddress()});
        EXPECT_EQ(page.log.mid(page.log.size() - 3),
                  (QStringList{"pic3 failed", T(747), "buttons on"}));
        EXPECT_FALSE(services.listener.isOpen());
        EXPECT_TRUE(services.shortcuts.written.isEmpty());
        EXPECT_FALSE(ownFlow.ended);
        ownRun.previousClicked();
        EXPECT_EQ(ownFlow.setupModeShown, 1);
    }
}

// Any host that heard the request can answer "2" in the appliance's name. After it the appliance
// is asked where it is: only its reply from the new address, reporting it, confirms; its reply
// reporting any other address, or a later "1", ends the run unconfirmed with no shortcut. Silence
// through the window is configured as before.
TEST_F(ConfigurationTest, WhatIsHeardAfterTheTwoDecidesWhetherItIsBelieved) {
    using std::chrono::milliseconds;
    // A datagram and its source; "NEW" in either stands for the address given.
    using Heard = std::pair<QByteArray, const char*>;
    const auto discovery = [](const char* id, const QByteArray& ip) {
        return DiscoveryReply(id, ApplianceKeys(ip, "NAS"));
    };
    const QByteArray id = "AP000000000000001";
    struct Row {
        const char* name;
        const char* twoFrom;
        QList<Heard> heard;
        // Believed: the window's timer after them, which then ends it. None: not confirmed.
        std::optional<int> windowLeftMs;
        int clockMs = 0; // how long after the "2" they come
    };
    const std::nullopt_t contradicted = std::nullopt;
    // clang-format off
    const Row rows[] = {
        {"the appliance from its new address", "10.0.0.5", {{discovery(id, "NEW"), "NEW"}}, 500},
        {"the same late in the window", "10.0.0.5", {{discovery(id, "NEW"), "NEW"}}, 200, 2800},
        {"silence", "NEW", {}, 3000},
        {"a taker's 2 from the new address, then the appliance's 1", "NEW",
         {{"0C02R" + id + "1", "10.0.0.5"}}, contradicted},
        {"a forged 2, the appliance still at its old address", "10.0.0.5",
         {{discovery(id, "10.0.0.5"), "10.0.0.5"}}, contradicted},
        {"a taker answering as the appliance, then the appliance", "NEW",
         {{discovery(id, "NEW"), "NEW"}, {discovery(id, "10.0.0.5"), "10.0.0.5"}}, contradicted},
        {"a later status neither 1 nor 2", "NEW", {{"0C02R" + id + "7", "NEW"}}, contradicted},
        {"nothing that counts", "NEW",
         {{discovery(id, "NEW"), "192.168.0.66"}, {discovery(id, "10.0.0.5"), "192.168.0.66"},
          {discovery("AP000000000000002", "10.0.0.5"), "10.0.0.5"},
          {"0C01R" + id + " IP='10.0.0.5'", "10.0.0.5"}, {"0C02R" + id + "1", "192.168.0.66"},
          {"0C02RAP0000000000000021", "10.0.0.5"}, {"0C02R" + id + "2", "10.0.0.5"}},
         3000},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SecondRun second(*this, fake.adapters.chosen);
        auto& [services, ownFlow, ownTimers, ownRun] = second;
        services.answerSearch();
        const QByteArray given = ownRun.newAddress()->text().toLatin1();
        const auto from = [&given](const char* source) {
            return Address(QString::fromLatin1(source).replace("NEW", given));
        };
        services.listener.deliver(ArrivedDatagram{"0C02R" + id + "2", 2, from(row.twoFrom)});
        EXPECT_EQ(ownRun.state(), RunState::Confirming);
        // One discovery request, from the chosen adapter, the listener open meanwhile.
        EXPECT_EQ(services.broadcaster.sent.mid(2),
                  (QList<std::pair<QByteArray, QString>>{{"0C01S", "192.168.0.20"}}));
        EXPECT_TRUE(services.listener.isOpen());
        services.clock += milliseconds(row.clockMs);
        for (const Heard& heard : row.heard) {
            services.listener.deliver(ArrivedDatagram{QByteArray(heard.first).replace("NEW", given),
                                                      2, from(heard.second)});
        }
        if (row.windowLeftMs) {
            ASSERT_EQ(ownTimers.running.count(RunTimer::DiscoveryWindow), 1U);
            EXPECT_EQ(ownTimers.running.at(RunTimer::DiscoveryWindow),
                      milliseconds(*row.windowLeftMs));
            EXPECT_TRUE(ownTimers.fire(RunTimer::DiscoveryWindow));
            EXPECT_TRUE(ownFlow.ended);
        } else {
            const QString told =
                AddedCatalogText(kEnglishTextBase, AddedText::NewAddressNotConfirmed);
            EXPECT_EQ(page.log.mid(page.log.size() - 3),
                      (QStringList{"pic3 failed", told, "buttons on"}));
            EXPECT_EQ(dialogs.shown(), (QList<Message>{{told, std::nullopt, MessageButtons::Ok,
                                                        MessageIcon::None}}));
        }
        EXPECT_FALSE(services.listener.isOpen());
        EXPECT_TRUE(ownTimers.running.empty());
        EXPECT_EQ(services.shortcuts.written.size(), row.windowLeftMs ? 1 : 0);
        EXPECT_EQ(services.shortcuts.written.value(0).first,
                  row.windowLeftMs ? QString::fromLatin1(given) : QString());
    }
}

TEST_F(ConfigurationTest, NoAnswerWithinTheTimeOutEnablesTheButtonsAndALateReplyIsLost) {
    toConfiguring();
    QStringList logAtBox;
    dialogs.onShow = [&](qsizetype) {
        logAtBox = page.log;
    };
    ASSERT_TRUE(timers.fire(RunTimer::ConfigurationTimeout));
    EXPECT_EQ(page.log.mid(page.log.size() - 3),
              (QStringList{T(754), "pic3 failed", "buttons on"}));
    // Told once more in a box, after the status line, with what may keep the replies away.
    Message told = box(754, false);
    told.details = fake.diagnosis;
    EXPECT_EQ(dialogs.shown(), (QList<Message>{told}));
    EXPECT_EQ(logAtBox, page.log);
    EXPECT_FALSE(fake.listener.isOpen());
    answerAsTheAppliance("0C02RAP0000000000000012");
    EXPECT_TRUE(fake.shortcuts.written.isEmpty());
    EXPECT_EQ(fake.broadcaster.sent.size(), 2); // nothing sent twice
    run.exitClicked();
    EXPECT_TRUE(flow.ended);
}

TEST_F(ConfigurationTest, BroadcastsThatFailAreToldAndTheRunGoesOnAsIfSent) {
    const Message failed{"Cannot Send Request.\r\n 10051Network is unreachable.", std::nullopt,
                         MessageButtons::Ok, MessageIcon::None};
    fake.broadcaster.failure = BroadcastFailure{BroadcastFailure::Step::SendRequest, ENETUNREACH};
    toConfiguring();
    EXPECT_EQ(dialogs.shown(), (QList<Message>{failed, failed}));
    EXPECT_EQ(fake.broadcaster.sent.size(), 2);
    EXPECT_EQ(timers.running.at(RunTimer::ConfigurationTimeout), std::chrono::milliseconds(30000));
    EXPECT_TRUE(fake.listener.isOpen());
}

TEST_F(ConfigurationTest, TwentyCandidatesInUseGiveNoFreeAddress) {
    chooseUnreachable();
    QStringList candidates = fake.prober.batches.front().addresses;
    std::map<QString, ProbeOutcome> answers;
    std::set<QString> inUse;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (i % 2 == 0) {
            answers[candidates[i]] = {EchoStatus::Reply, 0};
        } else {
            inUse.insert(candidates[i]); // drops echoes, answers resolution
        }
    }
    fake.answerSearch(answers, inUse);
    EXPECT_EQ(page.log.last(), T(743));
    EXPECT_EQ(dialogs.shown(), (QList<Message>{box(744, false)}));
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_EQ(modals.credentialsShown, 0);
    EXPECT_EQ(fake.broadcaster.sent.size(), 1);
}

TEST_F(ConfigurationTest, EchoesThatCouldNotBeSentOrProbingImpossibleFreeNothing) {
    chooseUnreachable();
    std::map<QString, ProbeOutcome> notSent;
    for (const QString& candidate : fake.prober.batches.front().addresses) {
        notSent[candidate] = {EchoStatus::NotSent, ENOBUFS};
    }
    fake.prober.answerNext(notSent);
    EXPECT_EQ(page.log.last(), T(743));

    SecondRun second(*this, fake.adapters.chosen);
    auto& [services, ownFlow, ownTimers, ownRun] = second;
    services.prober.answerNext(
        {{services.prober.batches.front().addresses[0], {EchoStatus::Impossible, EPERM}}});
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains("ping_group_range"));
    EXPECT_EQ(ownFlow.setupModeShown, 1);
    EXPECT_EQ(services.broadcaster.sent.size(), 1);

    dialogs.clear();
    FakeRunServices unwatchable;
    unwatchable.neighbours.failure = EACCES;
    SetupRun third{kEnglishTextBase, dialogs, page, modals, flow, timers, unwatchable.services};
    third.pageLoaded();
    settle();
    ASSERT_TRUE(timers.fire(RunTimer::ScanStart));
    unwatchable.listener.deliver(reply("AP000000000000001", "10.0.0.5"));
    unwatchable.prober.answerAll();
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains("neighbour table"));
    EXPECT_TRUE(unwatchable.prober.batches.empty()); // no echo went out
    EXPECT_EQ(third.state(), RunState::Stopped);
}

// A host that drops echoes and answers the resolution late holds up the candidates after it;
// at the kernel's time-out whatever is undecided is in use.
TEST_F(ConfigurationTest, TheSearchWaitsForTheResolutionAndItsTimeOutFreesNothing) {
    drawThree();
    chooseUnreachable();
    EXPECT_EQ(fake.neighbours.adapter, Address("192.168.0.20"));
    fake.prober.answerNext();
    fake.neighbours.report("192.168.0.42", NeighbourState::Failed);
    EXPECT_EQ(modals.credentialsShown, 0);
    fake.neighbours.report("192.168.0.41", NeighbourState::Known);
    EXPECT_EQ(run.newAddress(), Address("192.168.0.42"));
    EXPECT_FALSE(fake.neighbours.watching());

    SecondRun second(*this, fake.adapters.chosen);
    second.services.prober.answerNext();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    second.services.neighbours.timeUp();
    EXPECT_EQ(page.log.last(), T(743));
    EXPECT_EQ(second.flow.setupModeShown, 1);
}

// The search begins as the list opens, one an adapter, and its address is ready on Next.
TEST_F(ConfigurationTest, TheSearchRunsWhileTheListIsReadOneAnAdapter) {
    drawThree();
    chooseFirstOnList();
    modals.onList = [this] {
        ASSERT_EQ(fake.prober.batches.size(), 1U);
        fake.answerSearch({}, {"192.168.0.41"});
    };
    scan({reply("AP000000000000001", "10.0.0.5"), reply("AP000000000000002", "10.0.0.6")});
    endWindow();
    // Both rows' probes, the candidates, and the echo that goes on asking the one found.
    EXPECT_EQ(fake.prober.started.size(), 2 + kCandidateCount + 1);
    EXPECT_EQ(page.log.mid(page.log.indexOf(T(738)), 5),
              (QStringList{T(738), "pic2 done", T(739), T(741) + "192.168.0.42", T(742)}));
    EXPECT_EQ(modals.credentialsShown, 1);
}

// The found address is asked from the moment it is found until the request goes out: each
// failed resolution is followed by an echo. Any sign of life, and the adapter is searched again
// and the new address watched the same way, the credentials kept; the request waits only for
// asking that has not yet shown the address silent long and lately enough.
TEST_F(ConfigurationTest, TheFoundAddressIsAskedUntilTheRequestGoesOut) {
    using std::chrono::milliseconds;
    struct Row {
        const char* name;
        // What happens while the credentials page is read, and after Next on it.
        std::function<void(FakeRunServices&, const QString&found)> reading, afterNext;
        bool searchedAgain;
        int echoesForTheFirst; // the echoes that asked the first address found
    };
    // The clock moves on, and the resolution fails when the kernel says, from the watch's start.
    const auto resolutionFails = [](FakeRunServices& services, const QString& found, int moveMs,
                                    int failedMs) {
        services.clock += milliseconds(moveMs);
        services.neighbours.report(found, NeighbourState::Failed, milliseconds(failedMs));
    };
    const auto newestEchoAnswers = [](FakeRunServices& services, EchoStatus status) {
        services.prober.answerAt(services.prober.batches.size() - 1,
                                 {{services.prober.batches.back().addresses.front(), {status, 0}}});
    };
    const auto nothing = [](FakeRunServices&, const QString&) {
    };
    for (const Row& row : {
             Row{"read 4 s, silent all along",
                 [&](FakeRunServices&services, const QString&found) {
                     resolutionFails(services, found, 3000, 3000);
                     services.clock += milliseconds(1000);
                     newestEchoAnswers(services, EchoStatus::NoReply);
                 },
                 nothing, false, 2},
             Row{"an echo answered while the page is read",
                 [&](FakeRunServices&services, const QString&) {
                     newestEchoAnswers(services, EchoStatus::Reply);
                     services.answerSearch();
                 },
                 nothing, true, 1},
             Row{"an address resolution answered late while the page is read",
                 [&](FakeRunServices&services, const QString&found) {
                     services.neighbours.report(found, NeighbourState::Known, milliseconds(700));
                     services.answerSearch();
                 },
                 nothing, true, 1},
             // The echo after the failure went out 1.6 s after the last question: the asking
             // counts anew from then, and the request waits for it.
             Row{"a pause in the asking, then Next",
                 [&](FakeRunServices&services, const QString&found) {
                     resolutionFails(services, found, 3600, 3000);
                 },
                 [&](FakeRunServices&services, const QString&found) {
                     EXPECT_EQ(services.broadcaster.sent.size(), 1);
                     EXPECT_EQ(page.log.last(), "Making sure that " + found + " is still free...");
                     resolutionFails(services, found, 3000, 6600);
                 },
                 false, 3},
             Row{"an answer while Next waits",
                 [&](FakeRunServices&services, const QString&found) {
                     resolutionFails(services, found, 3600, 3000);
                 },
                 [&](FakeRunServices&services, const QString&found) {
                     EXPECT_EQ(services.broadcaster.sent.size(), 1);
                     services.neighbours.report(found, NeighbourState::Known, milliseconds(3700));
                     EXPECT_EQ(page.log.last(), T(739));
                     services.answerSearch();
                 },
                 true, 2},
         }) {
        SCOPED_TRACE(row.name);
        SecondRun second(*this, fake.adapters.chosen);
        auto& [services, ownFlow, ownTimers, ownRun] = second;
        QString first;
        modals.onCredentials = [&] {
            first = ownRun.newAddress()->text();
            EXPECT_EQ(services.neighbours.followersWatching(), 1U);
            row.reading(services, first);
        };
        services.answerSearch();
        ASSERT_EQ(modals.credentialsShown, 1);
        row.afterNext(services, first);
        EXPECT_EQ(services.prober.started.count(first), 1 + row.echoesForTheFirst);
        ASSERT_EQ(services.broadcaster.sent.size(), 2);
        const QString given = ownRun.newAddress()->text();
        EXPECT_EQ(given != first, row.searchedAgain);
        EXPECT_TRUE(services.broadcaster.sent[1].first.contains(given.toLatin1()));
        EXPECT_TRUE(services.broadcaster.sent[1].first.endsWith(";admin;secret"));
        // Nothing more is asked once the request is out.
        EXPECT_EQ(services.neighbours.followersWatching(), 0U);
        const qsizetype asked = services.prober.started.size();
        services.neighbours.report(given, NeighbourState::Failed);
        EXPECT_EQ(services.prober.started.size(), asked);
        EXPECT_EQ(modals.credentialsShown, 1);
        modals.credentialsShown = 0;
        modals.onCredentials = {};
    }
}

TEST_F(ConfigurationTest, AnUnusablePcAddressEndsTheProgram) {
    struct Row {
        const char* address;
        QList<Message> messages;
    };
    const Message invalid{"Your PC's IP address settings are invalid or not available.",
                          std::nullopt, MessageButtons::Ok, MessageIcon::None};
    for (const Row& row : {Row{"", {invalid, box(740, true)}}, Row{"0.0.0.0", {box(740, true)}}}) {
        SCOPED_TRACE(row.address);
        SecondRun second(*this, Network(row.address, ""));
        auto& [services, ownFlow, ownTimers, ownRun] = second;
        EXPECT_EQ(dialogs.shown(), row.messages);
        EXPECT_TRUE(ownFlow.ended);
        EXPECT_TRUE(services.prober.batches.empty());
        EXPECT_EQ(services.broadcaster.sent.size(), 1);
    }
}

TEST_F(ConfigurationTest, AbandonedCredentialsSendNothingAndShowStepThree) {
    drawThree();
    modals.credentials = std::nullopt;
    chooseUnreachable();
    fake.answerSearch();
    EXPECT_EQ(modals.credentialsShown, 1);
    EXPECT_EQ(fake.broadcaster.sent.size(), 1);
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(timers.running.empty());
}

} // namespace
} // namespace tarvex
