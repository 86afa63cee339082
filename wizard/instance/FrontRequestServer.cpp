#include "instance/FrontRequestServer.h"

#include "base/Logging.h"
#include "instance/FrontRequest.h"
#include "instance/PeerUser.h"

#include <QLocalSocket>
#include <QTimer>

namespace tarvex {

FrontRequestServer::FrontRequestServer(const WizardLock& lock, Window window,
                                       std::chrono::milliseconds settle,
                                       std::chrono::milliseconds patience, uid_t user)
    : window_(std::move(window)), settle_(settle), patience_(patience), user_(user) {
    if (!lock.held()) {
        return;
    }
    // Whatever socket is there belongs to a wizard that ended: the lock is ours.
    QLocalServer::removeServer(lock.place()->socket);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(lock.place()->socket)) {
        qCWarning(lcRun) << "no front requests:" << server_.errorString();
        return;
    }
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* caller = server_.nextPendingConnection()) {
            take(caller);
        }
    });
}

void FrontRequestServer::take(QLocalSocket* caller) {
    if (!PeerIsUser(static_cast<int>(caller->socketDescriptor()), user_)) {
        qCWarning(lcRun) << "a front request from another user, refused";
        caller->abort();
        caller->deleteLater();
        return;
    }
    QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
    QTimer::singleShot(patience_, caller, [caller] {
        caller->abort();
        caller->deleteLater();
    });
    QObject::connect(caller, &QLocalSocket::readyRead, caller, [this, caller] {
        if (!caller->canReadLine()) {
            if (caller->bytesAvailable() > kLongestFrontRequest) {
                caller->abort();
            }
            return;
        }
        const QByteArray line = caller->readLine(kLongestFrontRequest).trimmed();
        const qsizetype space = line.indexOf(' ');
        if (line.left(space < 0 ? line.size() : space) != kFrontRequest) {
            caller->abort();
            caller->deleteLater();
            return;
        }
        QObject::disconnect(caller, &QLocalSocket::readyRead, nullptr, nullptr);
        window_.bringToFront(space < 0 ? QByteArray() : line.mid(space + 1));
        QTimer::singleShot(settle_, caller, [this, caller] {
            caller->write(window_.inFront() ? kInFrontAnswer : kBehindAnswer);
            caller->disconnectFromServer();
        });
    });
}

} // namespace tarvex
