#include "probe/ProbingImpossible.h"

#include "net/SocketErrorTexts.h"
#include "texts/AddedTexts.h"

namespace tarvex {

QString ProbingImpossibleText(int textBase, int error, PingBlock block) {
    const int number = SocketErrorNumber(error);
    const QString reason = SocketErrorText(number);
    return AddedCatalogText(textBase, AddedText::ProbingNotAllowed)
               .arg(number)
               .arg(reason.isEmpty() ? QString() : QStringLiteral(" ") + reason) +
           QStringLiteral("\r\n") + ProbingFixText(textBase, block);
}

QString ProbingFixText(int textBase, PingBlock block) {
    switch (block) {
    case PingBlock::BoundingSet:
        return AddedCatalogText(textBase, AddedText::ProbingFixBoundingSet);
    case PingBlock::NoNewPrivileges:
        return AddedCatalogText(textBase, AddedText::ProbingFixNoNewPrivileges);
    case PingBlock::NotPrivileged:
        return AddedCatalogText(textBase, AddedText::ProbingFixPingUnprivileged);
    case PingBlock::None:
    case PingBlock::Missing:
        break;
    }
    return AddedCatalogText(textBase, AddedText::ProbingFixes);
}

Message ProbingImpossibleMessage(int textBase, int error, PingBlock block) {
    Message message;
    message.text = ProbingImpossibleText(textBase, error, block);
    message.icon = MessageIcon::Exclamation;
    return message;
}

} // namespace tarvex
