#include "run/UdpReplyListener.h"

#include "modules/WSKSOCK.h"

#include <QHostAddress>
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

UdpReplyListener::UdpReplyListener(quint16 port) : port_(port) {
    QObject::connect(&socket_, &QUdpSocket::readyRead, &socket_, [this] { deliverPending(); });
}

std::optional<ListenerFailure> UdpReplyListener::OpenListener(Receiver receiver) {
    CloseListener();
    if (!socket_.bind(QHostAddress::AnyIPv4, port_, QAbstractSocket::DontShareAddress)) {
        const int error = ErrnoOfSocketError(socket_.error());
        socket_.close();
        return ListenerFailure{error, SocketErrorText(SocketErrorNumber(error))};
    }
    socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            QVariant(kReceiveBufferBytes));
    receiver_ = std::make_shared<const Receiver>(std::move(receiver));
    ++generation_;
    return std::nullopt;
}

void UdpReplyListener::CloseListener() {
    ++generation_;
    socket_.close();
    receiver_.reset();
}

void UdpReplyListener::deliverPending() {
    const quint64 generation = generation_;
    const std::shared_ptr<const Receiver> receiver = receiver_;
    // Everything waiting is read in one go so that a burst does not wait for further events.
    while (receiver && generation == generation_ && socket_.hasPendingDatagrams()) {
        // The packet information (IP_PKTINFO, which Qt asks for on every UDP socket) names the
        // interface of arrival.
        const QNetworkDatagram received = socket_.receiveDatagram();
        if (!received.isValid()) {
            break;
        }
        if (*receiver) {
            (*receiver)(
                {received.data(), received.interfaceIndex(), received.senderAddress().toString()});
        }
    }
}

} // namespace tarvex
