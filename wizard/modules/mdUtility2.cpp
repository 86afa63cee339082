#include "modules/mdUtility2.h"

#include "modules/IcmpProber.h"
#include "modules/WSKSOCK.h"

namespace tarvex {

bool StartSockets() {
    return true;
}

void StopSockets() {}

ProbeOutcome SendEcho(const QString& address) {
    IcmpProber prober;
    return prober.probe(address);
}

ProbeOutcome IsHostReachable(const QString& address) {
    if (!StartSockets()) {
        return {EchoStatus::Impossible, 0};
    }
    const ProbeOutcome outcome = SendEcho(address);
    StopSockets();
    return outcome;
}

QString ProbingImpossibleText(int error) {
    const int number = SocketErrorNumber(error);
    return QStringLiteral("The reachability check cannot run: this program is not allowed to "
                          "send ICMP echo requests (error %1%2).\r\n"
                          "Allow it with \"sysctl -w net.ipv4.ping_group_range='0 2147483647'\", "
                          "or give the program the CAP_NET_RAW capability "
                          "(\"setcap cap_net_raw+ep Tarvex\"), then run it again.")
        .arg(number)
        .arg(SocketErrorText(number).isEmpty() ? QString()
                                               : QStringLiteral(" ") + SocketErrorText(number));
}

Message ProbingImpossibleMessage(int error) {
    Message message;
    message.text = ProbingImpossibleText(error);
    message.icon = MessageIcon::Exclamation;
    return message;
}

} // namespace tarvex
