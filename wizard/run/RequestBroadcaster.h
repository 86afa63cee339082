#pragma once

#include <QByteArray>
#include <QString>

namespace tarvex {

// Sends one request of the device protocol to every appliance. The run uses it through this
// interface so that tests can record the requests instead of sending them.
class RequestBroadcaster {
public:
    virtual ~RequestBroadcaster() = default;
    // Sends the bytes as one datagram; failures are reported to the user, not to the caller.
    // `sourceAddress` is the adapter's dotted quad: the limited broadcast leaves by that adapter
    // alone, with or without a default route. Empty: the system chooses (the default route).
    virtual void Broadcast(const QByteArray& request, const QString& sourceAddress) = 0;
};

} // namespace tarvex
