#pragma once

#include "base/Dialogs.h"
#include "probe/Prober.h"

#include <QString>

namespace tarvex {

// This platform's sockets need no start-up: always true, and nothing to stop.
[[nodiscard]] bool StartSockets();
void StopSockets();

// One ICMP echo with the 26-byte payload and a 500 ms wait.
[[nodiscard]] ProbeOutcome SendEcho(const QString& address);

// Whether an echo reply from the address arrives within 500 ms. The outcome tells a silent
// address from one that could not be probed at all (EchoStatus::Impossible) and from one whose
// echo could not be sent (EchoStatus::NotSent): neither may ever be taken as free.
[[nodiscard]] ProbeOutcome IsHostReachable(const QString& address);

// How to allow the probes: install the system's ping, or widen the ping group range.
[[nodiscard]] QString ProbingFixText(int textBase);

// The one message shown when probing is impossible: what is wrong and how to allow it.
// `error` is the errno of the failed socket; the text is in the edition's language.
[[nodiscard]] QString ProbingImpossibleText(int textBase, int error);

// That text as the message box to show once: the program's title, OK, the exclamation icon.
[[nodiscard]] Message ProbingImpossibleMessage(int textBase, int error);

} // namespace tarvex
