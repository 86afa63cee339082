#include "run/BroadcastSender.h"

#include "modules/Ipv4Address.h"
#include "modules/WSKSOCK.h"

#include <QCoreApplication>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvex {

namespace {

// Binds to the address with a port of the system's choice; false with errno set on failure.
bool bindTo(int fd, const QString& address) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    const std::optional<Ipv4Address> parsed = Ipv4Address::parse(QStringView(address));
    if (!parsed) {
        errno = EADDRNOTAVAIL; // no address of this PC
        return false;
    }
    local.sin_addr.s_addr = parsed->toNetworkOrder();
    return bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

} // namespace

void BroadcastSender::Broadcast(const QByteArray& request, const QString& sourceAddress) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(destination_.port);
    const std::optional<Ipv4Address> destination = Ipv4Address::parse(destination_.address);
    if (!destination) {
        reportFailure("Cannot Send Request.", EDESTADDRREQ);
        return;
    }
    to.sin_addr.s_addr = destination->toNetworkOrder();

    const int fd = openSocket_(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        reportFailure("Cannot Create Socket.", errno);
        return;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    if (!sourceAddress.isEmpty() && !bindTo(fd, sourceAddress)) {
        const int error = errno;
        close(fd);
        reportFailure("Cannot Send Request.", error);
    } else if (sendto(fd, request.constData(), static_cast<std::size_t>(request.size()), 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
        const int error = errno;
        close(fd);
        reportFailure("Cannot Send Request.", error);
    } else {
        close(fd);
    }
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

void BroadcastSender::reportFailure(const char* what, int error) {
    const int number = SocketErrorNumber(error);
    Message message;
    message.text = QString::fromLatin1(what) + QStringLiteral("\r\n ") + QString::number(number) +
                   SocketErrorText(number);
    dialogs_.showMessage(message);
}

} // namespace tarvex
