#include "run/NewAddressConfirmation.h"

#include "appliance/ApplianceAddress.h"
#include "appliance/DeviceProtocol.h"
#include "base/Logging.h"

#include <utility>

namespace tarvex {

NewAddressConfirmation::NewAddressConfirmation(QByteArray deviceId, Ipv4Address newAddress,
                                               Ipv4Address oldSender, PcNetwork network)
    : deviceId_(std::move(deviceId)), newAddress_(newAddress), oldSender_(oldSender),
      network_(std::move(network)) {}

NewAddressConfirmation::Verdict NewAddressConfirmation::hear(const ArrivedDatagram& datagram) {
    if (verdict_ == Verdict::Contradicted) {
        return verdict_;
    }
    switch (KindOfReply(datagram.bytes)) {
    case ReplyKind::Discovery:
        heardDiscovery(datagram);
        break;
    case ReplyKind::Configure:
        heardConfigure(datagram);
        break;
    case ReplyKind::Other:
        break;
    }
    return verdict_;
}

void NewAddressConfirmation::heardDiscovery(const ArrivedDatagram& datagram) {
    const ReplyCut cut = CutDiscoveryReply(datagram.bytes);
    if (!cut.record || cut.record->DeviceId != deviceId_) {
        return;
    }
    const std::optional<Ipv4Address> reported = ApplianceAddress(*cut.record, network_);
    if (reported != datagram.source) {
        // Anyone may claim any address: only the reply's source speaks for where it is.
        qCDebug(lcRun) << "confirmation: discovery reply ignored, it came from"
                       << datagram.source.text() << "but reports" << cut.record->IpAddress;
        return;
    }
    if (*reported == newAddress_) {
        qCDebug(lcRun) << "confirmation: the appliance answers from its new address";
        verdict_ = Verdict::Confirmed;
        return;
    }
    qCWarning(lcRun) << "confirmation: the appliance still answers from" << reported->text();
    verdict_ = Verdict::Contradicted;
}

void NewAddressConfirmation::heardConfigure(const ArrivedDatagram& datagram) {
    if (!IsConfigureReplyOf(datagram.bytes, deviceId_) ||
        (datagram.source != oldSender_ && datagram.source != newAddress_)) {
        return;
    }
    if (ReadConfigureStatus(datagram.bytes) == ConfigureStatus::Applied) {
        return; // the same news again
    }
    qCWarning(lcRun) << "confirmation: a later configuration reply from" << datagram.source.text()
                     << "says" << ConfigureStatusText(datagram.bytes);
    verdict_ = Verdict::Contradicted;
}

} // namespace tarvex
