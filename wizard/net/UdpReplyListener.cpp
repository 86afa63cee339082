#include "net/UdpReplyListener.h"

#include "base/Logging.h"
#include "net/SocketErrorTexts.h"
#include "net/UdpPortHolder.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QNetworkDatagram>
#include <QVariant>
#include <cerrno>

namespace tarvex {
namespace {

// Room for a discovery burst of many appliances; the kernel caps it at its own maximum.
constexpr int kReceiveBufferBytes = 1 << 20;

} // namespace

int ErrnoOfSocketError(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return EADDRINUSE;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return EADDRNOTAVAIL;
    case QAbstractSocket::SocketResourceError:
        return EMFILE;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return EAFNOSUPPORT;
    case QAbstractSocket::NetworkError:
        return ENETDOWN;
    case QAbstractSocket::TemporaryError:
        return EAGAIN;
    default:
        return EINVAL;
    }
}

UdpReplyListener::UdpReplyListener(quint16 port, ReadBatch batch) : port_(port), batch_(batch) {
    QObject::connect(&socket_, &QUdpSocket::readyRead, &socket_, [this] {
        if (!socket_.hasPendingDatagrams()) {
            // A queued continuation read what this event announced. The socket announces
            // nothing more until it is read from once after its event, so it is, emptily.
            char none = 0;
            (void)socket_.readDatagram(&none, 0);
            return;
        }
        deliverPending();
    });
}

std::optional<ListenerFailure> UdpReplyListener::OpenListener(Receiver receiver) {
    CloseListener();
    if (!socket_.bind(QHostAddress::AnyIPv4, port_, QAbstractSocket::DontShareAddress)) {
        const int error = ErrnoOfSocketError(socket_.error());
        socket_.close();
        return ListenerFailure{error, SocketErrorText(SocketErrorNumber(error)),
                               error == EADDRINUSE ? FindUdpPortHolder(port_) : std::nullopt};
    }
    socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            QVariant(kReceiveBufferBytes));
    receiver_ = std::make_shared<const Receiver>(std::move(receiver));
    ++generation_;
    continuationQueued_ = false;
    return std::nullopt;
}

void UdpReplyListener::CloseListener() {
    ++generation_;
    continuationQueued_ = false;
    socket_.close();
    receiver_.reset();
}

void UdpReplyListener::deliverPending() {
    using Clock = std::chrono::steady_clock;
    const quint64 generation = generation_;
    const std::shared_ptr<const Receiver> receiver = receiver_;
    const Clock::time_point deadline = batch_.time == std::chrono::microseconds::max()
                                           ? Clock::time_point::max()
                                           : Clock::now() + batch_.time;
    int read = 0;
    while (receiver && generation == generation_ && socket_.hasPendingDatagrams()) {
        if (read == batch_.datagrams || Clock::now() >= deadline) {
            // The rest waits for the next turn of the event loop, so that timers and input are
            // not held up by a flood.
            queueContinuation();
            return;
        }
        // The packet information (IP_PKTINFO, which Qt asks for on every UDP socket) names the
        // interface of arrival.
        const QNetworkDatagram received = socket_.receiveDatagram();
        if (!received.isValid()) {
            break;
        }
        ++read;
        qCDebug(lcNet) << "datagram from" << received.senderAddress().toString() << "on interface"
                       << received.interfaceIndex() << "bytes" << received.data().size();
        if (*receiver) {
            // The port is IPv4 only: every sender is an IPv4 address.
            (*receiver)({received.data(), received.interfaceIndex(),
                         Ipv4Address(received.senderAddress().toIPv4Address())});
        }
    }
}

void UdpReplyListener::queueContinuation() {
    // The socket does not announce again what is already pending; a queued call does. It is
    // tied to the socket, and stale once the port was closed or reopened.
    if (continuationQueued_) {
        return;
    }
    continuationQueued_ = true;
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        &socket_,
        [this, generation] {
            if (generation != generation_) {
                return;
            }
            continuationQueued_ = false;
            deliverPending();
        },
        Qt::QueuedConnection);
}

} // namespace tarvex
