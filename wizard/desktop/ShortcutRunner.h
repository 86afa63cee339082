#pragma once

#include "desktop/ShortcutWriter.h"
#include "net/Ipv4Address.h"

#include <QString>
#include <functional>
#include <optional>

namespace tarvex {

// Writes an appliance's shortcuts (and its shared folders among the file manager's places) as
// ShortcutWriter does, without holding up the caller: the files go to the disk elsewhere, and
// the answer comes once they are written.
class ShortcutRunner {
public:
    using Written = std::function<void(const std::optional<ShortcutFailure>& failure)>;

    virtual ~ShortcutRunner() = default;
    // `written` follows once, from the caller's event loop, with what ShortcutWriter returned.
    virtual void start(Ipv4Address address, const QString& hostName, Written written) = 0;
};

} // namespace tarvex
