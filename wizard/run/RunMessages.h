#pragma once

#include "modules/Dialogs.h"
#include "modules/ShortcutWriter.h"
#include "run/ReplyListener.h"
#include "run/RequestBroadcaster.h"

namespace tarvex {

// The run's own messages for failures the catalog has no text for. Fixed English texts, like
// the socket messages.

// The reply port cannot be opened: names the port and the socket layer's reason.
[[nodiscard]] Message ListenerFailureMessage(const ListenerFailure& failure);

// A request could not be sent: "Cannot Create Socket." or "Cannot Send Request.", then the
// socket layer's number and text; no title of its own.
[[nodiscard]] Message BroadcastFailureMessage(const BroadcastFailure& failure);

// A shortcut could not be written: which file, and the system's reason.
[[nodiscard]] Message ShortcutFailureMessage(const ShortcutFailure& failure);

// The status line after a failed shortcut.
[[nodiscard]] QString ShortcutFailureStatus();

} // namespace tarvex
