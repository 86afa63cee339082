#include "net/BroadcastSender.h"

#include "net/Ipv4Address.h"

#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvex {

namespace {

// Binds to the address with a port of the system's choice; false with errno set on failure.
bool bindTo(int fd, Ipv4Address address) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = address.toNetworkOrder();
    return bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

} // namespace

std::optional<BroadcastFailure> BroadcastSender::Broadcast(const QByteArray& request,
                                                           std::optional<Ipv4Address> source) {
    using Step = BroadcastFailure::Step;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(destination_.port);
    to.sin_addr.s_addr = destination_.address.toNetworkOrder();

    const int fd = openSocket_(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        return BroadcastFailure{Step::CreateSocket, errno};
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    std::optional<BroadcastFailure> failure;
    if (source && !bindTo(fd, *source)) {
        failure = BroadcastFailure{Step::SendRequest, errno};
    } else if (sendto(fd, request.constData(), static_cast<std::size_t>(request.size()), 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
        failure = BroadcastFailure{Step::SendRequest, errno};
    }
    close(fd);
    return failure;
}

} // namespace tarvex
