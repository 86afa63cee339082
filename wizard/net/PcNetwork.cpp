#include "net/PcNetwork.h"

namespace tarvex {

PcNetwork PcNetwork::read(const AdapterFacts& facts) {
    return {facts, Ipv4Address::parse(QStringView(facts.address)),
            Ipv4Address::parse(QStringView(facts.mask)).value_or(Ipv4Address())};
}

} // namespace tarvex
