// The setup run's scan, device list and reachable path, driven without a display: every
// outcome, its texts, pictures and messages, and that nothing is sent or written once the run
// is over.
#include "SetupRunFixture.h"

namespace tarvex {
namespace {

TEST_F(SetupRunTest, LoadDisablesTheButtonsAndTheScanBroadcastsFromTheAdapter) {
    run.pageLoaded();
    EXPECT_TRUE(run.rows().isEmpty());
    EXPECT_EQ(page.log, (QStringList{"pic1 busy", "buttons off", T(733)}));
    settle();
    EXPECT_EQ(timers.running.at(RunTimer::ScanStart), std::chrono::milliseconds(100));
    EXPECT_TRUE(fake.broadcaster.sent.isEmpty());

    ASSERT_TRUE(timers.fire(RunTimer::ScanStart));
    EXPECT_TRUE(fake.listener.isOpen());
    ASSERT_EQ(fake.broadcaster.sent.size(), 1);
    EXPECT_EQ(fake.broadcaster.sent[0],
              std::make_pair(QByteArray("0C01S"), QString("192.168.0.20")));
    EXPECT_EQ(timers.running.count(RunTimer::ScanStart), 0U);
    EXPECT_EQ(timers.running.at(RunTimer::DiscoveryWindow), std::chrono::milliseconds(3000));
    // Again after 1 s and 2 s of the window, and no more.
    for (int again = 0; again < 2; ++again) {
        EXPECT_EQ(timers.running.at(RunTimer::DiscoveryRepeat), std::chrono::milliseconds(1000));
        ASSERT_TRUE(timers.fire(RunTimer::DiscoveryRepeat));
    }
    EXPECT_EQ(fake.broadcaster.sent,
              (QList<std::pair<QByteArray, QString>>(3, {"0C01S", "192.168.0.20"})));
    EXPECT_EQ(timers.running.count(RunTimer::DiscoveryRepeat), 0U);
}

TEST_F(SetupRunTest, NoApplianceFoundGoesBackToStepThree) {
    scan({});
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    EXPECT_FALSE(fake.listener.isOpen());
    EXPECT_EQ(page.log.mid(3), (QStringList{T(734), T(735), "pic1 failed"}));
    Message told = box(736, false);
    told.details = fake.diagnosis;
    EXPECT_EQ(dialogs.shown(), (QList<Message>{told}));
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(modals.listsShown.isEmpty());
    EXPECT_EQ(run.state(), RunState::Stopped);
}

TEST_F(SetupRunTest, RepliesFillTheListInArrivalOrderOneASenderAndProbeAtOnce) {
    QList<ArrivedDatagram> replies;
    for (const QByteArray bytes : {"0C01Rshort", "0C02RAP000000000000012", "junk"}) {
        replies.append({bytes, 2, kSomeSender});
    }
    // A flooder's made-up identifiers: its first reply is its one row, the rest are dropped.
    for (int i = 0; i < 11; ++i) {
        replies.append(reply("FL00000000000000" + QByteArray::number(i % 10), "10.0.0.1"));
    }
    for (int i = 1; i < 14; ++i) {
        replies.append(reply("AP00000000000000" + QByteArray::number(i % 10),
                             "10.0.0." + QByteArray::number(i + 1)));
    }
    scan(replies);
    ASSERT_EQ(run.rows().size(), 14);
    EXPECT_EQ(run.rows()[0].record.DeviceId, "FL000000000000000");
    EXPECT_EQ(run.rows()[1].record.IpAddress, "10.0.0.2");
    EXPECT_EQ(run.rows()[13].record.IpAddress, "10.0.0.14");
    // Each row's probe started while the window was still open.
    EXPECT_EQ(fake.prober.started.size(), 14);
    EXPECT_EQ(fake.prober.started.first(), "10.0.0.1");
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    EXPECT_TRUE(modals.listsShown.isEmpty()); // still waiting for the probes
    fake.listener.deliver(reply("LATE0000000000000", "10.0.0.99"));
    fake.prober.answerAll({{"10.0.0.2", {EchoStatus::Reply, 0}},
                           {"10.0.0.3", {EchoStatus::NotSent, 105}},
                           {"10.0.0.4", {EchoStatus::NotAccepted, 0}}});
    ASSERT_EQ(modals.listsShown.size(), 1);
    const QStringList cells = modals.listsShown[0];
    ASSERT_EQ(cells.size(), 14);
    EXPECT_EQ(modals.adaptersShown[0], QStringList{}) << "one adapter: none named";
    EXPECT_EQ(cells.mid(0, 4), (QStringList{"No", "Yes", "No", "No"}));
    EXPECT_EQ(run.rows().size(), 14);
    EXPECT_TRUE(logHas("pic1 done"));
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

// A crowded network: rows beyond the batches that run at once wait, then go out together, so
// that a thousand rows cost a time-out or two, not one each.
TEST_F(SetupRunTest, RowsBeyondTheBatchesAtOnceWaitAndGoOutTogether) {
    QList<ArrivedDatagram> replies;
    for (int i = 1; i <= kRowProbeBatchesAtOnce + 8; ++i) {
        replies.append(reply("AP" + QByteArray::number(i).rightJustified(15, '0'),
                             "10.0.0." + QByteArray::number(i)));
    }
    scan(replies);
    EXPECT_EQ(fake.prober.batches.size(), std::size_t{kRowProbeBatchesAtOnce});
    fake.prober.answerNext();
    ASSERT_EQ(fake.prober.batches.size(), std::size_t{kRowProbeBatchesAtOnce});
    EXPECT_EQ(fake.prober.batches.back().addresses.size(), 8);
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    fake.prober.answerAll({{"10.0.0.40", {EchoStatus::Reply, 0}}});
    ASSERT_EQ(modals.listsShown.size(), 1);
    EXPECT_EQ(modals.listsShown[0].size(), kRowProbeBatchesAtOnce + 8);
    EXPECT_EQ(modals.listsShown[0].first(), "No");
    EXPECT_EQ(modals.listsShown[0].last(), "Yes"); // its probe went out with the waiting ones
}

TEST_F(SetupRunTest, ProbingImpossibleIsToldOnceForTheWholeList) {
    scan({reply("AP000000000000001", "10.0.0.1"), reply("AP000000000000002", "10.0.0.2")});
    fake.prober.answerAll({{"10.0.0.1", {EchoStatus::Impossible, EPERM}},
                           {"10.0.0.2", {EchoStatus::Impossible, EPERM}}});
    ASSERT_TRUE(timers.fire(RunTimer::DiscoveryWindow));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains("ping_group_range"));
    ASSERT_EQ(modals.listsShown.size(), 1);
    EXPECT_EQ(modals.listsShown[0], (QStringList{"No", "No"}));
}

class ReachableOutcome : public SetupRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReachableOutcome, WritesTheShortcutsAsksAndEnds) {
    const bool openIt = GetParam();
    dialogs.setNextAnswer(MessageAnswer::Ok);
    dialogs.setNextAnswer(openIt ? MessageAnswer::Ok : MessageAnswer::Cancel);
    scan({reply("AP000000000000001", "10.0.0.1", "FIRST"),
          reply("AP000000000000002", "192.168.0.30", "NAS")});
    modals.chosen = 1;
    endWindow({"192.168.0.30"});
    EXPECT_EQ(modals.listsShown.value(0), (QStringList{"No", "Yes"}));
    QStringList shown{T(737), "pic2 done", "pic3 done", "pic4 done", T(745), "buttons on"};
    if (openIt) {
        shown.append("buttons off"); // while the shortcuts open
    }
    EXPECT_EQ(page.log.mid(page.log.indexOf("pic1 done") + 1), shown);
    EXPECT_EQ(fake.shortcuts.written,
              (QList<std::pair<QString, QString>>{{"192.168.0.30", "NAS"}}));
    EXPECT_EQ(dialogs.shown(),
              (QList<Message>{box(746, true), box(757, true, MessageButtons::OkCancel)}));
    EXPECT_EQ(fake.launcher.opened, openIt ? QStringList{"192.168.0.30"} : QStringList{});
    EXPECT_TRUE(flow.ended);
    EXPECT_EQ(fake.broadcaster.sent.size(), 1); // never a configuration request
    EXPECT_EQ(modals.credentialsShown, 0);
    // FIRST's search began with the list; the choice stopped it.
    EXPECT_EQ(fake.prober.started.size(), 2 + kCandidateCount);
    EXPECT_FALSE(fake.neighbours.watching());
}

INSTANTIATE_TEST_SUITE_P(ClosingQuestion, ReachableOutcome, ::testing::Bool());

// OK on the closing question: the program waits for the opener's report, tells once what it
// could not open, and ends; an exit meanwhile drops the report.
struct OpenRow {
    const char* name;
    OpenReport report;
    const char* named = nullptr; // what the one message names; none when null
    bool exitWhileWaiting = false;
};

void PrintTo(const OpenRow& row, std::ostream* os) {
    *os << row.name;
}

class OpeningTheShortcuts : public SetupRunTest, public ::testing::WithParamInterface<OpenRow> {};

TEST_P(OpeningTheShortcuts, TellsOnceWhatIsMissingThenEnds) {
    const OpenRow& row = GetParam();
    chooseFirstOnList();
    fake.launcher.hold = true;
    fake.launcher.report = row.report;
    scan({reply("AP000000000000001", "10.0.0.1")});
    endWindow({"10.0.0.1"});
    ASSERT_EQ(fake.launcher.opened, QStringList{"10.0.0.1"});
    EXPECT_FALSE(flow.ended);
    // Nothing else of the run happens meanwhile: the buttons are off, and neither does a thing.
    EXPECT_EQ(page.log.last(), "buttons off");
    run.previousClicked();
    run.exitClicked();
    EXPECT_EQ(flow.setupModeShown, 0);
    EXPECT_FALSE(flow.ended);
    flow.ended = row.exitWhileWaiting;
    fake.launcher.answer();
    const QList<Message> told = dialogs.shown().mid(2);
    if (row.named == nullptr) {
        EXPECT_TRUE(told.isEmpty());
    } else {
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].text.contains(row.named)) << told[0].text.toStdString();
        EXPECT_FALSE(told[0].title.has_value());
    }
    EXPECT_TRUE(flow.ended);
    EXPECT_EQ(run.state(), RunState::Stopped);
}

