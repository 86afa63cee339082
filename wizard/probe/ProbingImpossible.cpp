#include "probe/ProbingImpossible.h"

#include "net/SocketErrorTexts.h"
#include "texts/AddedTexts.h"

namespace tarvex {

QString ProbingImpossibleText(int textBase, int error) {
    const int number = SocketErrorNumber(error);
    const QString reason = SocketErrorText(number);
    return AddedCatalogText(textBase, AddedText::ProbingNotAllowed)
               .arg(number)
               .arg(reason.isEmpty() ? QString() : QStringLiteral(" ") + reason) +
           QStringLiteral("\r\n") + ProbingFixText(textBase);
}

QString ProbingFixText(int textBase) {
    return AddedCatalogText(textBase, AddedText::ProbingFixes);
}

Message ProbingImpossibleMessage(int textBase, int error) {
    Message message;
    message.text = ProbingImpossibleText(textBase, error);
    message.icon = MessageIcon::Exclamation;
    return message;
}

} // namespace tarvex
