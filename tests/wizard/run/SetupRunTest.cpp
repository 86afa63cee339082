// The setup run's decisions, driven without a display: every outcome, its texts, pictures and
// messages, and that nothing is sent or written once the run is over.
#include "run/SetupRun.h"

#include "resources/TextCatalog.h"
#include "run/CandidateAddresses.h"
#include "run/DeviceProtocol.h"
#include "support/FakeRunServices.h"
#include "support/ScriptedDialogs.h"

#include <QLoggingCategory>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

using namespace testing; // the doubles, not GoogleTest

QString T(int englishNumber) {
    return CatalogText(kEnglishTextBase, englishNumber - kEnglishTextBase);
}

Message box(int englishNumber, bool warningTitle, MessageButtons buttons = MessageButtons::Ok) {
    return {T(englishNumber), warningTitle ? std::optional<QString>(T(708)) : std::nullopt, buttons,
            MessageIcon::None};
}

QByteArray reply(const char* id, const char* ip, const char* host = "NAS") {
    return testing::DiscoveryReply(id, testing::ApplianceKeys(ip, host));
}

// Step 4 as the run drew it, one line per change.
class RecordingPage final : public RunPage {
public:
    void applyLookSettings() override {}
    void setCaptions() override {}
    void setStatusText(const QString& text) override { log.append(text); }
    void setStepPicture(int step, StatusPicture picture) override {
        static const char* names[] = {"none", "busy", "done", "failed"};
        log.append(QStringLiteral("pic%1 %2").arg(step).arg(names[static_cast<int>(picture)]));
    }
    void setButtonsEnabled(bool enabled) override {
        buttonsEnabled = enabled;
        log.append(enabled ? "buttons on" : "buttons off");
    }
    void afterEventsRun(std::function<void()> next) override { later(std::move(next)); }
    QStringList log;
    bool buttonsEnabled = true;
};

class RecordingFlow final : public RunFlow {
public:
    void showSetupModePage() override { ++setupModeShown; }
    void confirmExit(std::function<void(bool programEnded)> done) override {
        if (exitConfirmed) {
            ended = true;
        }
        later([done = std::move(done), answer = exitConfirmed] { done(answer); });
    }
    void endProgram() override { ended = true; }
    bool programEnded() const override { return ended; }
    int setupModeShown = 0;
    bool ended = false;
    bool exitConfirmed = true;
};

class ScriptedModals final : public RunDialogs {
public:
    void showDeviceList(const QList<Reachability>& reachability, const QStringList& adapters,
                        std::function<void()> done) override {
        QStringList cells; // as the list shows them
        for (const Reachability each : reachability) {
            cells.append(ReachabilityCell(each));
        }
        listsShown.append(cells);
        adaptersShown.append(adapters);
        if (onList) {
            onList();
        }
        later(std::move(done));
    }
    void showCredentials(std::function<void(CredentialsOutcome outcome)> done) override {
        ++credentialsShown;
        if (onCredentials) {
            onCredentials();
        }
        later([done = std::move(done), outcome = credentials] { done(outcome); });
    }
    QList<QStringList> listsShown;
    QList<QStringList> adaptersShown;
    std::function<void()> onList;
    int credentialsShown = 0;
    CredentialsOutcome credentials = CredentialsOutcome::Closed;
    std::function<void()> onCredentials;
};

