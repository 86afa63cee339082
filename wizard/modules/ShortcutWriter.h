#pragma once

#include "modules/Ipv4Address.h"

#include <QString>
#include <optional>

namespace tarvex {

// Why a shortcut could not be written: the file and the system's reason.
struct ShortcutFailure {
    QString file;   // the full path of the file that failed
    QString reason; // the system's text, e.g. "Permission denied"
};

// Writes the two desktop shortcuts of an appliance: its web management pages and its shared
// folders. The management file is complete before the access file is begun.
class ShortcutWriter {
public:
    virtual ~ShortcutWriter() = default;
    // address: the appliance's parsed address, printed back in the links and descriptions;
    // hostName: the appliance's host name, decoded for display.
    [[nodiscard]] virtual std::optional<ShortcutFailure>
    CreateShortcuts(Ipv4Address address, const QString& hostName) = 0;
};

// Opens an appliance's shared folders, then its web pages, through the desktop's handler for
// addresses, without waiting for either.
class AddressLauncher {
public:
    virtual ~AddressLauncher() = default;
    virtual void OpenDevice(Ipv4Address address) = 0;
};

} // namespace tarvex
