#include "run/RunMessages.h"

#include "modules/WSKSOCK.h"
#include "run/DeviceProtocol.h"

#include <cstring>

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

Message NeighbourWatchFailureMessage(int error) {
    Message message;
    message.text = QStringLiteral("Cannot read the network's neighbour table (error %1: %2).\r\n"
                                  "Without it no address can be known to be free, so none is "
                                  "given to the Dravik. Run the setup again.")
                       .arg(error)
                       .arg(QString::fromLocal8Bit(std::strerror(error)));
    message.icon = MessageIcon::Exclamation;
    return message;
}

QString ShortcutFailureStatus() {
    return QStringLiteral("The shortcuts could not be created on your desktop.");
}

} // namespace tarvex