class ManualTimers final : public RunTimers {
public:
    void setTick(Tick tick) override { tick_ = std::move(tick); }
    void start(RunTimer timer, std::chrono::milliseconds interval) override {
        running[timer] = interval;
    }
    void stop(RunTimer timer) override { running.erase(timer); }
    // Fires the timer as its interval would, when it runs, and lets what it started run.
    bool fire(RunTimer timer) {
        if (running.count(timer) == 0) {
            return false;
        }
        tick_(timer);
        settle();
        return true;
    }
    std::map<RunTimer, std::chrono::milliseconds> running;

private:
    Tick tick_;
};

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
    void chooseUnreachableOnList() {
        modals.onList = [this] {
            globals.SelectedDevice = 0;
            globals.SelectedReachable = false;
        };
    }
    void endInCredentials() {
        chooseUnreachableOnList();
        modals.onCredentials = [this] {
            flow.ended = true;
        };
    }
    void chooseReachable() {
        modals.onList = [this] {
            globals.SelectedDevice = 0;
            globals.SelectedReachable = true;
        };
    }
    SetupRunTest() { globals.TextBase = kEnglishTextBase; }

    // Loads the page and runs the scan with these replies inside the window.
    void scan(const QList<QByteArray>& replies) {
        run.Form_Load();
        settle();
        ASSERT_TRUE(timers.fire(RunTimer::Timer2));
        for (const QByteArray& datagram : replies) {
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
        ASSERT_TRUE(timers.fire(RunTimer::Timer1));
    }
    // An appliance on a foreign subnet, chosen, and the search started.
    void chooseUnreachable() {
        chooseUnreachableOnList();
        scan({reply("AP000000000000001", "10.0.0.5")});
        endWindow();
    }
    [[nodiscard]] bool logHas(const QString& line) const { return page.log.contains(line); }

    WizardGlobals globals;
    ScriptedDialogs dialogs;
    RecordingPage page;
    ScriptedModals modals;
    RecordingFlow flow;
    ManualTimers timers;
    FakeRunServices fake;
    SetupRun run{globals, dialogs, page, modals, flow, timers, fake.services};
};

TEST_F(SetupRunTest, LoadDisablesTheButtonsAndTheScanBroadcastsFromTheAdapter) {
    globals.DeviceTable[0].HostName = "stale";
    globals.LastDeviceIndex = 0;
    run.Form_Load();
    EXPECT_EQ(globals.LastDeviceIndex, -1);
    EXPECT_TRUE(globals.DeviceTable[0].HostName.isEmpty());
    EXPECT_EQ(globals.PcAddress, "192.168.0.20");
    EXPECT_EQ(globals.SelectedDevice, 0);
    EXPECT_EQ(page.log, (QStringList{"pic1 busy", "buttons off", T(733)}));
    settle();
    EXPECT_EQ(timers.running.at(RunTimer::Timer2), std::chrono::milliseconds(100));
    EXPECT_TRUE(fake.broadcaster.sent.isEmpty());

    ASSERT_TRUE(timers.fire(RunTimer::Timer2));
    EXPECT_TRUE(fake.listener.isOpen());
    ASSERT_EQ(fake.broadcaster.sent.size(), 1);
    EXPECT_EQ(fake.broadcaster.sent[0],
              std::make_pair(QByteArray("0C01S"), QString("192.168.0.20")));
    EXPECT_EQ(timers.running.count(RunTimer::Timer2), 0U);
    EXPECT_EQ(timers.running.at(RunTimer::Timer1), std::chrono::milliseconds(3000));
}

TEST_F(SetupRunTest, NoApplianceFoundGoesBackToStepThree) {
    scan({});
    ASSERT_TRUE(timers.fire(RunTimer::Timer1));
    EXPECT_FALSE(fake.listener.isOpen());
    EXPECT_EQ(page.log.mid(3), (QStringList{T(734), T(735), "pic1 failed"}));
    Message told = box(736, false);
    told.details = fake.diagnosis;
    EXPECT_EQ(dialogs.shown(), (QList<Message>{told}));
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(modals.listsShown.isEmpty());
    EXPECT_EQ(run.state(), RunState::Stopped);
}

TEST_F(SetupRunTest, RepliesFillTheTableInArrivalOrderUpToElevenAndProbeAtOnce) {
    QList<QByteArray> replies{"0C01Rshort", "0C02RAP000000000000012", "junk"};
    for (int i = 0; i < 14; ++i) {
        replies.append(reply("AP00000000000000" + QByteArray::number(i % 10),
                             "10.0.0." + QByteArray::number(i + 1)));
    }
    scan(replies);
    EXPECT_EQ(globals.LastDeviceIndex, 10);
    EXPECT_EQ(globals.DeviceTable[0].IpAddress, "10.0.0.1");
    EXPECT_EQ(globals.DeviceTable[10].IpAddress, "10.0.0.11");
    // Each record's probe started while the window was still open.
    EXPECT_EQ(fake.prober.started.size(), 11);
    EXPECT_EQ(fake.prober.started.first(), "10.0.0.1");
    ASSERT_TRUE(timers.fire(RunTimer::Timer1));
    EXPECT_TRUE(modals.listsShown.isEmpty()); // still waiting for the probes
    fake.listener.deliver(reply("LATE0000000000000", "10.0.0.99"));
    fake.prober.answerAll({{"10.0.0.2", {EchoStatus::Reply, 0}},
                           {"10.0.0.3", {EchoStatus::NotSent, 105}},
                           {"10.0.0.4", {EchoStatus::NotAccepted, 0}}});
    ASSERT_EQ(modals.listsShown.size(), 1);
    const QStringList cells = modals.listsShown[0];
    ASSERT_EQ(cells.size(), 11);
    EXPECT_EQ(modals.adaptersShown[0], QStringList{}) << "one adapter: none named";
    EXPECT_EQ(cells.mid(0, 4), (QStringList{"No", "Yes", "No", "No"}));
    EXPECT_EQ(globals.LastDeviceIndex, 10);
    EXPECT_TRUE(logHas("pic1 done"));
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(SetupRunTest, ProbingImpossibleIsToldOnceForTheWholeList) {
    scan({reply("AP000000000000001", "10.0.0.1"), reply("AP000000000000002", "10.0.0.2")});
    fake.prober.answerAll({{"10.0.0.1", {EchoStatus::Impossible, EPERM}},
                           {"10.0.0.2", {EchoStatus::Impossible, EPERM}}});
    ASSERT_TRUE(timers.fire(RunTimer::Timer1));
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
    modals.onList = [this] {
        globals.SelectedDevice = 1;
        globals.SelectedReachable = true;
    };
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
    chooseReachable();
    fake.launcher.hold = true;
    fake.launcher.report = row.report;
    scan({reply("AP000000000000001", "10.0.0.1")});
    endWindow({"10.0.0.1"});
    ASSERT_EQ(fake.launcher.opened, QStringList{"10.0.0.1"});
    EXPECT_FALSE(flow.ended);
    // Nothing else of the run happens meanwhile: the buttons are off, and neither does a thing.
    EXPECT_EQ(page.log.last(), "buttons off");
    run.cmdPrevious_Click();
    run.cmdExit_Click();
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

INSTANTIATE_TEST_SUITE_P(
    Reports, OpeningTheShortcuts,
    ::testing::Values(OpenRow{"AllOpened", {}}, OpenRow{"OpenerMissing", {true, {}}, "xdg-utils"},
                      OpenRow{"SharedFoldersFailed", {false, {"smb"}}, "gvfs-backends"},
                      OpenRow{"ExitWhileWaiting", {true, {}}, nullptr, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupRunTest, AFailedShortcutIsToldAndThePageStaysWithItsButtons) {
    chooseReachable();
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
    run.cmdPrevious_Click();
    EXPECT_EQ(flow.setupModeShown, 1);
}

TEST_F(SetupRunTest, DeviceListClosedWithoutAChoiceGoesBackToStepThree) {
    scan({reply("AP000000000000001", "10.0.0.1")});
    endWindow();
    EXPECT_EQ(globals.SelectedDevice, -1);
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(fake.shortcuts.written.isEmpty());
}

TEST_F(SetupRunTest, APortThatIsTakenIsToldAndNothingIsBroadcast) {
    fake.listener.failure = ListenerFailure{EADDRINUSE, "Address already in use."};
    run.Form_Load();
    settle();
    ASSERT_TRUE(timers.fire(RunTimer::Timer2));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains("UDP Port 12310"));
    EXPECT_TRUE(dialogs.shown()[0].text.contains(" 10048Address already in use."));
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
    EXPECT_EQ(globals.LastDeviceIndex, 0);
    EXPECT_EQ(timers.running.at(RunTimer::Timer1), std::chrono::milliseconds(3000));
}

// Where the run waits, and the program ends there from another window (or Step 4 closes).
struct ExitRow {
    const char* name;
    int shortcutsWritten;
    std::function<void(SetupRunTest&)> arrange;
    bool appliance = true;
};

void PrintTo(const ExitRow& row, std::ostream* os) {
    *os << row.name;
}

class ExitDuringAWait : public SetupRunTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitDuringAWait, NothingMoreIsSentWrittenOrOpened) {
    GetParam().arrange(*this);
    scan(GetParam().appliance ? QList<QByteArray>{reply("AP000000000000001", "10.0.0.1")}
                              : QList<QByteArray>{});
    if (std::string(GetParam().name) == "ProbeWait") {
        run.stop(); // Step 4 closed: its probes answer afterwards
        fake.prober.answerAll();
    } else {
        endWindow({"10.0.0.1"});
    }
    if (std::string(GetParam().name) == "CandidateProbeWait") {
        run.stop();
    }
    if (!fake.prober.batches.empty()) {
        fake.answerSearch(); // the candidate probes, where the run went that far
    }
    EXPECT_EQ(fake.broadcaster.sent.size(), 1);
    EXPECT_EQ(fake.shortcuts.written.size(), GetParam().shortcutsWritten);
    EXPECT_TRUE(fake.launcher.opened.isEmpty());
    EXPECT_EQ(flow.setupModeShown, 0);
    EXPECT_FALSE(fake.listener.isOpen());
    EXPECT_TRUE(timers.running.empty());
    EXPECT_EQ(run.state(), RunState::Stopped);
}

INSTANTIATE_TEST_SUITE_P(Waits, ExitDuringAWait,
                         ::testing::Values(ExitRow{"DeviceList", 0,
                                                   [](SetupRunTest& t) {
                                                       t.endInList();
                                                   }},
                                           ExitRow{"NoApplianceBox", 0,
                                                   [](SetupRunTest& t) { t.endAtBox(0); }, false},
                                           ExitRow{"ShortcutNote", 1,
                                                   [](SetupRunTest& t) {
                                                       t.chooseReachable();
                                                       t.endAtBox(0);
                                                   }},
                                           ExitRow{"ClosingQuestion", 1,
                                                   [](SetupRunTest& t) {
                                                       t.chooseReachable();
                                                       t.endAtBox(1);
                                                   }},
                                           ExitRow{"Credentials", 0,
                                                   [](SetupRunTest& t) {
                                                       t.endInCredentials();
                                                   }},
                                           ExitRow{"ProbeWait", 0,
                                                   [](SetupRunTest&) {
                                                   }},
                                           ExitRow{"CandidateProbeWait", 0,
                                                   [](SetupRunTest& t) {
                                                       t.chooseUnreachableOnList();
                                                   }}),
                         [](const auto& info) { return std::string(info.param.name); });

// A run of its own beside the fixture's, for cases that try several rows: the shared state
// emptied, an unreachable appliance found and chosen, the address search under way.
struct SecondRun {
    SecondRun(SetupRunTest& test, AdapterFacts adapter)
        : run(test.globals, test.dialogs, test.page, test.modals, flow, timers, services.services) {
        test.globals = WizardGlobals{};
        test.globals.TextBase = kEnglishTextBase;
        test.dialogs.clear();
        test.page.log.clear();
        services.adapter = std::move(adapter);
        test.chooseUnreachableOnList();
        run.Form_Load();
        settle();
        EXPECT_TRUE(timers.fire(RunTimer::Timer2));
        services.listener.deliver(reply("AP000000000000001", "10.0.0.5"));
        services.prober.answerAll();
        EXPECT_TRUE(timers.fire(RunTimer::Timer1));
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
        globals.UserName = "stale";
        modals.onCredentials = [this] {
            globals.UserName = "admin";
            globals.Password = "secret";
        };
        chooseUnreachable();
        ASSERT_EQ(fake.prober.batches.size(), 1U);
        fake.answerSearch({{"192.168.0.41", {EchoStatus::Reply, 0}}}, {"192.168.0.42"});
    }
};

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
        fake.listener.deliver("0C02RAP0000000000000012");
    });
    const QString all = lines.join('\n');
    EXPECT_TRUE(all.contains("configuration request")) << all.toStdString();
    EXPECT_TRUE(all.contains("configured")) << all.toStdString();
    EXPECT_FALSE(all.contains("secret")) << all.toStdString();
    EXPECT_FALSE(all.contains("admin")) << all.toStdString();
}

