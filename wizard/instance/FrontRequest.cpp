#include "instance/FrontRequest.h"

#include "base/Logging.h"
#include "instance/PeerUser.h"
#include "process/OwnedDescriptor.h"

#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A connected socket, or -1 once the deadline passed. A wizard that holds the lock but does not
// listen yet is starting: it is asked again every 50 ms.
int ConnectBy(const QByteArray& path, Clock::time_point deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    while (true) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return -1;
        }
        // A local stream socket connects at once or is refused; it does not wait for a peer.
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return fd;
        }
        close(fd);
        if (MillisecondsLeft(deadline) < 50) {
            return -1;
        }
        QThread::msleep(50);
    }
}

} // namespace

FrontAnswer AskToFront(const QString& socket, const QByteArray& activationToken,
                       std::chrono::milliseconds limit, uid_t user) {
    const Clock::time_point deadline = Clock::now() + limit;
    const OwnedDescriptor connection(ConnectBy(QFile::encodeName(socket), deadline));
    if (connection.get() < 0) {
        return FrontAnswer::NoAnswer;
    }
    // The token lets its holder take the desktop's focus: it goes to no one else's program.
    if (!PeerIsUser(connection.get(), user)) {
        qCWarning(lcRun) << "the wizard's socket is another user's; nothing sent";
        return FrontAnswer::NoAnswer;
    }
    const QByteArray request =
        QByteArray(kFrontRequest) + ' ' + activationToken.left(kLongestFrontRequest / 2) + '\n';
    // Far less than the socket's buffer: written at once.
    if (send(connection.get(), request.constData(), static_cast<std::size_t>(request.size()),
             MSG_NOSIGNAL) != request.size()) {
        return FrontAnswer::NoAnswer;
    }
    QByteArray answer;
    pollfd readable{connection.get(), POLLIN, 0};
    while (!answer.endsWith('\n') && poll(&readable, 1, MillisecondsLeft(deadline)) > 0) {
        char buffer[64];
        const ssize_t got = recv(connection.get(), buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        answer.append(buffer, got);
    }
    if (answer == kInFrontAnswer) {
        return FrontAnswer::InFront;
    }
    return answer == kBehindAnswer ? FrontAnswer::Behind : FrontAnswer::NoAnswer;
}

} // namespace tarvex
