#include "run/RunMessages.h"

#include "appliance/DeviceListCells.h"
#include "appliance/DeviceProtocol.h"
#include "net/SocketErrorTexts.h"
#include "texts/AddedTexts.h"

#include <cstring>

namespace tarvex {
namespace {

// Any user may name a program anything: shown as a host name is, so that no escape sequence
// reaches a terminal and no override turns the line around.
QString HolderName(const QString& program) {
    return DisplayText(program.toUtf8());
}

} // namespace

Message ListenerFailureMessage(int textBase, const ListenerFailure& failure) {
    Message message;
    // The second line is the socket layer's own, as in the sender's messages.
    message.text =
        AddedCatalogText(textBase, AddedText::PortInUse).arg(kReplyPort) +
        QStringLiteral("\r\n %1%2\r\n").arg(SocketErrorNumber(failure.error)).arg(failure.reason) +
        AddedCatalogText(textBase, AddedText::PortInUseAdvice);
    if (failure.holder) {
        message.text += QStringLiteral("\r\n") + AddedCatalogText(textBase, AddedText::PortHeldBy)
                                                     .arg(HolderName(failure.holder->program),
                                                          QString::number(failure.holder->pid));
    }
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

Message ShortcutFailureMessage(int textBase, const ShortcutFailure& failure) {
    Message message;
    message.text = AddedCatalogText(textBase, AddedText::ShortcutNotCreated) +
                   QStringLiteral("\r\n%1\r\n%2\r\n").arg(failure.file, failure.reason) +
                   AddedCatalogText(textBase, AddedText::ShortcutAdvice);
    message.icon = MessageIcon::Exclamation;
    return message;
}

Message OpenFailureMessage(int textBase, const OpenReport& report) {
    const auto text = [textBase](AddedText id) {
        return AddedCatalogText(textBase, id);
    };
    QStringList lines{text(AddedText::OpenFailed)};
    if (report.openerMissing) {
        lines << text(AddedText::OpenerMissing);
    } else {
        // Each address with its cause: nothing registered for it, or what was failed.
        for (const OpenFailure& failure : report.failures) {
            const bool shares = failure.scheme == QLatin1String("smb");
            if (failure.noHandler) {
                lines << text(shares ? AddedText::SharesNoHandler : AddedText::WebPagesNoHandler);
                continue;
            }
            const QString ending = failure.exitStatus
                                       ? text(AddedText::OpenerExitStatus).arg(*failure.exitStatus)
                                       : text(AddedText::OpenerNoExitStatus);
            lines << text(shares ? AddedText::SharesNotOpened : AddedText::WebPagesNotOpened)
                         .arg(ending);
        }
        lines << text(AddedText::OpenLater);
    }
    Message message;
    message.text = lines.join(QStringLiteral("\r\n"));
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
