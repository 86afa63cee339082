#pragma once

#include "net/Ipv4Address.h"

#include <QByteArray>
#include <optional>

namespace tarvex {

// Why a request did not go out: the step that failed and its errno.
struct BroadcastFailure {
    enum class Step { CreateSocket, SendRequest };
    Step step = Step::SendRequest;
    int error = 0;

    friend bool operator==(const BroadcastFailure&, const BroadcastFailure&) = default;
};

// Sends one request of the device protocol to every appliance. The run uses it through this
// interface so that tests can record the requests instead of sending them.
class RequestBroadcaster {
public:
    virtual ~RequestBroadcaster() = default;
    // Sends the bytes as one datagram; the failure, if any, for the caller to report.
    // `source` is the adapter's address: the limited broadcast leaves by that adapter alone,
    // with or without a default route. None: the system chooses (the default route).
    [[nodiscard]] virtual std::optional<BroadcastFailure>
    Broadcast(const QByteArray& request, std::optional<Ipv4Address> source) = 0;
};

} // namespace tarvex