INSTANTIATE_TEST_SUITE_P(Reports, OpeningTheShortcuts,
                         ::testing::Values(OpenRow{"AllOpened", {}},
                                           OpenRow{"OpenerMissing", {true, {}}, "xdg-utils"},
                                           OpenRow{"SharedFoldersFailed",
                                                   {false, {{"smb", false, 4}}},
                                                   "(exit status 4)"},
                                           OpenRow{"NoApplicationForSharedFolders",
                                                   {false, {{"smb", true, std::nullopt}}},
                                                   "x-scheme-handler/smb"},
                                           OpenRow{"BrowserEndedBySignal",
                                                   {false, {{"http", false, std::nullopt}}},
                                                   "(no exit status)"},
                                           OpenRow{"ExitWhileWaiting", {true, {}}, nullptr, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupRunTest, AFailedShortcutIsToldAndThePageStaysWithItsButtons) {
    chooseFirstOnList();
    fake.shortcuts.failure =
        ShortcutFailure{"/home/u/Desktop/Setup My Dravik - NAS.desktop", "Permission denied"};
    scan({reply("AP000000000000001", "10.0.0.1")});
    endWindow({"10.0.0.1"});
    EXPECT_TRUE(logHas("pic4 failed"));
    EXPECT_FALSE(logHas(T(745)));
    EXPECT_TRUE(page.buttonsEnabled);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains("Setup My Dravik - NAS.desktop"));
    EXPECT_TRUE(dialogs.shown()[0].text.contains("Permission denied"));
    EXPECT_FALSE(flow.ended);
    run.previousClicked();
    EXPECT_EQ(flow.setupModeShown, 1);
}

TEST_F(SetupRunTest, DeviceListClosedWithoutAChoiceGoesBackToStepThree) {
    scan({reply("AP000000000000001", "10.0.0.1")});
    endWindow();
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(fake.shortcuts.written.isEmpty());
}

TEST_F(SetupRunTest, APortThatIsTakenIsToldAndNothingIsBroadcast) {
    fake.listener.failure =
        ListenerFailure{EADDRINUSE, "Address already in use.",
                        UdpPortHolder{4242, QStringLiteral("nc\x1b]0;t\a\u202E")}};
    run.pageLoaded();
    settle();
    ASSERT_TRUE(timers.fire(RunTimer::ScanStart));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains("UDP Port 12310"));
    EXPECT_TRUE(dialogs.shown()[0].text.contains(" 10048Address already in use."));
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QStringLiteral(
        "\r\nThe program holding it is \"nc\uFFFD]0;t\uFFFD\uFFFD\" (process 4242)")));
    EXPECT_TRUE(fake.broadcaster.sent.isEmpty());
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(timers.running.empty());
}

