#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarvex {

// A request that could not go out: the whole text to show ("Cannot Send Request." and the
// socket layer's number and reason) and the errno behind it.
struct BroadcastFailure {
    QString text;
    int error = 0;
};

// Sends one request of the device protocol to every appliance. The run uses it through this
// interface so that tests can record the requests instead of sending them.
class RequestBroadcaster {
public:
    virtual ~RequestBroadcaster() = default;
    // Sends the bytes as one datagram, or tells why it could not; it never waits.
    // `sourceAddress` is the adapter's dotted quad: the limited broadcast leaves by that adapter
    // alone, with or without a default route. Empty: the system chooses (the default route).
    [[nodiscard]] virtual std::optional<BroadcastFailure>
    Broadcast(const QByteArray& request, const QString& sourceAddress) = 0;
};

} // namespace tarvex
