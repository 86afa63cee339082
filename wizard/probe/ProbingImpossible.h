#pragma once

#include "base/Dialogs.h"
#include "probe/Prober.h"

#include <QString>

namespace tarvex {

// How to allow the probes: install the system's ping, or widen the ping group range.
[[nodiscard]] QString ProbingFixText(int textBase);

// The one message shown when probing is impossible: what is wrong and how to allow it.
// `error` is the errno of the failed socket; the text is in the edition's language.
[[nodiscard]] QString ProbingImpossibleText(int textBase, int error);

// That text as the message box to show once: the program's title, OK, the exclamation icon.
[[nodiscard]] Message ProbingImpossibleMessage(int textBase, int error);

} // namespace tarvex
