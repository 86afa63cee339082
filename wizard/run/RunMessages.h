#pragma once

#include "base/Dialogs.h"
#include "desktop/ShortcutWriter.h"
#include "net/ReplyListener.h"
#include "net/RequestBroadcaster.h"

namespace tarvex {

// The run's own messages for failures the catalog has no text for, in the edition's language
// (the added texts); the socket layer's reasons stay English, like the socket messages.

// The reply port cannot be opened: names the port and the socket layer's reason, and the
// program that holds the port where it is known.
[[nodiscard]] Message ListenerFailureMessage(int textBase, const ListenerFailure& failure);

// A request could not be sent: "Cannot Create Socket." or "Cannot Send Request.", then the
// socket layer's number and text; no title of its own.
[[nodiscard]] Message BroadcastFailureMessage(const BroadcastFailure& failure);

// A shortcut could not be written: which file, and the system's reason.
[[nodiscard]] Message ShortcutFailureMessage(int textBase, const ShortcutFailure& failure);

// The shortcuts could not be opened: for each address that failed, its cause (no opener, no
// application registered for the scheme, or the application failed with its exit status) and
// the fix that fits it.
[[nodiscard]] Message OpenFailureMessage(int textBase, const OpenReport& report);

// The kernel's neighbour table cannot be watched (errno `error`): no address can be taken.
[[nodiscard]] Message NeighbourWatchFailureMessage(int textBase, int error);

// The status line after a failed shortcut.
[[nodiscard]] QString ShortcutFailureStatus(int textBase);

} // namespace tarvex
