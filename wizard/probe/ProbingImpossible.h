#pragma once

#include "base/Dialogs.h"
#include "probe/Prober.h"
#include "probe/SystemPing.h"

#include <QString>

namespace tarvex {

// How to allow the probes, for what keeps the system's ping from sending them: install it,
// reinstall it, or widen the ping group range where a container or sandbox holds ping back.
[[nodiscard]] QString ProbingFixText(int textBase, PingBlock block);

// The one message shown when probing is impossible: what is wrong and how to allow it.
// `error` is the errno of the failed socket; the text is in the edition's language.
[[nodiscard]] QString ProbingImpossibleText(int textBase, int error,
                                            PingBlock block = SystemPingBlock());

// That text as the message box to show once: the program's title, OK, the exclamation icon.
[[nodiscard]] Message ProbingImpossibleMessage(int textBase, int error,
                                               PingBlock block = SystemPingBlock());

} // namespace tarvex
