#include "probe/ProbingImpossible.h"

#include "net/SocketErrorTexts.h"
#include "probe/IcmpProber.h"
#include "texts/AddedTexts.h"

namespace tarvex {

bool StartSockets() {
    return true;
}

void StopSockets() {}

ProbeOutcome SendEcho(const QString& address) {
    quint32 destination = 0;
    if (!AcceptAddressText(address, &destination)) {
        return {EchoStatus::NotAccepted, 0};
    }
    IcmpProber prober;
    return prober.probe(Ipv4Address::fromNetworkOrder(destination));
}

ProbeOutcome IsHostReachable(const QString& address) {
    if (!StartSockets()) {
        return {EchoStatus::Impossible, 0};
    }
    const ProbeOutcome outcome = SendEcho(address);
    StopSockets();
    return outcome;
}

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
