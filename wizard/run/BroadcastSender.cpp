#include "run/BroadcastSender.h"

#include "modules/WSKSOCK.h"

#include <arpa/inet.h>
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
    if (inet_pton(AF_INET, address.toLatin1().constData(), &local.sin_addr) != 1) {
        errno = EADDRNOTAVAIL; // no address of this PC
        return false;
    }
    return bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

BroadcastFailure failure(const char* what, int error) {
    const int number = SocketErrorNumber(error);
    return {QString::fromLatin1(what) + QStringLiteral("\r\n ") + QString::number(number) +
                SocketErrorText(number),
            error};
}

} // namespace

std::optional<BroadcastFailure> BroadcastSender::Broadcast(const QByteArray& request,
                                                           const QString& sourceAddress) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(destination_.port);
    if (inet_pton(AF_INET, destination_.address.constData(), &to.sin_addr) != 1) {
        return failure("Cannot Send Request.", EDESTADDRREQ);
    }

    const int fd = openSocket_(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        return failure("Cannot Create Socket.", errno);
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    std::optional<BroadcastFailure> result;
    if (!sourceAddress.isEmpty() && !bindTo(fd, sourceAddress)) {
        result = failure("Cannot Send Request.", errno);
    } else if (sendto(fd, request.constData(), static_cast<std::size_t>(request.size()), 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
        result = failure("Cannot Send Request.", errno);
    }
    close(fd);
    return result;
}

} // namespace tarvex
