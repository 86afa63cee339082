#pragma once

#include "net/Ipv4Address.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
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

// Why one address could not be opened, once the opener had run for it.
struct OpenFailure {
    QString scheme;         // "smb" or "http"
    bool noHandler = false; // no application is registered for the scheme
    // Else the opener's exit status; nothing when it ended by a signal or could not start.
    std::optional<int> exitStatus;

    friend bool operator==(const OpenFailure&, const OpenFailure&) = default;
};

// What opening an appliance's addresses came to.
struct OpenReport {
    bool openerMissing = false;  // the desktop's handler for addresses is not installed
    QList<OpenFailure> failures; // of the addresses it ran for and failed, in the order opened

    [[nodiscard]] bool allOpened() const { return !openerMissing && failures.isEmpty(); }
};

// Opens an appliance's shared folders, then its web pages, through the desktop's handler for
// addresses, without blocking the window.
class AddressLauncher {
public:
    using Reported = std::function<void(const OpenReport& report)>;

    virtual ~AddressLauncher() = default;
    // Reports once, from the event loop, when the handler has answered for both addresses or
    // its time for them is up; never inside the call.
    virtual void OpenDevice(Ipv4Address address, Reported reported) = 0;
};

} // namespace tarvex
