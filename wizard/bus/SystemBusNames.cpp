#include "bus/SystemBusNames.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace tarvex {

namespace {

constexpr int kBusTimeoutMs = 500;

} // namespace

bool SystemBusHasName(const QString& name) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << name;
    const QDBusMessage answer = bus.call(ask, QDBus::Block, kBusTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
           answer.arguments().constFirst().toBool();
}

} // namespace tarvex
