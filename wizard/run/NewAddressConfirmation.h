#pragma once

#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"
#include "net/ReplyListener.h"

#include <QByteArray>

namespace tarvex {

// Whether the chosen appliance really took its new address, judged from what is heard after its
// "2". Any host that heard the configuration request can answer "2" in its name, from the new
// address it took or from a forged source, so the "2" alone proves nothing. After it a discovery
// request goes out: only the appliance's own discovery reply, from the new address and reporting
// it, confirms; its reply reporting any other address (the old one, still held) or a later "1"
// contradicts, and a contradiction is final whatever came before it.
//
// A discovery reply counts only when it carries the identifier and came from the address it
// reports; a configuration reply only when it carries the identifier and came from the appliance
// before it moved or from its new address. Everything else is ignored.
class NewAddressConfirmation {
public:
    enum class Verdict { Undecided, Confirmed, Contradicted };

    // deviceId: the chosen appliance's; oldSender: the source of its discovery reply; network:
    // the adapter's, on which the reported addresses are read.
    NewAddressConfirmation(QByteArray deviceId, Ipv4Address newAddress, Ipv4Address oldSender,
                           PcNetwork network);

    // One datagram heard while the window is open; the verdict after it.
    Verdict hear(const ArrivedDatagram& datagram);

    [[nodiscard]] Verdict verdict() const { return verdict_; }
    // The window may end before its time: the new address answered and nothing contradicted it.
    [[nodiscard]] bool mayEndEarly() const { return verdict_ == Verdict::Confirmed; }

private:
    void heardDiscovery(const ArrivedDatagram& datagram);
    void heardConfigure(const ArrivedDatagram& datagram);

    QByteArray deviceId_;
    Ipv4Address newAddress_;
    Ipv4Address oldSender_;
    PcNetwork network_;
    Verdict verdict_ = Verdict::Undecided;
};

} // namespace tarvex
