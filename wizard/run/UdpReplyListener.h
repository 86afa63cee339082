#pragma once

#include "run/DeviceProtocol.h"
#include "run/ReplyListener.h"

#include <QAbstractSocket>
#include <QUdpSocket>
#include <memory>

namespace tarvex {

// The errno that best matches a socket error of Qt, which does not keep the bind's own one.
[[nodiscard]] int ErrnoOfSocketError(QAbstractSocket::SocketError error);

// The reply port as a Qt UDP socket on every local IPv4 address. Datagrams are handed over
// from the socket's event on the thread that owns the listener.
class UdpReplyListener final : public ReplyListener {
public:
    explicit UdpReplyListener(quint16 port = kReplyPort);

    [[nodiscard]] std::optional<ListenerFailure> OpenListener(Receiver receiver) override;
    void CloseListener() override;

private:
    void deliverPending();

    quint16 port_;
    QUdpSocket socket_;
    // Shared so that a receiver that reopens the listener does not destroy itself mid-call.
    std::shared_ptr<const Receiver> receiver_;
    // Changes on every open and close; delivery stops as soon as it does.
    quint64 generation_ = 0;
};

} // namespace tarvex