TEST_F(SetupRunTest, ARequestThatCannotBeSentIsToldAndTheWindowRunsAsIfSent) {
    fake.broadcaster.failure = BroadcastFailure{BroadcastFailure::Step::CreateSocket, EMFILE};
    scan({reply("AP000000000000001", "10.0.0.1")});
    Message told;
    told.text = "Cannot Create Socket.\r\n 10024Too many open files.";
    EXPECT_EQ(dialogs.shown(), (QList<Message>{told}));
    EXPECT_EQ(run.rows().size(), 1);
    EXPECT_EQ(timers.running.at(RunTimer::DiscoveryWindow), std::chrono::milliseconds(3000));
}

// Where the run waits, and the program ends there from another window (or Step 4 closes).
struct ExitRow {
    const char* name;
    int shortcutsWritten;
    std::function<void(SetupRunTest&)> arrange;
    bool appliance = true;
    bool reachable = true; // it answers the echo
};

void PrintTo(const ExitRow& row, std::ostream* os) {
    *os << row.name;
}

class ExitDuringAWait : public SetupRunTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitDuringAWait, NothingMoreIsSentWrittenOrOpened) {
    GetParam().arrange(*this);
    scan(GetParam().appliance ? QList<ArrivedDatagram>{reply("AP000000000000001", "10.0.0.1")}
                              : QList<ArrivedDatagram>{});
    if (std::string(GetParam().name) == "ProbeWait") {
        run.stop(); // Step 4 closed: its probes answer afterwards
        fake.prober.answerAll();
    } else {
        endWindow(GetParam().reachable ? QStringList{"10.0.0.1"} : QStringList{});
    }
    if (std::string(GetParam().name) == "CandidateProbeWait") {
        run.stop();
    }
    if (!fake.prober.batches.empty()) {
        fake.answerSearch(); // the candidate probes, where the run went that far
    }
    if (fake.shortcuts.pending) {
        flow.ended = true; // while the files are still on their way to the disk
        fake.shortcuts.answer();
        EXPECT_TRUE(dialogs.shown().isEmpty());
    }
    EXPECT_EQ(fake.broadcaster.sent.size(), 1);
    EXPECT_EQ(fake.shortcuts.written.size(), GetParam().shortcutsWritten);
    EXPECT_TRUE(fake.launcher.opened.isEmpty());
    EXPECT_EQ(flow.setupModeShown, 0);
    EXPECT_FALSE(fake.listener.isOpen());
    EXPECT_TRUE(timers.running.empty());
    EXPECT_FALSE(fake.neighbours.watching());
    EXPECT_EQ(fake.neighbours.followersWatching(), 0U);
    // The row, the candidates, and the echo asking the address found.
    EXPECT_LE(fake.prober.started.size(), 1 + kCandidateCount + 1);
    EXPECT_EQ(run.state(), RunState::Stopped);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, ExitDuringAWait,
    ::testing::Values(
        ExitRow{"DeviceList", 0,
                [](SetupRunTest& t) {
                    t.endInList();
                }},
        ExitRow{"DeviceListWhileSearching", 0, [](SetupRunTest& t) { t.endInList(); }, true, false},
        ExitRow{"NoApplianceBox", 0, [](SetupRunTest& t) { t.endAtBox(0); }, false},
        ExitRow{"ShortcutNote", 1,
                [](SetupRunTest& t) {
                    t.chooseFirstOnList();
                    t.endAtBox(0);
                }},
        ExitRow{"ShortcutWrite", 1,
                [](SetupRunTest& t) {
                    t.chooseFirstOnList();
                    t.fake.shortcuts.hold = true;
                }},
        ExitRow{"ClosingQuestion", 1,
                [](SetupRunTest& t) {
                    t.chooseFirstOnList();
                    t.endAtBox(1);
                }},
        ExitRow{"Credentials", 0, [](SetupRunTest& t) { t.endInCredentials(); }, true, false},
        ExitRow{"ProbeWait", 0,
                [](SetupRunTest&) {
                }},
        ExitRow{"CandidateProbeWait", 0, [](SetupRunTest& t) { t.chooseFirstOnList(); }, true,
                false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvex
