#include "run/SetupRun.h"

#include "modules/mdUtility2.h"
#include "resources/TextCatalog.h"
#include "run/ApplianceAddress.h"
#include "run/CandidateAddresses.h"
#include "run/DeviceProtocol.h"
#include "run/RunMessages.h"

#include <QPointer>

namespace tarvex {

SetupRun::SetupRun(WizardGlobals& globals, Dialogs& dialogs, RunPage& page, RunDialogs& modals,
                   RunFlow& flow, RunTimers& timers, RunServices& services)
    : globals_(globals), dialogs_(dialogs), page_(page), modals_(modals), flow_(flow),
      timers_(timers), services_(services) {
    timers_.setTick([this](RunTimer timer) {
        switch (timer) {
        case RunTimer::Timer1:
            Timer1_Timer();
            break;
        case RunTimer::Timer2:
            Timer2_Timer();
            break;
        case RunTimer::Timer3:
            Timer3_Timer();
            break;
        }
    });
}

SetupRun::~SetupRun() {
    stop();
    timers_.setTick({});
}

bool SetupRun::halted(const QPointer<SetupRun>& run) {
    return run.isNull() || run->over();
}

QString SetupRun::text(int n) const {
    return CatalogText(globals_.TextBase, n);
}

bool SetupRun::over() {
    if (state_ == RunState::Stopped) {
        return true;
    }
    if (flow_.programEnded()) {
        stop();
        return true;
    }
    return false;
}

void SetupRun::status(int n) {
    page_.setStatusText(text(n));
}

MessageAnswer SetupRun::ask(const Message& message) {
    return dialogs_.showMessage(message);
}

void SetupRun::Form_Load() {
    globals_.clearDeviceTable();
    page_.applyLookSettings();
    page_.setStepPicture(1, StatusPicture::InProgress);
    services_.loadAdapterFacts(globals_);
    adapters_ = RunAdapters(services_.listAdapters());
    globals_.SelectedDevice = 0;
    page_.setCaptions();
    page_.setButtonsEnabled(false);
    status(Text::Scanning);
    const QPointer<SetupRun> self(this);
    page_.letEventsRun();
    if (halted(self)) {
        return;
    }
    state_ = RunState::Starting;
    timers_.start(RunTimer::Timer2, services_.intervals.scanStart);
}

void SetupRun::Timer2_Timer() {
    timers_.stop(RunTimer::Timer2);
    if (state_ != RunState::Starting || over()) {
        return;
    }
    state_ = RunState::Scanning;
    const QPointer<SetupRun> self(this);
    if (!openListener()) {
        return;
    }
    if (const auto failure = BroadcastFromEach(services_.broadcaster, DiscoveryRequest(),
                                               adapters_.sources(globals_.PcAddress))) {
        // Nothing may answer now, but the window runs its course as for a request that went out.
        ask(BroadcastFailureMessage(*failure));
    }
    if (halted(self)) {
        return;
    }
    timers_.start(RunTimer::Timer1, services_.intervals.discoveryWindow);
}

bool SetupRun::openListener() {
    const QPointer<SetupRun> self(this);
    const std::optional<ListenerFailure> failure =
        services_.listener.OpenListener([this](const ArrivedDatagram& datagram) {
            Winsock1_DataArrival(datagram.bytes, datagram.interfaceIndex);
        });
    if (!failure) {
        return true;
    }
    timers_.stop(RunTimer::Timer3);
    ask(ListenerFailureMessage(globals_.TextBase, *failure));
    if (halted(self)) {
        return false;
    }
    backToSetupMode();
    return false;
}

void SetupRun::Winsock1_DataArrival(const QByteArray& datagram, unsigned interfaceIndex) {
    const ReplyKind kind = KindOfReply(datagram);
    if (state_ == RunState::Scanning && kind == ReplyKind::Discovery) {
        // The table holds 11 records; later replies are dropped before they are cut.
        if (globals_.LastDeviceIndex + 1 >= kDeviceTableSize) {
            return;
        }
        std::optional<DeviceRecord> record = CutDiscoveryReply(datagram).record;
        const auto heardBy = record ? adapters_.admit(*record, interfaceIndex,
                                                      {globals_.PcAddress, globals_.PcMask, {}})
                                    : std::nullopt;
        if (!heardBy) {
            return;
        }
        const qsizetype index = ++globals_.LastDeviceIndex;
        const std::optional<Ipv4Address> address =
            ApplianceAddress(*record, heardBy->address, heardBy->mask);
        globals_.DeviceTable[static_cast<std::size_t>(index)] = std::move(*record);
        addresses_.append(address);
        if (!address) {
            // Listed as received, but never probed: "No", and choosing it gives it an address.
            reachableCells_.append(QStringLiteral("No"));
            return;
        }
        // Probe at once, inside the window, so that the list is ready when the window ends.
        reachableCells_.append(QString());
        ++probesRunning_;
        const QPointer<SetupRun> self(this);
        services_.prober.start({address->text()},
                               [self, index](const QList<ProbeOutcome>& outcomes) {
                                   if (!halted(self)) {
                                       self->onProbed(index, outcomes);
                                   }
                               });
    } else if (state_ == RunState::Configuring && kind == ReplyKind::Configure) {
        onConfigureReply(datagram);
    }
}

void SetupRun::onProbed(qsizetype record, const QList<ProbeOutcome>& outcomes) {
    const ProbeOutcome outcome = outcomes.value(0);
    // An echo that could not be sent, or could not be tried at all, tells nothing: "No".
    reachableCells_[record] = outcome.reachable() ? QStringLiteral("Yes") : QStringLiteral("No");
    if (outcome.status == EchoStatus::Impossible && probingImpossibleError_ == 0) {
        probingImpossibleError_ = outcome.error == 0 ? -1 : outcome.error;
    }
    --probesRunning_;
    if (state_ == RunState::Probing && probesRunning_ == 0) {
        showDeviceList();
    }
}

void SetupRun::Timer1_Timer() {
    timers_.stop(RunTimer::Timer1);
    if (state_ != RunState::Scanning || over()) {
        return;
    }
    services_.listener.CloseListener();
    status(Text::ScanComplete);
    globals_.SelectedDevice = -1;
    if (globals_.LastDeviceIndex < 0) {
        state_ = RunState::NoApplianceFound;
        status(Text::ScanNothing);
        page_.setStepPicture(1, StatusPicture::Failed);
        const QPointer<SetupRun> self(this);
        ask({text(Text::ScanNothingBox), std::nullopt, MessageButtons::Ok, MessageIcon::None,
             services_.diagnose()});
        if (halted(self)) {
            return;
        }
        backToSetupMode();
        return;
    }
    page_.setStepPicture(1, StatusPicture::Done);
    state_ = RunState::Probing;
    if (probesRunning_ == 0) {
        showDeviceList();
    }
}

void SetupRun::showDeviceList() {
    state_ = RunState::Choosing;
    const QPointer<SetupRun> self(this);
    if (probingImpossibleError_ != 0) {
        // Once for the whole list, not once a row.
        ask(ProbingImpossibleMessage(globals_.TextBase,
                                     probingImpossibleError_ < 0 ? 0 : probingImpossibleError_));
        if (halted(self)) {
            return;
        }
    }
    modals_.showDeviceList(reachableCells_, adapters_.rowAdapters());
    if (halted(self)) {
        return;
    }
    page_.letEventsRun();
    if (halted(self)) {
        return;
    }
    afterChoice();
}

void SetupRun::afterChoice() {
    const qint16 chosen = globals_.SelectedDevice;
    if (chosen < 0 || chosen > globals_.LastDeviceIndex) {
        // The list was closed without a choice.
        backToSetupMode();
        return;
    }
    adapters_.choose(chosen, globals_);
    const std::optional<Ipv4Address> address = addresses_.value(chosen);
    if (globals_.SelectedReachable && address) {
        state_ = RunState::Reachable;
        status(Text::Reachable);
        page_.setStepPicture(2, StatusPicture::Done);
        page_.setStepPicture(3, StatusPicture::Done);
        const QPointer<SetupRun> self(this);
        page_.letEventsRun();
        if (halted(self)) {
            return;
        }
        finish(*address, Text::ReachableDone, Text::ShortcutsNote);
        return;
    }
    status(Text::Unreachable);
    page_.setStepPicture(2, StatusPicture::Done);
    status(Text::SelectingAddress);
    searchAddress();
}

const DeviceRecord& SetupRun::chosenRecord() const {
    return globals_.DeviceTable[static_cast<std::size_t>(globals_.SelectedDevice)];
}

void SetupRun::searchAddress() {
    state_ = RunState::SearchingAddress;
    CandidateDraw draw = DrawCandidates(globals_.PcAddress, globals_.PcMask, services_.random);
    const std::optional<Ipv4Address> adapter = Ipv4Address::parse(globals_.PcAddress);
    if (draw.problem == CandidateProblem::None && !adapter) {
        draw.problem = CandidateProblem::AddressInvalid;
    }
    const QPointer<SetupRun> self(this);
    if (draw.problem != CandidateProblem::None) {
        if (draw.problem == CandidateProblem::AddressInvalid) {
            ask({QStringLiteral("Your PC's IP address settings are invalid or not available."),
                 std::nullopt, MessageButtons::Ok, MessageIcon::None});
            if (halted(self)) {
                return;
            }
        }
        ask({text(Text::PcNotConfigured), text(Text::Warning), MessageButtons::Ok,
             MessageIcon::None});
        if (halted(self)) {
            return;
        }
        stop();
        flow_.endProgram();
        return;
    }
    if (draw.candidates.isEmpty()) {
        noFreeAddress();
        return;
    }
    search_.start(draw.candidates, *adapter, [self](const SearchResult& result) {
        if (!halted(self)) {
            self->onSearchDone(result);
        }
    });
}

void SetupRun::onSearchDone(const SearchResult& result) {
    if (state_ != RunState::SearchingAddress || over()) {
        return;
    }
    const QPointer<SetupRun> self(this);
    if (result.kind == SearchResult::Kind::ProbingImpossible ||
        result.kind == SearchResult::Kind::WatchImpossible) {
        // Nothing could be tested, so no address may be taken as free.
        ask(result.kind == SearchResult::Kind::ProbingImpossible
                ? ProbingImpossibleMessage(globals_.TextBase, result.error)
                : NeighbourWatchFailureMessage(globals_.TextBase, result.error));
        if (halted(self)) {
            return;
        }
        backToSetupMode();
        return;
    }
    if (result.kind == SearchResult::Kind::NoneFree) {
        noFreeAddress();
        return;
    }
    newAddress_ = result.address;
    page_.setStatusText(text(Text::AddressFound) + newAddress_);
    page_.letEventsRun();
    if (halted(self)) {
        return;
    }
    askCredentialsAndConfigure();
}

void SetupRun::noFreeAddress() {
    state_ = RunState::NoFreeAddress;
    status(Text::NoFreeAddress);
    const QPointer<SetupRun> self(this);
    ask({text(Text::NoFreeAddressBox), std::nullopt, MessageButtons::Ok, MessageIcon::None});
    if (halted(self)) {
        return;
    }
    backToSetupMode();
}

void SetupRun::askCredentialsAndConfigure() {
    state_ = RunState::AskingCredentials;
    const QPointer<SetupRun> self(this);
    const RunDialogs::CredentialsOutcome outcome = modals_.showCredentials();
    if (halted(self)) {
        return;
    }
    if (outcome == RunDialogs::CredentialsOutcome::Abandoned) {
        state_ = RunState::Abandoned;
        backToSetupMode();
        return;
    }
    timers_.start(RunTimer::Timer3, services_.intervals.configureTimeout);
    status(Text::Configuring);
    state_ = RunState::Configuring;
    if (!openListener()) {
        return;
    }
    const ConfigureFields fields{newAddress_, globals_.PcMask, globals_.PcGateway,
                                 globals_.UserName, globals_.Password};
    if (const auto failure = services_.broadcaster.Broadcast(
            ConfigureRequest(chosenRecord(), fields), globals_.PcAddress)) {
        ask(BroadcastFailureMessage(*failure));
    }
    // The run goes on in the reply handler or in the Timer3 tick.
}

void SetupRun::onConfigureReply(const QByteArray& reply) {
    // The first configuration reply ends the wait; nothing after it is received.
    timers_.stop(RunTimer::Timer3);
    services_.listener.CloseListener();
    // The run drew the new address itself, so it always parses.
    const std::optional<Ipv4Address> address = Ipv4Address::parse(QStringView(newAddress_));
    if (ReadConfigureStatus(reply) == ConfigureStatus::Applied && address) {
        state_ = RunState::Configured;
        page_.setStepPicture(3, StatusPicture::Done);
        status(Text::Configured);
        finish(*address, Text::ConfiguredDone, Text::ConfiguredNote);
        return;
    }
    // "1", and any other status, which would otherwise leave the page with no way on.
    state_ = RunState::Refused;
    page_.setStepPicture(3, StatusPicture::Failed);
    status(Text::Refused);
    page_.setButtonsEnabled(true);
}

void SetupRun::Timer3_Timer() {
    timers_.stop(RunTimer::Timer3);
    if (state_ != RunState::Configuring || over()) {
        return;
    }
    state_ = RunState::NoAnswer;
    status(Text::NoAnswer);
    page_.setStepPicture(3, StatusPicture::Failed);
    services_.listener.CloseListener();
    // Previous and Exit stay usable, so that the user has a way on.
    page_.setButtonsEnabled(true);
    ask({text(Text::NoAnswer), std::nullopt, MessageButtons::Ok, MessageIcon::None,
         services_.diagnose()});
}

void SetupRun::finish(Ipv4Address address, int doneText, int noteText) {
    const QPointer<SetupRun> self(this);
    const std::optional<ShortcutFailure> failure =
        services_.shortcuts.CreateShortcuts(address, QString::fromUtf8(chosenRecord().HostName));
    if (failure) {
        state_ = RunState::ShortcutsFailed;
        page_.setStepPicture(4, StatusPicture::Failed);
        page_.setStatusText(ShortcutFailureStatus(globals_.TextBase));
        page_.setButtonsEnabled(true);
        ask(ShortcutFailureMessage(globals_.TextBase, *failure));
        return;
    }
    page_.setStepPicture(4, StatusPicture::Done);
    status(doneText);
    page_.setButtonsEnabled(true);
    ask({text(noteText), text(Text::Warning), MessageButtons::Ok, MessageIcon::None});
    if (halted(self)) {
        return;
    }
    const MessageAnswer answer = ask({text(Text::OpenShortcutPrompt), text(Text::Warning),
                                      MessageButtons::OkCancel, MessageIcon::None});
    if (halted(self)) {
        return;
    }
    stop();
    if (answer != MessageAnswer::Ok) {
        flow_.endProgram();
        return;
    }
    // The program ends once the opener has answered, after telling what it could not open.
    state_ = RunState::Opening;
    services_.launcher.OpenDevice(address, [this, self](const OpenReport& report) {
        if (halted(self)) {
            return;
        }
        if (!report.allOpened()) {
            ask(OpenFailureMessage(globals_.TextBase, report));
            if (halted(self)) {
                return;
            }
        }
        stop();
        flow_.endProgram();
    });
}

void SetupRun::cmdPrevious_Click() {
    // While the shortcuts open the run has ended; only the program's end is to come.
    if (over() || state_ == RunState::Opening) {
        return;
    }
    globals_.clearDeviceTable();
    backToSetupMode();
}

void SetupRun::cmdExit_Click() {
    if (over()) {
        return;
    }
    if (flow_.confirmExit()) {
        stop();
    }
}

void SetupRun::backToSetupMode() {
    stop();
    flow_.showSetupModePage();
}

void SetupRun::stop() {
    if (state_ == RunState::Stopped) {
        return;
    }
    state_ = RunState::Stopped;
    for (const RunTimer timer : {RunTimer::Timer1, RunTimer::Timer2, RunTimer::Timer3}) {
        timers_.stop(timer);
    }
    services_.listener.CloseListener();
    services_.prober.cancelAll();
    search_.cancel();
}

} // namespace tarvex