TEST_F(ConfigurationTest, TheFirstTrulyFreeCandidateIsConfiguredAndGetsTheShortcuts) {
    toConfiguring();
    const QStringList candidates = fake.prober.started.mid(1);
    ASSERT_EQ(candidates.size(), 20);
    EXPECT_EQ(candidates.mid(0, 3), (QStringList{"192.168.0.41", "192.168.0.42", "192.168.0.43"}));
    EXPECT_EQ(run.NewAddress(), "192.168.0.43");
    EXPECT_TRUE(logHas(T(741) + "192.168.0.43"));
    EXPECT_EQ(modals.credentialsShown, 1);
    EXPECT_EQ(timers.running.at(RunTimer::Timer3), std::chrono::milliseconds(30000));
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
    dialogs.setNextAnswer(MessageAnswer::Ok);
    dialogs.setNextAnswer(MessageAnswer::Ok);
    fake.listener.deliver("0C02RAP0000000000000012");
    EXPECT_EQ(page.log.mid(afterSearch),
              (QStringList{"pic3 done", T(748), "pic4 done", T(749), "buttons on", "buttons off"}));
    EXPECT_EQ(fake.shortcuts.written,
              (QList<std::pair<QString, QString>>{{"192.168.0.43", "NAS"}}));
    EXPECT_EQ(dialogs.shown(),
              (QList<Message>{box(750, true), box(757, true, MessageButtons::OkCancel)}));
    EXPECT_EQ(fake.launcher.opened, QStringList{"192.168.0.43"});
    EXPECT_TRUE(flow.ended);
    EXPECT_EQ(timers.running.count(RunTimer::Timer3), 0U);
}

