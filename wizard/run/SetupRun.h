#pragma once

#include "modules/Dialogs.h"
#include "modules/Globals.h"
#include "modules/Ipv4Address.h"
#include "run/FreeAddressSearch.h"
#include "run/RunAdapters.h"
#include "run/RunDialogs.h"
#include "run/RunFlow.h"
#include "run/RunPage.h"
#include "run/RunServices.h"
#include "run/RunTimers.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarvex {

// Where a setup run stands.
enum class RunState {
    Starting,         // page loaded, waiting for Timer2
    Scanning,         // discovery broadcast sent, listener open
    Probing,          // window over, waiting for the reachability probes still running
    Choosing,         // device list shown
    SearchingAddress, // candidates probed, their resolution watched
    AskingCredentials,
    Configuring, // configuration broadcast sent, Timer3 running
    Reachable,
    Configured,
    NoApplianceFound,
    NoFreeAddress,
    Abandoned,
    Refused,
    NoAnswer,
    ShortcutsFailed, // the page stays with Previous and Exit
    Opening,         // the shortcuts are being opened; the program ends when the opener answers
    Stopped,         // Step 4 closed or the program ended: nothing more happens
};

// The setup run of Step 4: scan, choice, reachability, free address, credentials,
// configuration and shortcuts. Plain logic behind small interfaces, so it runs the same under
// the real page and under tests. Every wait (timers, probes, replies) returns to the event loop;
// after every modal window or message box it checks whether the program ended meanwhile.
class SetupRun final : public QObject {
    Q_OBJECT
public:
    SetupRun(WizardGlobals& globals, Dialogs& dialogs, RunPage& page, RunDialogs& modals,
             RunFlow& flow, RunTimers& timers, RunServices& services);
    ~SetupRun() override;
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    // The page's load: empties the device table, reads the adapter, starts Timer2.
    void Form_Load();

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    // interfaceIndex: the interface the datagram came in by (0: unknown).
    void Winsock1_DataArrival(const QByteArray& datagram, unsigned interfaceIndex = 0);
    void cmdPrevious_Click();
    void cmdExit_Click();
    // Step 4 is closing (its close box, or the program ends): stop without another step.
    void stop();

    [[nodiscard]] RunState state() const { return state_; }
    [[nodiscard]] const QString& NewAddress() const { return newAddress_; }
    [[nodiscard]] const QStringList& reachableCells() const { return reachableCells_; }

private:
    [[nodiscard]] QString text(int n) const;
    // True when the run must not go on: it stopped, or the program ended meanwhile.
    [[nodiscard]] bool over();
    // After a wait: the run object is gone (its page was deleted inside a modal window's event
    // loop), it stopped, or the program ended.
    [[nodiscard]] static bool halted(const QPointer<SetupRun>& run);
    void status(int n);
    MessageAnswer ask(const Message& message);
    [[nodiscard]] bool openListener();
    void onProbed(qsizetype record, const QList<ProbeOutcome>& outcomes);
    void showDeviceList();
    void afterChoice();
    [[nodiscard]] const DeviceRecord& chosenRecord() const;
    void searchAddress();
    void onSearchDone(const SearchResult& result);
    void noFreeAddress();
    void askCredentialsAndConfigure();
    void onConfigureReply(const QByteArray& reply);
    // Writes the shortcuts, then the note and the closing question, opens the shortcuts when
    // asked to, and ends the program.
    void finish(Ipv4Address address, int doneText, int noteText);
    void backToSetupMode();

    WizardGlobals& globals_;
    Dialogs& dialogs_;
    RunPage& page_;
    RunDialogs& modals_;
    RunFlow& flow_;
    RunTimers& timers_;
    RunServices& services_;

    RunState state_ = RunState::Starting;
    QString newAddress_;
    QStringList reachableCells_; // one per record, filled as the probes answer
    // One per record: its reported address, parsed once, when it counts (ApplianceAddress);
    // only these are probed, linked and opened.
    QList<std::optional<Ipv4Address>> addresses_;
    int probesRunning_ = 0;
    int probingImpossibleError_ = 0; // errno (-1 when unknown) of the first impossible probe
    FreeAddressSearch search_{services_.prober, services_.neighbours};
    RunAdapters adapters_; // the adapters asked through, and each row's
};

} // namespace tarvex
