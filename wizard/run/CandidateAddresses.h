#pragma once

#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"
#include "run/RandomSource.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvex {

// How many addresses the free-address search tries at most.
inline constexpr int kCandidateCount = 20;

enum class CandidateProblem {
    None,
    AddressInvalid, // the PC has no address
    NotConfigured,  // a candidate begins with "0": the PC's network is not set up
};

struct CandidateDraw {
    CandidateProblem problem = CandidateProblem::None;
    QList<Ipv4Address> candidates; // distinct, in the order drawn; never the PC's own address
    Ipv4Address pcAddress;         // the PC's address they were drawn around, read strictly
};

// Draws the candidates for the search, all before any is probed: up to `count` distinct
// addresses (every host address but the PC's when the subnet holds fewer). For masks of /24 and
// shorter by PickCandidateAddress; for longer masks among the subnet's host addresses, so that
// no candidate lies outside the PC's subnet or on its network or broadcast address.
[[nodiscard]] CandidateDraw DrawCandidates(const PcNetwork& pc, RandomSource& random,
                                           int count = kCandidateCount);

} // namespace tarvex