// A PC with two adapters: a request from each, an appliance one row on the adapter that heard it
// first, and the chosen row's adapter for the address search and the configuration request.
TEST_F(ConfigurationTest, TwoAdaptersAskThroughEachAndTheChosenRowsAdapterConfigures) {
    fake.adapters.adapters = {{"eth0", 2, "192.168.0.20", "255.255.255.0", "192.168.0.1"},
                              {"eth1", 3, "10.1.4.12", "255.255.255.128", "10.1.4.1"}};
    modals.onList = [this] {
        globals.SelectedDevice = 1;
        globals.SelectedReachable = false;
    };
    run.Form_Load();
    settle();
    ASSERT_TRUE(timers.fire(RunTimer::Timer2));
    EXPECT_EQ(fake.broadcaster.sent, (QList<std::pair<QByteArray, QString>>{
                                         {"0C01S", "192.168.0.20"}, {"0C01S", "10.1.4.12"}}));
    const auto by = [this](unsigned index, const QByteArray& bytes) {
        fake.listener.deliver(ArrivedDatagram{bytes, index, "10.1.9.50"});
    };
    by(2, reply("AP000000000000001", "192.168.0.30"));
    by(3, reply("AP000000000000001", "192.168.0.30")); // heard by eth0 first
    by(3, reply("AP000000000000002", "10.1.9.50", "FAR"));
    by(3, reply("AP000000000000002", "10.1.9.50", "FAR")); // the same adapter again: a row
    EXPECT_EQ(globals.LastDeviceIndex, 2);
    EXPECT_EQ(fake.prober.started, (QStringList{"192.168.0.30", "10.1.9.50", "10.1.9.50"}));
    endWindow();
    EXPECT_EQ(modals.adaptersShown, (QList<QStringList>{{"eth0", "eth1", "eth1"}}));

    EXPECT_EQ(fake.neighbours.adapter, Ipv4Address::parse(QStringLiteral("10.1.4.12")));
    const QStringList candidates = fake.prober.batches.front().addresses;
    ASSERT_EQ(candidates.size(), kCandidateCount);
    for (const QString& candidate : candidates) {
        const int last = candidate.section(u'.', 3).toInt();
        EXPECT_TRUE(candidate.startsWith("10.1.4.") && last >= 1 && last <= 126 && last != 12)
            << candidate.toStdString();
    }
    fake.answerSearch();
    ASSERT_EQ(fake.broadcaster.sent.size(), 3);
    EXPECT_EQ(fake.broadcaster.sent[2].first,
              "0C02SAP000000000000002" + run.NewAddress().toLatin1() +
                  ";255.255.255.128;10.1.4.1;FAR;HOME;NAS.HOME.LAN;;");
    EXPECT_EQ(fake.broadcaster.sent[2].second, "10.1.4.12");
}

