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

Message OpenFailureMessage(const OpenReport& report) {
    QString text = QStringLiteral("Cannot Open the Shortcuts.\r\n");
    if (report.openerMissing) {
        text += QStringLiteral("xdg-open was not found. Install the package xdg-utils, then open "
                               "the shortcuts on your desktop.");
    } else {
        QStringList lines;
        if (report.failedSchemes.contains(QStringLiteral("smb"))) {
            lines << QStringLiteral("The shared folders (smb://) could not be opened. The file "
                                    "manager needs its network-share support, such as the "
                                    "package gvfs-backends.");
        }
        if (report.failedSchemes.contains(QStringLiteral("http"))) {
            lines << QStringLiteral("The web pages (http://) could not be opened. Set up a "
                                    "default web browser.");
        }
        text += lines.join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\nThe shortcuts on your desktop are written; open them once "
                               "this is mended.");
    }
    Message message;
    message.text = text;
    message.icon = MessageIcon::Exclamation;
    return message;
}

QString ShortcutFailureStatus() {
    return QStringLiteral("The shortcuts could not be created on your desktop.");
}

} // namespace tarvex
