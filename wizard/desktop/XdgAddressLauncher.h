#pragma once

#include "desktop/ShortcutWriter.h"

#include <QObject>
#include <chrono>
#include <memory>

namespace tarvex {

// How long each xdg-open is waited for. One still running then is taken as opened: in the
// desktop-neutral mode it runs the browser or file manager itself, until the user closes it.
inline constexpr std::chrono::milliseconds kOpenerBound{3000};

// Hands the appliance's shared folders and its web pages, in that order, to the desktop's
// handler for addresses (xdg-open). Both start at once, so that the report follows as soon as
// both have answered or reached their bound, never after the two bounds one after the other.
// Each runs in a session of its own, so that what it opens outlives the wizard, and none is
// ever killed; one still running at its bound is watched until it ends, and reaped then.
// For an address it failed to open, the report tells whether any application is registered for
// the scheme (xdg-mime, bounded the same, in a process group of its own ended at its bound).
class XdgAddressLauncher final : public AddressLauncher {
public:
    explicit XdgAddressLauncher(std::chrono::milliseconds bound = kOpenerBound);
    ~XdgAddressLauncher() override;
    XdgAddressLauncher(const XdgAddressLauncher&) = delete;
    XdgAddressLauncher& operator=(const XdgAddressLauncher&) = delete;

    void OpenDevice(Ipv4Address address, Reported reported) override;

private:
    struct Opening;
    void open(qsizetype index, Ipv4Address address, const std::shared_ptr<Opening>& opening);
    void askForHandler(qsizetype index, const std::shared_ptr<Opening>& opening);

    std::chrono::milliseconds bound_;
    std::unique_ptr<QObject> owner_; // parent of the openers that run
};

} // namespace tarvex
