#pragma once

#include "instance/WizardLock.h"

#include <QByteArray>
#include <QLocalServer>
#include <chrono>
#include <functional>
#include <unistd.h>

namespace tarvex {

// The open wizard's side of the local socket: each start that finds the wizard open asks it to
// come to the front, and hears after a moment whether its window is the active one. Everything
// happens on the event loop; a caller that says nothing is dropped after `patience`.
class FrontRequestServer {
public:
    struct Window {
        std::function<void(const QByteArray& activationToken)> bringToFront;
        std::function<bool()> inFront;
    };

    // Listens only while this process holds the lock, so a socket left by a wizard that
    // crashed can be replaced safely. Hangs up on a caller that does not run as `user`.
    FrontRequestServer(const WizardLock& lock, Window window,
                       std::chrono::milliseconds settle = std::chrono::milliseconds(400),
                       std::chrono::milliseconds patience = std::chrono::milliseconds(2000),
                       uid_t user = geteuid());
    FrontRequestServer(const FrontRequestServer&) = delete;
    FrontRequestServer& operator=(const FrontRequestServer&) = delete;

    [[nodiscard]] bool listening() const { return server_.isListening(); }

private:
    void take(class QLocalSocket* caller);

    Window window_;
    std::chrono::milliseconds settle_; // how long the desktop gets to activate the window
    std::chrono::milliseconds patience_;
    uid_t user_;
    QLocalServer server_;
};

} // namespace tarvex
