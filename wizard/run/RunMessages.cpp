#include "run/RunMessages.h"

#include "modules/WSKSOCK.h"
#include "run/DeviceProtocol.h"

namespace tarvex {

Message ListenerFailureMessage(const ListenerFailure& failure) {
    Message message;
    message.text = QStringLiteral("Cannot Listen on UDP Port %1.\r\n %2%3\r\n"
                                  "Another program may be using this port. Close it, then "
                                  "run the setup again.")
                       .arg(kReplyPort)
                       .arg(SocketErrorNumber(failure.error))
                       .arg(failure.reason);
    message.icon = MessageIcon::Exclamation;
    return message;
}

Message BroadcastFailureMessage(const BroadcastFailure& failure) {
    const int number = SocketErrorNumber(failure.error);
    Message message;
    message.text = (failure.step == BroadcastFailure::Step::CreateSocket
                        ? QStringLiteral("Cannot Create Socket.")
                        : QStringLiteral("Cannot Send Request.")) +
                   QStringLiteral("\r\n ") + QString::number(number) + SocketErrorText(number);
    return message;
}

Message ShortcutFailureMessage(const ShortcutFailure& failure) {
    Message message;
    message.text = QStringLiteral("Cannot Create Shortcut.\r\n%1\r\n%2\r\n"
                                  "The network configuration is done; only the shortcut is "
                                  "missing. Make the desktop folder writable, then run the "
                                  "setup again.")
                       .arg(failure.file, failure.reason);
    message.icon = MessageIcon::Exclamation;
    return message;
}

QString ShortcutFailureStatus() {
    return QStringLiteral("The shortcuts could not be created on your desktop.");
}

} // namespace tarvex
