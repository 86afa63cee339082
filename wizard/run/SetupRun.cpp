#include "run/SetupRun.h"

#include "modules/Logging.h"
#include "modules/mdUtility2.h"
#include "resources/TextCatalog.h"
#include "run/ApplianceAddress.h"
#include "run/CandidateAddresses.h"
#include "run/DeviceProtocol.h"
#include "run/RunMessages.h"

namespace tarvex {

SetupRun::SetupRun(WizardGlobals& globals, Dialogs& dialogs, RunPage& page, RunDialogs& modals,
                   RunFlow& flow, RunTimers& timers, RunServices& services)
    : globals_(globals), dialogs_(dialogs), page_(page), modals_(modals), flow_(flow),
      timers_(timers), services_(services) {
    timers_.setTick(resume([this](RunTimer timer) {
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
    }));
}

SetupRun::~SetupRun() {
    stop();
    timers_.setTick({});
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

void SetupRun::enter(RunState state) {
    qCDebug(lcRun) << "run:" << RunStateName(state);
    state_ = state;
}

const char* RunStateName(RunState state) {
    switch (state) {
    case RunState::Starting:
        return "starting";
    case RunState::Scanning:
        return "scanning";
    case RunState::Probing:
        return "waiting for the reachability probes";
    case RunState::Choosing:
        return "device list";
    case RunState::SearchingAddress:
        return "searching a free address";
    case RunState::AskingCredentials:
        return "credentials";
    case RunState::Configuring:
        return "configuring";
    case RunState::Reachable:
        return "reachable";
    case RunState::Configured:
        return "configured";
    case RunState::NoApplianceFound:
        return "no appliance found";
    case RunState::NoFreeAddress:
        return "no free address";
    case RunState::Abandoned:
        return "abandoned";
    case RunState::Refused:
        return "refused";
    case RunState::NoAnswer:
        return "no answer";
    case RunState::ShortcutsFailed:
        return "shortcuts failed";
    case RunState::Opening:
        return "opening the shortcuts";
    case RunState::Stopped:
        return "stopped";
    }
    return "?";
}

QString SetupRun::text(int n) const {
    return CatalogText(globals_.TextBase, n);
}

void SetupRun::status(int n) {
    page_.setStatusText(text(n));
}

void SetupRun::ask(const Message& message, Answered then) {
    dialogs_.ask(message, resume(std::move(then)));
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
    enter(RunState::Starting);
    page_.afterEventsRun(
        resume([this] { timers_.start(RunTimer::Timer2, services_.intervals.scanStart); }));
}

void SetupRun::Timer2_Timer() {
    timers_.stop(RunTimer::Timer2);
    if (state_ != RunState::Starting) {
        return;
    }
    enter(RunState::Scanning);
    if (!openListener()) {
        return;
    }
    // A request that could not be sent is told; the window runs its course as if it went out.
    tell(BroadcastFromEach(services_.broadcaster, DiscoveryRequest(),
                           adapters_.sources(globals_.PcAddress)),
         [this] { timers_.start(RunTimer::Timer1, services_.intervals.discoveryWindow); });
}

bool SetupRun::openListener() {
    const std::optional<ListenerFailure> failure =
        services_.listener.OpenListener(resume([this](const ArrivedDatagram& datagram) {
            Winsock1_DataArrival(datagram.bytes, datagram.interfaceIndex);
        }));
    if (!failure) {
        return true;
    }
    timers_.stop(RunTimer::Timer3);
    ask(ListenerFailureMessage(globals_.TextBase, *failure),
        [this](MessageAnswer) { backToSetupMode(); });
    return false;
}

void SetupRun::broadcast(const QByteArray& request, std::function<void()> then) {
    tell(services_.broadcaster.Broadcast(request, globals_.PcAddress), std::move(then));
}

void SetupRun::tell(const std::optional<BroadcastFailure>& failure, std::function<void()> then) {
    if (!failure) {
        then();
        return;
    }
    ask(BroadcastFailureMessage(*failure), [then = std::move(then)](MessageAnswer) { then(); });
}

void SetupRun::Winsock1_DataArrival(const QByteArray& datagram, unsigned interfaceIndex) {
    const ReplyKind kind = KindOfReply(datagram);
    if (state_ == RunState::Scanning && kind == ReplyKind::Discovery) {
        // The table holds 11 records; later replies are dropped before they are cut.
        if (globals_.LastDeviceIndex + 1 >= kDeviceTableSize) {
            qCDebug(lcRun) << "discovery reply dropped: the table holds" << kDeviceTableSize;
            return;
        }
        ReplyCut cut = CutDiscoveryReply(datagram);
        if (!cut.record) {
            qCDebug(lcRun) << "discovery reply dropped:" << CutRefusalText(cut);
            return;
        }
        std::optional<DeviceRecord>& record = cut.record;
        // With several adapters, an appliance heard on one already is dropped here.
        const auto heardBy =
            adapters_.admit(*record, interfaceIndex, {globals_.PcAddress, globals_.PcMask, {}});
        if (!heardBy) {
            qCDebug(lcRun) << "discovery reply dropped: the appliance was heard on another adapter";
            return;
        }
        const qsizetype index = ++globals_.LastDeviceIndex;
        const std::optional<Ipv4Address> address =
            ApplianceAddress(*record, heardBy->address, heardBy->mask);
        qCDebug(lcRun) << "discovery reply kept as record" << index << "identifier"
                       << record->DeviceId.toHex() << "address" << record->IpAddress
                       << (address ? "(probed)" : "(not a host address: never probed)");
        globals_.DeviceTable[static_cast<std::size_t>(index)] = std::move(*record);
        addresses_.append(address);
        if (!address) {
            // Listed as received, but never probed: "No", and choosing it gives it an address.
            reachability_.append(Reachability::No);
            return;
        }
        // Probe at once, inside the window, so that the list is ready when the window ends.
        reachability_.append(Reachability::No);
        ++probesRunning_;
        services_.prober.start({address->text()},
                               resume([this, index](const QList<ProbeOutcome>& outcomes) {
                                   onProbed(index, outcomes);
                               }));
    } else if (state_ == RunState::Configuring && kind == ReplyKind::Configure) {
        qCDebug(lcRun) << "configuration reply, status byte" << datagram.mid(22, 1);
        onConfigureReply(datagram);
    } else {
        qCDebug(lcRun) << "datagram dropped: not a reply the run waits for now, bytes"
                       << datagram.size();
    }
}

void SetupRun::onProbed(qsizetype record, const QList<ProbeOutcome>& outcomes) {
    const ProbeOutcome outcome = outcomes.value(0);
    // An echo that could not be sent, or could not be tried at all, tells nothing: "No".
    reachability_[record] = outcome.reachable() ? Reachability::Yes : Reachability::No;
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
    if (state_ != RunState::Scanning) {
        return;
    }
    services_.listener.CloseListener();
    status(Text::ScanComplete);
    globals_.SelectedDevice = -1;
    if (globals_.LastDeviceIndex < 0) {
        enter(RunState::NoApplianceFound);
        status(Text::ScanNothing);
        page_.setStepPicture(1, StatusPicture::Failed);
        ask({text(Text::ScanNothingBox), std::nullopt, MessageButtons::Ok, MessageIcon::None,
             services_.diagnose()},
            [this](MessageAnswer) { backToSetupMode(); });
        return;
    }
    page_.setStepPicture(1, StatusPicture::Done);
    enter(RunState::Probing);
    if (probesRunning_ == 0) {
        showDeviceList();
    }
}

void SetupRun::showDeviceList() {
    enter(RunState::Choosing);
    if (probingImpossibleError_ != 0) {
        // Once for the whole list, not once a row.
        ask(ProbingImpossibleMessage(globals_.TextBase,
                                     probingImpossibleError_ < 0 ? 0 : probingImpossibleError_),
            [this](MessageAnswer) { openDeviceList(); });
        return;
    }
    openDeviceList();
}

void SetupRun::openDeviceList() {
    modals_.showDeviceList(reachability_, adapters_.rowAdapters(), resume([this] {
                               page_.afterEventsRun(resume([this] { afterChoice(); }));
                           }));
}

void SetupRun::afterChoice() {
    const qint16 chosen = globals_.SelectedDevice;
    if (chosen < 0 || chosen > globals_.LastDeviceIndex) {
        // The list was closed without a choice.
        backToSetupMode();
        return;
    }
    adapters_.choose(chosen, globals_);
    // Only an address that counts is linked; any other row gets an address of its own.
    const std::optional<Ipv4Address> address = addresses_.value(chosen);
    if (globals_.SelectedReachable && address) {
        enter(RunState::Reachable);
        status(Text::Reachable);
        page_.setStepPicture(2, StatusPicture::Done);
        page_.setStepPicture(3, StatusPicture::Done);
        page_.afterEventsRun(resume([this, address = *address] {
            finish(address, Text::ReachableDone, Text::ShortcutsNote);
        }));
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
    enter(RunState::SearchingAddress);
    const CandidateDraw draw =
        DrawCandidates(globals_.PcAddress, globals_.PcMask, services_.random);
    if (draw.problem == CandidateProblem::AddressInvalid) {
        ask({QStringLiteral("Your PC's IP address settings are invalid or not available."),
             std::nullopt, MessageButtons::Ok, MessageIcon::None},
            [this](MessageAnswer) { pcNotConfigured(); });
        return;
    }
    if (draw.problem != CandidateProblem::None) {
        pcNotConfigured();
        return;
    }
    if (draw.candidates.isEmpty()) {
        noFreeAddress();
        return;
    }
    search_.start(draw.candidates, draw.pcAddress,
                  resume([this](const SearchResult& result) { onSearchDone(result); }));
}

void SetupRun::pcNotConfigured() {
    ask({text(Text::PcNotConfigured), text(Text::Warning), MessageButtons::Ok, MessageIcon::None},
        [this](MessageAnswer) {
            stop();
            flow_.endProgram();
        });
}

void SetupRun::onSearchDone(const SearchResult& result) {
    if (state_ != RunState::SearchingAddress) {
        return;
    }
    if (result.kind == SearchResult::Kind::ProbingImpossible ||
        result.kind == SearchResult::Kind::WatchImpossible) {
        // Nothing could be tested, so no address may be taken as free.
        ask(result.kind == SearchResult::Kind::ProbingImpossible
                ? ProbingImpossibleMessage(globals_.TextBase, result.error)
                : NeighbourWatchFailureMessage(globals_.TextBase, result.error),
            [this](MessageAnswer) { backToSetupMode(); });
        return;
    }
    if (result.kind == SearchResult::Kind::NoneFree) {
        noFreeAddress();
        return;
    }
    newAddress_ = result.address;
    page_.setStatusText(text(Text::AddressFound) + NewAddress());
    page_.afterEventsRun(resume([this] { askCredentialsAndConfigure(); }));
}

void SetupRun::noFreeAddress() {
    enter(RunState::NoFreeAddress);
    status(Text::NoFreeAddress);
    ask({text(Text::NoFreeAddressBox), std::nullopt, MessageButtons::Ok, MessageIcon::None},
        [this](MessageAnswer) { backToSetupMode(); });
}

void SetupRun::askCredentialsAndConfigure() {
    enter(RunState::AskingCredentials);
    modals_.showCredentials(
        resume([this](RunDialogs::CredentialsOutcome outcome) { onCredentials(outcome); }));
}

void SetupRun::onCredentials(RunDialogs::CredentialsOutcome outcome) {
    if (outcome == RunDialogs::CredentialsOutcome::Abandoned) {
        enter(RunState::Abandoned);
        backToSetupMode();
        return;
    }
    timers_.start(RunTimer::Timer3, services_.intervals.configureTimeout);
    status(Text::Configuring);
    enter(RunState::Configuring);
    if (!openListener()) {
        return;
    }
    const ConfigureFields fields{NewAddress(), globals_.PcMask, globals_.PcGateway,
                                 globals_.UserName, globals_.Password};
    // The credentials stay out of the log.
    qCDebug(lcRun) << "configuration request for" << chosenRecord().DeviceId.toHex() << "address"
                   << NewAddress() << "mask" << globals_.PcMask << "gateway" << globals_.PcGateway
                   << "from" << globals_.PcAddress;
    // The run goes on in the reply handler or in the Timer3 tick.
    broadcast(ConfigureRequest(chosenRecord(), fields), [] {});
}

void SetupRun::onConfigureReply(const QByteArray& reply) {
    // The first configuration reply ends the wait; nothing after it is received.
    timers_.stop(RunTimer::Timer3);
    services_.listener.CloseListener();
    // Configuring begins only once the search found the new address.
    if (ReadConfigureStatus(reply) == ConfigureStatus::Applied && newAddress_) {
        enter(RunState::Configured);
        page_.setStepPicture(3, StatusPicture::Done);
        status(Text::Configured);
        finish(*newAddress_, Text::ConfiguredDone, Text::ConfiguredNote);
        return;
    }
    // "1", and any other status, which would otherwise leave the page with no way on.
    enter(RunState::Refused);
    page_.setStepPicture(3, StatusPicture::Failed);
    status(Text::Refused);
    page_.setButtonsEnabled(true);
}

void SetupRun::Timer3_Timer() {
    timers_.stop(RunTimer::Timer3);
    if (state_ != RunState::Configuring) {
        return;
    }
    enter(RunState::NoAnswer);
    status(Text::NoAnswer);
    page_.setStepPicture(3, StatusPicture::Failed);
    services_.listener.CloseListener();
    // Previous and Exit stay usable, so that the user has a way on.
    page_.setButtonsEnabled(true);
    ask({text(Text::NoAnswer), std::nullopt, MessageButtons::Ok, MessageIcon::None,
         services_.diagnose()});
}

void SetupRun::finish(Ipv4Address address, int doneText, int noteText) {
    const std::optional<ShortcutFailure> failure =
        services_.shortcuts.CreateShortcuts(address, QString::fromUtf8(chosenRecord().HostName));
    if (failure) {
        enter(RunState::ShortcutsFailed);
        page_.setStepPicture(4, StatusPicture::Failed);
        page_.setStatusText(ShortcutFailureStatus(globals_.TextBase));
        page_.setButtonsEnabled(true);
        ask(ShortcutFailureMessage(globals_.TextBase, *failure));
        return;
    }
    page_.setStepPicture(4, StatusPicture::Done);
    status(doneText);
    page_.setButtonsEnabled(true);
    ask({text(noteText), text(Text::Warning), MessageButtons::Ok, MessageIcon::None},
        [this, address](MessageAnswer) { closingQuestion(address); });
}

void SetupRun::closingQuestion(Ipv4Address address) {
    ask({text(Text::OpenShortcutPrompt), text(Text::Warning), MessageButtons::OkCancel,
         MessageIcon::None},
        [this, address](MessageAnswer answer) {
            if (answer != MessageAnswer::Ok) {
                stop();
                flow_.endProgram();
                return;
            }
            // The program ends once the opener has answered, after telling what it could not
            // open. Nothing else of the run happens meanwhile: Previous, Exit, Enter and Esc
            // are off.
            enter(RunState::Opening);
            page_.setButtonsEnabled(false);
            services_.launcher.OpenDevice(address, resume([this](const OpenReport& report) {
                                              if (report.allOpened()) {
                                                  endAfterOpening();
                                                  return;
                                              }
                                              ask(OpenFailureMessage(globals_.TextBase, report),
                                                  [this](MessageAnswer) { endAfterOpening(); });
                                          }));
        });
}

void SetupRun::endAfterOpening() {
    stop();
    flow_.endProgram();
}

void SetupRun::cmdPrevious_Click() {
    // While the shortcuts open only the program's end is to come.
    if (state_ == RunState::Stopped || state_ == RunState::Opening) {
        return;
    }
    globals_.clearDeviceTable();
    backToSetupMode();
}

void SetupRun::cmdExit_Click() {
    if (state_ == RunState::Stopped || state_ == RunState::Opening) {
        return;
    }
    // OK ends the program; the answer then finds the run over and stops it.
    flow_.confirmExit(resume([](bool /*programEnded*/) {}));
}

void SetupRun::backToSetupMode() {
    stop();
    flow_.showSetupModePage();
}

void SetupRun::stop() {
    if (state_ == RunState::Stopped) {
        return;
    }
    enter(RunState::Stopped);
    for (const RunTimer timer : {RunTimer::Timer1, RunTimer::Timer2, RunTimer::Timer3}) {
        timers_.stop(timer);
    }
    services_.listener.CloseListener();
    services_.prober.cancelAll();
    search_.cancel();
}

} // namespace tarvex