// A reported address that is not a strict dotted quad of a unicast host: listed as received,
// never probed, and choosing it gives the appliance a free address; only that one is linked.
struct ForeignAddressRow {
    const char* name;
    const char* ip;
    bool listSaysReachable;
};

class ForeignAddress : public ConfigurationTest,
                       public ::testing::WithParamInterface<ForeignAddressRow> {};

TEST_P(ForeignAddress, IsListedNeverProbedAndGetsAFreeAddress) {
    drawThree();
    modals.onList = [this] {
        globals.SelectedDevice = 0;
        globals.SelectedReachable = GetParam().listSaysReachable;
    };
    scan({reply("AP000000000000001", GetParam().ip)});
    EXPECT_TRUE(fake.prober.started.isEmpty());
    ASSERT_TRUE(timers.fire(RunTimer::Timer1));
    EXPECT_EQ(globals.DeviceTable[0].IpAddress, GetParam().ip);
    EXPECT_EQ(modals.listsShown, (QList<QStringList>{{"No"}}));
    fake.answerSearch();
    EXPECT_EQ(run.NewAddress(), "192.168.0.41");
    dialogs.setNextAnswer(MessageAnswer::Ok);
    dialogs.setNextAnswer(MessageAnswer::Ok);
    fake.listener.deliver("0C02RAP0000000000000012");
    EXPECT_EQ(fake.shortcuts.written,
              (QList<std::pair<QString, QString>>{{"192.168.0.41", "NAS"}}));
    EXPECT_EQ(fake.launcher.opened, QStringList{"192.168.0.41"});
    EXPECT_EQ(fake.prober.started.size(), kCandidateCount); // the candidates, nothing else
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ForeignAddress,
    ::testing::Values(ForeignAddressRow{"HostileText", "127.0.0.1 @evil.example/x", false},
                      ForeignAddressRow{"SubnetBroadcast", "192.168.0.255", false},
                      ForeignAddressRow{"ShortForm", "192.168.5", false},
                      ForeignAddressRow{"HostileTextTheListCallsReachable",
                                        "127.0.0.1 @evil.example/x", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigurationTest, RefusedAndOtherStatusesLeaveThePageWithItsButtons) {
    for (const QByteArray status : {"1", "7", ""}) {
        SCOPED_TRACE(status.constData());
        SecondRun second(*this, fake.adapter);
        auto& [services, ownFlow, ownTimers, ownRun] = second;
        services.answerSearch();
        services.listener.deliver("0C02RAP000000000000001" + status);
        EXPECT_EQ(page.log.mid(page.log.size() - 3),
                  (QStringList{"pic3 failed", T(747), "buttons on"}));
        EXPECT_FALSE(services.listener.isOpen());
        EXPECT_TRUE(services.shortcuts.written.isEmpty());
        EXPECT_FALSE(ownFlow.ended);
        ownRun.cmdPrevious_Click();
        EXPECT_EQ(globals.LastDeviceIndex, -1);
        EXPECT_EQ(ownFlow.setupModeShown, 1);
    }
}

TEST_F(ConfigurationTest, NoAnswerWithinTheTimeOutEnablesTheButtonsAndALateReplyIsLost) {
    toConfiguring();
    QStringList logAtBox;
    dialogs.onShow = [&](qsizetype) {
        logAtBox = page.log;
    };
    ASSERT_TRUE(timers.fire(RunTimer::Timer3));
    EXPECT_EQ(page.log.mid(page.log.size() - 3),
              (QStringList{T(754), "pic3 failed", "buttons on"}));
    // Told once more in a box, after the status line, with what may keep the replies away.
    Message told = box(754, false);
    told.details = fake.diagnosis;
    EXPECT_EQ(dialogs.shown(), (QList<Message>{told}));
    EXPECT_EQ(logAtBox, page.log);
    EXPECT_FALSE(fake.listener.isOpen());
    fake.listener.deliver("0C02RAP0000000000000012");
    EXPECT_TRUE(fake.shortcuts.written.isEmpty());
    EXPECT_EQ(fake.broadcaster.sent.size(), 2); // nothing sent twice
    run.cmdExit_Click();
    EXPECT_TRUE(flow.ended);
}

TEST_F(ConfigurationTest, BroadcastsThatFailAreToldAndTheRunGoesOnAsIfSent) {
    const Message failed{"Cannot Send Request.\r\n 10051Network is unreachable.", std::nullopt,
                         MessageButtons::Ok, MessageIcon::None};
    fake.broadcaster.failure = BroadcastFailure{BroadcastFailure::Step::SendRequest, ENETUNREACH};
    toConfiguring();
    EXPECT_EQ(dialogs.shown(), (QList<Message>{failed, failed}));
    EXPECT_EQ(fake.broadcaster.sent.size(), 2);
    EXPECT_EQ(timers.running.at(RunTimer::Timer3), std::chrono::milliseconds(30000));
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

    SecondRun second(*this, fake.adapter);
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
    SetupRun third{globals, dialogs, page, modals, flow, timers, unwatchable.services};
    third.Form_Load();
    settle();
    ASSERT_TRUE(timers.fire(RunTimer::Timer2));
    unwatchable.listener.deliver(reply("AP000000000000001", "10.0.0.5"));
    unwatchable.prober.answerAll();
    ASSERT_TRUE(timers.fire(RunTimer::Timer1));
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
    EXPECT_EQ(fake.neighbours.adapter, Ipv4Address::parse(QStringLiteral("192.168.0.20")));
    fake.prober.answerNext();
    fake.neighbours.report("192.168.0.42", NeighbourState::Failed);
    EXPECT_EQ(modals.credentialsShown, 0);
    fake.neighbours.report("192.168.0.41", NeighbourState::Known);
    EXPECT_EQ(run.NewAddress(), "192.168.0.42");
    EXPECT_FALSE(fake.neighbours.watching());

    SecondRun second(*this, fake.adapter);
    second.services.prober.answerNext();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    second.services.neighbours.timeUp();
    EXPECT_EQ(page.log.last(), T(743));
    EXPECT_EQ(second.flow.setupModeShown, 1);
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
        SecondRun second(*this, {row.address, "", ""});
        auto& [services, ownFlow, ownTimers, ownRun] = second;
        EXPECT_EQ(dialogs.shown(), row.messages);
        EXPECT_TRUE(ownFlow.ended);
        EXPECT_TRUE(services.prober.batches.empty());
        EXPECT_EQ(services.broadcaster.sent.size(), 1);
    }
}

TEST_F(ConfigurationTest, AbandonedCredentialsSendNothingAndShowStepThree) {
    drawThree();
    modals.credentials = RunDialogs::CredentialsOutcome::Abandoned;
    chooseUnreachable();
    fake.answerSearch();
    EXPECT_EQ(modals.credentialsShown, 1);
    EXPECT_EQ(fake.broadcaster.sent.size(), 1);
    EXPECT_EQ(flow.setupModeShown, 1);
    EXPECT_TRUE(timers.running.empty());
}

} // namespace
} // namespace tarvex
