#include "run/SetupRun.h"

#include "appliance/ApplianceAddress.h"
#include "appliance/DeviceProtocol.h"
#include "base/Logging.h"
#include "probe/ProbingImpossible.h"
#include "run/CandidateAddresses.h"
#include "run/RunAdapters.h"
#include "run/RunMessages.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <algorithm>
#include <map>
#include <utility>

namespace tarvex {

SetupRun::SetupRun(int textBase, MessageAsker& dialogs, RunPage& page, RunDialogs& modals,
                   RunFlow& flow, RunTimers& timers, RunServices& services)
    : textBase_(textBase), dialogs_(dialogs), page_(page), modals_(modals), flow_(flow),
      timers_(timers), services_(services) {
    timers_.setTick(resume([this](RunTimer timer) {
        switch (timer) {
        case RunTimer::DiscoveryWindow:
            discoveryWindowEnded();
            break;
        case RunTimer::ScanStart:
            scanDue();
            break;
        case RunTimer::ConfigurationTimeout:
            configurationTimedOut();
            break;
        case RunTimer::DiscoveryRepeat:
            repeats_.tick();
            break;
        case RunTimer::AddressCheck:
            searches_.recheck();
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
    case RunState::CheckingAddress:
        return "making sure the found address is free";
    case RunState::Configuring:
        return "configuring";
    case RunState::Confirming:
        return "confirming the new address";
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
    case RunState::NotConfirmed:
        return "not confirmed";
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
    return CatalogText(textBase_, n);
}

void SetupRun::status(int n) {
    page_.setStatusText(text(n));
}

void SetupRun::ask(const Message& message, Answered then) {
    dialogs_.ask(message, resume(std::move(then)));
}

void SetupRun::pageLoaded() {
    page_.applyLookSettings();
    page_.setStepPicture(1, StatusPicture::InProgress);
    list_ = ApplianceList(services_.readAdapters());
    page_.setCaptions();
    page_.setButtonsEnabled(false);
    status(Text::Scanning);
    enter(RunState::Starting);
    page_.afterEventsRun(
        resume([this] { timers_.start(RunTimer::ScanStart, services_.intervals.scanStart); }));
}

void SetupRun::scanDue() {
    timers_.stop(RunTimer::ScanStart);
    if (state_ != RunState::Starting) {
        return;
    }
    enter(RunState::Scanning);
    if (!openListener()) {
        return;
    }
    // A request that could not be sent is told; the window runs its course as if it went out.
    tell(askEveryAdapter(), [this] {
        timers_.start(RunTimer::DiscoveryWindow, services_.intervals.discoveryWindow);
        repeats_.start(services_.intervals.discoveryWindow, [this] {
            // Told once, for the first request; a later one that fails is only logged.
            if (const auto failure = askEveryAdapter()) {
                qCDebug(lcRun) << "repeated discovery request not sent: errno" << failure->error;
            }
        });
    });
}

std::optional<BroadcastFailure> SetupRun::askEveryAdapter() {
    return BroadcastFromEach(services_.broadcaster, DiscoveryRequest(),
                             RequestSources(list_.adapters()));
}

bool SetupRun::openListener() {
    const std::optional<ListenerFailure> failure = services_.listener.OpenListener(
        resume([this](const ArrivedDatagram& datagram) { datagramArrived(datagram); }));
    if (!failure) {
        return true;
    }
    timers_.stop(RunTimer::ConfigurationTimeout);
    ask(ListenerFailureMessage(textBase_, *failure), [this](MessageAnswer) { backToSetupMode(); });
    return false;
}

void SetupRun::broadcast(const QByteArray& request, std::function<void()> then) {
    tell(services_.broadcaster.Broadcast(request, chosen_->network.address), std::move(then));
}

void SetupRun::tell(const std::optional<BroadcastFailure>& failure, std::function<void()> then) {
    if (!failure) {
        then();
        return;
    }
    ask(BroadcastFailureMessage(*failure), [then = std::move(then)](MessageAnswer) { then(); });
}

void SetupRun::datagramArrived(const ArrivedDatagram& datagram) {
    const ReplyKind kind = KindOfReply(datagram.bytes);
    if (state_ == RunState::Scanning && kind == ReplyKind::Discovery) {
        addRow(datagram);
    } else if (state_ == RunState::Configuring && kind == ReplyKind::Configure) {
        onConfigureReply(datagram);
    } else if (state_ == RunState::Confirming && kind != ReplyKind::Other) {
        onConfirmationReply(datagram);
    } else {
        qCDebug(lcRun) << "datagram dropped: not a reply the run waits for now, bytes"
                       << datagram.bytes.size();
    }
}

void SetupRun::addRow(const ArrivedDatagram& datagram) {
    if (!list_.add(datagram)) {
        return;
    }
    const qsizetype index = list_.rows().size() - 1;
    const std::optional<Ipv4Address> own = list_.rows()[index].ownAddress();
    if (!own) {
        // Listed as received, but never probed: "No", and choosing it gives it an address.
        return;
    }
    // Probe at once, inside the window, so that the list is ready when the window ends. While
    // as many batches run as the runner takes at once, the rows wait and go out together in
    // one batch, which costs one time-out however many they are.
    if (probeBatchesRunning_ < kRowProbeBatchesAtOnce) {
        probeRows({index});
    } else {
        rowsWaitingForProbe_.append(index);
    }
}

void SetupRun::probeRows(const QList<qsizetype>& rows) {
    // Each row through the adapter that heard it: one batch an adapter.
    std::map<unsigned, QList<qsizetype>> byInterface;
    for (const qsizetype row : rows) {
        byInterface[list_.rows()[row].interfaceIndex].append(row);
    }
    for (const auto& [interfaceIndex, batch] : byInterface) {
        QList<Ipv4Address> addresses;
        for (const qsizetype row : batch) {
            addresses.append(*list_.rows()[row].ownAddress());
        }
        ++probeBatchesRunning_;
        services_.prober.start(addresses,
                               resume([this, batch](const QList<ProbeOutcome>& outcomes) {
                                   onProbed(batch, outcomes);
                               }),
                               interfaceIndex);
    }
}

void SetupRun::onProbed(const QList<qsizetype>& rows, const QList<ProbeOutcome>& outcomes) {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ProbeOutcome outcome = outcomes.value(i);
        // An echo that could not be sent, or could not be tried at all, tells nothing: "No".
        list_.rows()[rows[i]].reachability =
            outcome.reachable() ? Reachability::Yes : Reachability::No;
        if (outcome.status == EchoStatus::Impossible && probingImpossibleError_ == 0) {
            probingImpossibleError_ = outcome.error == 0 ? -1 : outcome.error;
        }
    }
    --probeBatchesRunning_;
    if (!rowsWaitingForProbe_.isEmpty()) {
        probeRows(std::exchange(rowsWaitingForProbe_, {}));
    }
    if (state_ == RunState::Probing && probeBatchesRunning_ == 0) {
        showDeviceList();
    }
}

void SetupRun::discoveryWindowEnded() {
    timers_.stop(RunTimer::DiscoveryWindow);
    repeats_.stop();
    if (state_ == RunState::Confirming) {
        confirmationWindowEnded();
        return;
    }
    if (state_ != RunState::Scanning) {
        return;
    }
    services_.listener.CloseListener();
    status(Text::ScanComplete);
    if (list_.rows().isEmpty()) {
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
    if (probeBatchesRunning_ == 0) {
        showDeviceList();
    }
}

void SetupRun::showDeviceList() {
    enter(RunState::Choosing);
    // The free address is searched while the user reads the list.
    if (services_.searchWhileListIsRead) {
        searches_.begin(list_.rows());
    }
    if (probingImpossibleError_ != 0) {
        // Once for the whole list, not once a row.
        ask(ProbingImpossibleMessage(textBase_,
                                     probingImpossibleError_ < 0 ? 0 : probingImpossibleError_),
            [this](MessageAnswer) { openDeviceList(); });
        return;
    }
    openDeviceList();
}

void SetupRun::openDeviceList() {
    modals_.showDeviceList(list_.rows(), list_.severalAdapters(), list_.unlisted(),
                           resume([this](std::optional<qsizetype> chosen) {
                               page_.afterEventsRun(
                                   resume([this, chosen] { afterChoice(chosen); }));
                           }));
}

void SetupRun::afterChoice(std::optional<qsizetype> chosen) {
    if (!chosen || *chosen < 0 || *chosen >= list_.rows().size()) {
        // The list was closed without a choice.
        backToSetupMode();
        return;
    }
    // The chosen row's adapter serves the rest of the run: the search and the configuration.
    chosen_ = list_.rows()[*chosen];
    // Only an appliance reached at its own address is linked; any other gets an address.
    const std::optional<Ipv4Address> address = chosen_->ownAddress();
    if (chosen_->reachable()) {
        // Nothing more goes out for the searches begun with the list.
        searches_.cancel();
        services_.prober.cancelAll();
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

void SetupRun::searchAddress() {
    enter(RunState::SearchingAddress);
    const auto done = resume([this](const SearchResult& result) { onSearchDone(result); });
    if (searches_.take(chosen_->network, done)) {
        return;
    }
    const CandidateDraw draw = DrawCandidates(chosen_->network, services_.random);
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
    searches_.run(chosen_->network, chosen_->adapter, draw, done);
}

void SetupRun::pcNotConfigured() {
    ask({text(Text::PcNotConfigured), text(Text::Warning), MessageButtons::Ok, MessageIcon::None},
        [this](MessageAnswer) {
            stop();
            flow_.endProgram();
        });
}

void SetupRun::onSearchDone(const SearchResult& result) {
    if (state_ != RunState::SearchingAddress || tellSearchFailure(result)) {
        return;
    }
    newAddress_ = result.address;
    page_.setStatusText(text(Text::AddressFound) + newAddress_->text());
    page_.afterEventsRun(resume([this] { askCredentialsAndConfigure(); }));
}

bool SetupRun::tellSearchFailure(const SearchResult& result) {
    if (result.kind == SearchResult::Kind::ProbingImpossible ||
        result.kind == SearchResult::Kind::WatchImpossible) {
        // Nothing could be tested, so no address may be taken as free.
        ask(result.kind == SearchResult::Kind::ProbingImpossible
                ? ProbingImpossibleMessage(textBase_, result.error)
                : NeighbourWatchFailureMessage(textBase_, result.error),
            [this](MessageAnswer) { backToSetupMode(); });
        return true;
    }
    if (result.kind == SearchResult::Kind::NoneFree) {
        noFreeAddress();
        return true;
    }
    return false;
}

void SetupRun::onAddressChanged(const PcNetwork& network, std::optional<Ipv4Address> address) {
    if (!chosen_ || network != chosen_->network ||
        (state_ != RunState::AskingCredentials && state_ != RunState::CheckingAddress)) {
        return;
    }
    newAddress_ = address;
    if (address) {
        page_.setStatusText(text(Text::AddressFound) + address->text());
    } else {
        status(Text::SelectingAddress);
    }
}

void SetupRun::noFreeAddress() {
    enter(RunState::NoFreeAddress);
    status(Text::NoFreeAddress);
    ask({text(Text::NoFreeAddressBox), std::nullopt, MessageButtons::Ok, MessageIcon::None},
        [this](MessageAnswer) { backToSetupMode(); });
}

void SetupRun::askCredentialsAndConfigure() {
    enter(RunState::AskingCredentials);
    modals_.showCredentials(resume([this](std::optional<Credentials> credentials) {
        if (!credentials) {
            enter(RunState::Abandoned);
            backToSetupMode();
            return;
        }
        configure(*credentials);
    }));
}

void SetupRun::configure(const Credentials& credentials) {
    credentials_ = credentials;
    enter(RunState::CheckingAddress);
    searches_.confirm(resume([this](const SearchResult& result) { onConfirmed(result); }));
    if (state_ == RunState::CheckingAddress && newAddress_) {
        // The user was quicker than the asking: the rest of it is waited for.
        page_.setStatusText(AddedCatalogText(textBase_, AddedText::MakingSureAddressIsFree)
                                .arg(newAddress_->text()));
    }
}

void SetupRun::onConfirmed(const SearchResult& result) {
    if (state_ != RunState::CheckingAddress || tellSearchFailure(result)) {
        return;
    }
    newAddress_ = result.address;
    sendConfiguration();
}

void SetupRun::sendConfiguration() {
    const Credentials& credentials = *credentials_;
    timers_.start(RunTimer::ConfigurationTimeout, services_.intervals.configureTimeout);
    status(Text::Configuring);
    enter(RunState::Configuring);
    if (!openListener()) {
        return;
    }
    const PcNetwork& pc = chosen_->network;
    const ConfigureFields fields{*newAddress_, pc.mask, pc.gateway, credentials};
    // The credentials stay out of the log.
    qCDebug(lcRun) << "configuration request for" << chosen_->record.DeviceId.toHex() << "address"
                   << newAddress_->text() << "mask" << pc.mask.text() << "gateway"
                   << (pc.gateway ? pc.gateway->text() : QString()) << "from"
                   << (pc.address ? pc.address->text() : QString());
    // The run goes on in the reply handler or when its time-out ends.
    broadcast(ConfigureRequest(chosen_->record, fields), [] {});
}

void SetupRun::onConfigureReply(const ArrivedDatagram& datagram) {
    const QByteArray& reply = datagram.bytes;
    // Any host that heard the request can answer it, and the identifier travels in every
    // request: only an answer with the chosen identifier from the chosen appliance counts (the
    // sender of its discovery reply, or the address it is moving to), and the wait goes on for
    // it.
    if (!IsConfigureReplyOf(reply, chosen_->record.DeviceId)) {
        qCDebug(lcRun) << "configuration reply dropped: not from the chosen appliance, bytes"
                       << reply.size();
        return;
    }
    if (datagram.source != chosen_->sender && datagram.source != newAddress_) {
        qCWarning(lcRun) << "configuration reply dropped: it came from" << datagram.source.text()
                         << ", neither the chosen appliance nor its new address";
        return;
    }
    qCDebug(lcRun) << "configuration reply, status" << ConfigureStatusText(reply);
    timers_.stop(RunTimer::ConfigurationTimeout);
    // Configuring begins only once the search found the new address.
    if (ReadConfigureStatus(reply) == ConfigureStatus::Applied && newAddress_) {
        if (services_.confirmNewAddress) {
            confirmNewAddress();
            return;
        }
        services_.listener.CloseListener();
        configured();
        return;
    }
    services_.listener.CloseListener();
    // "1", and any other status, which would otherwise leave the page with no way on.
    enter(RunState::Refused);
    page_.setStepPicture(3, StatusPicture::Failed);
    status(Text::Refused);
    page_.setButtonsEnabled(true);
}

void SetupRun::confirmNewAddress() {
    // Any host that heard the request may have sent that "2", from the new address it took or
    // from a forged source: the listener stays open and the appliance is asked where it is now.
    enter(RunState::Confirming);
    confirmation_.emplace(chosen_->record.DeviceId, *newAddress_, chosen_->sender,
                          chosen_->network);
    confirmingSince_ = services_.now();
    endsEarly_ = false;
    timers_.start(RunTimer::DiscoveryWindow, services_.intervals.discoveryWindow);
    broadcast(DiscoveryRequest(), [] {});
}

void SetupRun::onConfirmationReply(const ArrivedDatagram& datagram) {
    const NewAddressConfirmation::Verdict verdict = confirmation_->hear(datagram);
    if (verdict == NewAddressConfirmation::Verdict::Contradicted) {
        notConfirmed();
        return;
    }
    if (!confirmation_->mayEndEarly() || endsEarly_) {
        return;
    }
    endsEarly_ = true;
    const auto open =
        std::chrono::duration_cast<std::chrono::milliseconds>(services_.now() - confirmingSince_);
    const std::chrono::milliseconds left =
        std::max(services_.intervals.discoveryWindow - open, std::chrono::milliseconds(0));
    timers_.start(RunTimer::DiscoveryWindow, std::min(kConfirmedQuietTime, left));
}

void SetupRun::confirmationWindowEnded() {
    services_.listener.CloseListener();
    if (confirmation_->verdict() == NewAddressConfirmation::Verdict::Confirmed) {
        qCDebug(lcRun) << "new address confirmed:" << newAddress_->text();
    } else {
        // An appliance silent after its "2" is configured as before; only the log tells.
        qCWarning(lcRun) << "new address unconfirmed: no discovery reply of the appliance from"
                         << newAddress_->text() << "within the window";
    }
    configured();
}

void SetupRun::configured() {
    enter(RunState::Configured);
    page_.setStepPicture(3, StatusPicture::Done);
    status(Text::Configured);
    finish(*newAddress_, Text::ConfiguredDone, Text::ConfiguredNote);
}

void SetupRun::notConfirmed() {
    timers_.stop(RunTimer::DiscoveryWindow);
    services_.listener.CloseListener();
    enter(RunState::NotConfirmed);
    page_.setStepPicture(3, StatusPicture::Failed);
    const QString told = AddedCatalogText(textBase_, AddedText::NewAddressNotConfirmed);
    page_.setStatusText(told);
    page_.setButtonsEnabled(true);
    ask({told, std::nullopt, MessageButtons::Ok, MessageIcon::None});
}

void SetupRun::configurationTimedOut() {
    timers_.stop(RunTimer::ConfigurationTimeout);
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
    // A write under way when the run stops still ends whole; only its answer is dropped.
    services_.shortcuts.start(
        address, QString::fromUtf8(chosen_->record.HostName),
        resume([this, address, doneText, noteText](const std::optional<ShortcutFailure>& failure) {
            shortcutsWritten(address, doneText, noteText, failure);
        }));
}

void SetupRun::shortcutsWritten(Ipv4Address address, int doneText, int noteText,
                                const std::optional<ShortcutFailure>& failure) {
    if (failure) {
        enter(RunState::ShortcutsFailed);
        page_.setStepPicture(4, StatusPicture::Failed);
        page_.setStatusText(ShortcutFailureStatus(textBase_));
        page_.setButtonsEnabled(true);
        ask(ShortcutFailureMessage(textBase_, *failure));
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
                                              ask(OpenFailureMessage(textBase_, report),
                                                  [this](MessageAnswer) { endAfterOpening(); });
                                          }));
        });
}

void SetupRun::endAfterOpening() {
    stop();
    flow_.endProgram();
}

void SetupRun::previousClicked() {
    // While the shortcuts open only the program's end is to come.
    if (state_ == RunState::Stopped || state_ == RunState::Opening) {
        return;
    }
    backToSetupMode();
}

void SetupRun::exitClicked() {
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
    for (const RunTimer timer :
         {RunTimer::DiscoveryWindow, RunTimer::ScanStart, RunTimer::ConfigurationTimeout}) {
        timers_.stop(timer);
    }
    repeats_.stop();
    services_.listener.CloseListener();
    services_.prober.cancelAll();
    timers_.stop(RunTimer::AddressCheck);
    searches_.cancel();
}

} // namespace tarvex
