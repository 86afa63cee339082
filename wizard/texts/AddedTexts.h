#pragma once

#include <QString>

namespace tarvex {

// Texts the wizard shows beyond the catalog: messages for failures the catalog has no text for,
// captions and names added since. Each has an English and a Traditional Chinese text, chosen by
// the text base like every catalog text. Placeholders (%1, %2) are filled by the caller.
enum class AddedText {
    PortInUse, // %1: the port
    PortInUseAdvice,
    ShortcutNotCreated,
    ShortcutAdvice,
    ShortcutStatus,
    ProbingNotAllowed, // %1: the error number, %2: " " and its text, or nothing
    ProbingFixes,
    OpenFailed,
    OpenerMissing,
    SharesNotOpened,   // %1: how the application ended, one of the two below
    WebPagesNotOpened, // %1: likewise
    OpenLater,
    OpenerExitStatus, // %1: the exit status
    OpenerNoExitStatus,
    SharesNoHandler,
    WebPagesNoHandler,
    NoDisplay,    // %1: the program
    HelpNotes,    // below the options of --help: what the network protocol cannot protect
    PicturePower, // accessible names of the step pictures
    PictureCabling,
    PictureWelcome,
    NeighboursUnreadable, // %1: the error number, %2: its text
    NeighboursAdvice,
    // What --diagnose tells: each finding (%1: the interface or interfaces), then its fix.
    DiagnosisNoAdapter,
    DiagnosisNoAdapterFix,
    DiagnosisNoCarrier,
    DiagnosisNoCarrierFix,
    DiagnosisTunnelRoute,
    DiagnosisTunnelRouteFix,
    DiagnosisStrictReversePath,
    DiagnosisStrictReversePathFix,
    DiagnosisFirewallActive, // %1: the firewall's name
    DiagnosisProbingNotPermitted,
    DiagnosisProbeWay, // %1: one of the four ways below
    ProbeWayDatagramSocket,
    ProbeWayRawSocket,
    ProbeWaySystemPing,
    ProbeWayNone,
    DiagnosisWireless,
    DiagnosisWirelessFix,
    DiagnosisSkippedBridges,
    DiagnosisSkippedBridgesFix,
    DiagnosisNoResolutionRequests, // %1: the interface
    DiagnosisNoResolutionRequestsFix,
    DiagnosisDaemonResolution, // %1: the interface
    DiagnosisDaemonResolutionFix,
    DiagnosisNothingFound,
    DiagnosisFixLine, // %1: the fix, indented under its finding
    AdapterColumn,    // the device list's column naming the adapter a reply came by
    // The command line: its help, its complaints, and what --scan writes.
    CommandLineAbout,
    OptionScan,
    OptionJson,
    OptionDiagnose,
    OptionHelp,
    OptionVersion,
    UnexpectedArgument, // %1: the argument
    OneCommandOnly,
    ScanNoAdapter,
    ScanNoAnswer,
    ScanProbingImpossible,
    ScanIdentifierColumn,
    ScanReachableYes,
    ScanReachableNo,
    ScanReachableUnknown, // an appliance that could not be probed
    // One wizard a user: what a second start and a scan beside the open wizard say, and who
    // holds the reply port.
    WizardAlreadyOpen, // %1: the program
    ScanWizardOpen,    // %1: the reply port
    PortHeldBy,        // %1: the program holding the port, %2: its process id
    // What a screen reader says of a step picture of the running-status page.
    StepNotStarted,
    StepUnderWay,
    StepDone,
    StepFailed,
    InstructionsName, // what a screen reader calls the text box of Steps 0 to 2
    // The found address is still being asked when Next is pressed on the credentials page.
    MakingSureAddressIsFree, // %1: the address
    // A start whose window system failed for another reason than the want of a display.
    WindowSystemFailed, // %1: the program, %2: Qt's words
    // The appliance said "2", but was then heard at another address, or said "1".
    NewAddressNotConfirmed,
    // Why the system's ping cannot send the echoes, each with its fix; and the replies a full
    // device list leaves out, under the list and on the scan's error stream.
    ProbingFixBoundingSet,
    ProbingFixNoNewPrivileges,
    ProbingFixPingUnprivileged,
    UnlistedReplies, // %1: how many senders were left out, %2: the most rows a list holds
    Count,
};

[[nodiscard]] QString AddedCatalogText(int textBase, AddedText text);

} // namespace tarvex
