#pragma once

#include "appliance/ApplianceList.h"
#include "appliance/Credentials.h"
#include "base/Dialogs.h"
#include "net/Ipv4Address.h"
#include "net/ReplyListener.h"
#include "run/DiscoveryRepeats.h"
#include "run/FreeAddressSearch.h"
#include "run/NewAddressConfirmation.h"
#include "run/RunAdapters.h"
#include "run/RunDialogs.h"
#include "run/RunFlow.h"
#include "run/RunPage.h"
#include "run/RunServices.h"
#include "run/RunTimers.h"
#include "run/SearchesAhead.h"

#include <QList>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace tarvex {

// How many probe batches of the list's rows run at once, as many as the runner takes.
inline constexpr int kRowProbeBatchesAtOnce = 32;

// How long after the appliance answered from its new address the window stays open for a
// contradiction: its own reply, like any host's, comes within a few milliseconds of the request.
inline constexpr std::chrono::milliseconds kConfirmedQuietTime{500};

// Where a setup run stands.
enum class RunState {
    Starting,         // page loaded, waiting for the scan to start
    Scanning,         // discovery broadcast sent, listener open
    Probing,          // window over, waiting for the reachability probes still running
    Choosing,         // device list shown
    SearchingAddress, // candidates probed, their resolution watched
    AskingCredentials,
    CheckingAddress, // waiting until the asking shows the found address free right now
    Configuring,     // configuration broadcast sent, its time-out running
    Confirming,      // "2" heard, the appliance asked where it is now: one discovery window
    Reachable,
    Configured,
    NoApplianceFound,
    NoFreeAddress,
    Abandoned,
    Refused,
    NotConfirmed, // "2" heard, but the appliance was heard at another address, or said "1"
    NoAnswer,
    ShortcutsFailed, // the page stays with Previous and Exit
    Opening,         // the shortcuts are being opened; the program ends when the opener answers
    Stopped,         // Step 4 closed or the program ended: nothing more happens
};

// The state's name, for the log.
[[nodiscard]] const char* RunStateName(RunState state);

// The setup run of Step 4: scan, choice, reachability, free address, credentials,
// configuration and shortcuts. Plain logic behind small interfaces, so it runs the same under
// the real page and under tests. It never waits inside a call: every wait (timers, probes,
// replies, modal pages, message boxes, a repaint) returns to the event loop, which calls the run
// back through resume().
//
// What the scan found is one ApplianceRow per appliance, in arrival order; the list page is given
// them and answers with the chosen one. The effects are the page's texts and pictures, the
// boxes asked (never one that waits), the two requests, the probes and the search, the
// shortcuts and the opener.
class SetupRun final {
public:
    // textBase: the language of the run's texts and boxes.
    SetupRun(int textBase, MessageAsker& dialogs, RunPage& page, RunDialogs& modals, RunFlow& flow,
             RunTimers& timers, RunServices& services);
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    // The page's load: empties the device table, reads the adapter, starts the scan's timer.
    void pageLoaded();

    void discoveryWindowEnded();
    void scanDue();
    void configurationTimedOut();
    void datagramArrived(const ArrivedDatagram& datagram);
    void previousClicked();
    void exitClicked();
    // Step 4 is closing (its close box, or the program ends): stop without another step.
    void stop();

    [[nodiscard]] RunState state() const { return state_; }
    [[nodiscard]] const QList<ApplianceRow>& rows() const { return list_.rows(); }
    // The address the search found for the chosen appliance.
    [[nodiscard]] std::optional<Ipv4Address> newAddress() const { return newAddress_; }

private:
    using Answered = std::function<void(MessageAnswer answer)>;

