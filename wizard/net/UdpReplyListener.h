#pragma once

#include "net/DevicePorts.h"
#include "net/ReplyListener.h"

#include <QAbstractSocket>
#include <QUdpSocket>
#include <chrono>
#include <limits>
#include <memory>

namespace tarvex {

// The errno that best matches a socket error of Qt, which does not keep the bind's own one.
[[nodiscard]] int ErrnoOfSocketError(QAbstractSocket::SocketError error);

// How much one wake-up of the listener reads before it lets the event loop run again.
struct ReadBatch {
    int datagrams = 64;
    std::chrono::microseconds time{2000};

    // Everything pending in one go, however long it takes: only for comparison.
    [[nodiscard]] static constexpr ReadBatch Unlimited() {
        return {std::numeric_limits<int>::max(), std::chrono::microseconds::max()};
    }
};

// The reply port as a Qt UDP socket on every local IPv4 address. Datagrams are handed over
// from the socket's event on the thread that owns the listener, a bounded batch at a time, so
// that a flood of datagrams cannot keep the window's timers and input waiting.
class UdpReplyListener final : public ReplyListener {
public:
    explicit UdpReplyListener(quint16 port = kReplyPort, ReadBatch batch = {});

    [[nodiscard]] std::optional<ListenerFailure> OpenListener(Receiver receiver) override;
    void CloseListener() override;

private:
    void deliverPending();
    void queueContinuation();

    quint16 port_;
    ReadBatch batch_;
    QUdpSocket socket_;
    // Shared so that a receiver that reopens the listener does not destroy itself mid-call.
    std::shared_ptr<const Receiver> receiver_;
    // Changes on every open and close; delivery stops as soon as it does.
    quint64 generation_ = 0;
    // A continuation of this generation is queued; at most one is.
    bool continuationQueued_ = false;
};

} // namespace tarvex
