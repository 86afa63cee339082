#include "run/RunMessages.h"

#include "modules/WSKSOCK.h"
#include "resources/AddedTexts.h"
#include "run/DeviceProtocol.h"

#include <cstring>

namespace tarvex {

Message ListenerFailureMessage(int textBase, const ListenerFailure& failure) {
    Message message;
    // The second line is the socket layer's own, as in the sender's messages.
    message.text =
        AddedCatalogText(textBase, AddedText::PortInUse).arg(kReplyPort) +
        QStringLiteral("\r\n %1%2\r\n").arg(SocketErrorNumber(failure.error)).arg(failure.reason) +
        AddedCatalogText(textBase, AddedText::PortInUseAdvice);
    message.icon = MessageIcon::Exclamation;
    return message;
}

Message ShortcutFailureMessage(int textBase, const ShortcutFailure& failure) {
    Message message;
    message.text = AddedCatalogText(textBase, AddedText::ShortcutNotCreated) +
                   QStringLiteral("\r\n%1\r\n%2\r\n").arg(failure.file, failure.reason) +
                   AddedCatalogText(textBase, AddedText::ShortcutAdvice);
    message.icon = MessageIcon::Exclamation;
    return message;
}

Message NeighbourWatchFailureMessage(int textBase, int error) {
    Message message;
    message.text = AddedCatalogText(textBase, AddedText::NeighboursUnreadable)
                       .arg(error)
                       .arg(QString::fromLocal8Bit(std::strerror(error))) +
                   QStringLiteral("\r\n") + AddedCatalogText(textBase, AddedText::NeighboursAdvice);
    message.icon = MessageIcon::Exclamation;
    return message;
}

QString ShortcutFailureStatus(int textBase) {
    return AddedCatalogText(textBase, AddedText::ShortcutStatus);
}

} // namespace tarvex