    // Wraps a step that the event loop calls later. The one place where the run checks that it
    // may go on: the run still exists, has not stopped, and the program has not ended meanwhile.
    template <typename Step> [[nodiscard]] auto resume(Step step) {
        return [this, alive = std::weak_ptr<const bool>(alive_),
                step = std::move(step)](auto&&... arguments) {
            if (alive.expired() || over()) {
                return;
            }
            step(std::forward<decltype(arguments)>(arguments)...);
        };
    }
    [[nodiscard]] bool over();
    [[nodiscard]] QString text(int n) const;
    // Moves the run to `state`, and logs it.
    void enter(RunState state);
    void status(int n);
    // Shows the box; `then` runs once it is answered.
    void ask(
        const Message& message, Answered then = [](MessageAnswer) {});
    [[nodiscard]] bool openListener();
    // Sends the discovery request from every adapter; the first failure.
    [[nodiscard]] std::optional<BroadcastFailure> askEveryAdapter();
    // Sends the request; a failure is shown first, then the run goes on as if it had been sent.
    void broadcast(const QByteArray& request, std::function<void()> then);
    // Tells a request that could not be sent, then goes on as if it had been.
    void tell(const std::optional<BroadcastFailure>& failure, std::function<void()> then);
    // Makes the reply the next row (the list tells the log why not) and probes it.
    void addRow(const ArrivedDatagram& datagram);
    void probeRows(const QList<qsizetype>& rows);
    void onProbed(const QList<qsizetype>& rows, const QList<ProbeOutcome>& outcomes);
    void showDeviceList();
    void openDeviceList();
    void afterChoice(std::optional<qsizetype> chosen);
    void searchAddress();
    // Text 740, then the program ends.
    void pcNotConfigured();
    void onSearchDone(const SearchResult& result);
    void noFreeAddress();
    void askCredentialsAndConfigure();
    // Sends the request once the found address, asked all along, is free right now.
    void configure(const Credentials& credentials);
    void onConfirmed(const SearchResult& result);
    // A sign of life took the chosen adapter's address (nothing), or a new one was found.
    void onAddressChanged(const PcNetwork& network, std::optional<Ipv4Address> address);
    // Why no free address can be had, told; false when one was found.
    [[nodiscard]] bool tellSearchFailure(const SearchResult& result);
    void sendConfiguration();
    void onConfigureReply(const ArrivedDatagram& datagram);
    // Asks the appliance, once, where it is now; the run waits one discovery window for it.
    void confirmNewAddress();
    void onConfirmationReply(const ArrivedDatagram& datagram);
    void confirmationWindowEnded();
    void configured();
    void notConfirmed();
    // Writes the shortcuts off the window's thread; the run goes on once they are written.
    void finish(Ipv4Address address, int doneText, int noteText);
    // The note and the closing question, and the program's end; or the failure told.
    void shortcutsWritten(Ipv4Address address, int doneText, int noteText,
                          const std::optional<ShortcutFailure>& failure);
    // Opens the shortcuts when asked to; the program ends once the opener has answered.
    void closingQuestion(Ipv4Address address);
    void endAfterOpening();
    void backToSetupMode();

    int textBase_;
    MessageAsker& dialogs_;
    RunPage& page_;
    RunDialogs& modals_;
    RunFlow& flow_;
    RunTimers& timers_;
    RunServices& services_;

    RunState state_ = RunState::Starting;
    ApplianceList list_;                    // what the scan found, in arrival order
    std::optional<ApplianceRow> chosen_;    // the row chosen on the list
    std::optional<Ipv4Address> newAddress_; // found by the search
    std::optional<Credentials>
        credentials_; // as entered, kept should the address be searched again
    std::optional<NewAddressConfirmation> confirmation_; // from the "2" on
    std::chrono::steady_clock::time_point confirmingSince_;
    bool endsEarly_ = false; // the window was shortened once the new address answered
    int probeBatchesRunning_ = 0;
    QList<qsizetype> rowsWaitingForProbe_; // their probe goes out once a batch has answered
    int probingImpossibleError_ = 0;       // errno (-1 when unknown) of the first impossible probe
    SearchesAhead searches_{
        services_.prober, services_.neighbours, services_.random,
        SearchesAhead::Hooks{
            [this] { return services_.now(); }, [this] { return !over(); }, services_.newTableWatch,
            [this](std::chrono::milliseconds wait) { timers_.start(RunTimer::AddressCheck, wait); },
            [this](const PcNetwork& network, std::optional<Ipv4Address> address) {
                onAddressChanged(network, address);
            }}};
    // Expires with the run: a call the event loop makes after that finds it gone.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    DiscoveryRepeats repeats_{timers_};
};

} // namespace tarvex
