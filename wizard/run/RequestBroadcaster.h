#pragma once

#include <QByteArray>

namespace tarvex {

// Sends one request of the device protocol to every appliance. The run uses it through this
// interface so that tests can record the requests instead of sending them.
class RequestBroadcaster {
public:
    virtual ~RequestBroadcaster() = default;
    // Sends the bytes as one datagram; failures are reported to the user, not to the caller.
    virtual void Broadcast(const QByteArray& request) = 0;
};

} // namespace tarvex
