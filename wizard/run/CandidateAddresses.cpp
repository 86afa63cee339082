#include "run/CandidateAddresses.h"

#include "net/Ipv4Address.h"

#include <QSet>
#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

namespace tarvex {
namespace {

// A source that keeps repeating itself must not hold up the search for ever.
constexpr int kMaxDraws = 2000;

// 253 * u + 1 in single precision, rounded to the nearest with a half going to the even
// neighbour; done by hand so that it does not depend on the floating-point rounding mode.
int LastPartFromDraw(float u) {
    const float v = 253.0f * u + 1.0f;
    const float below = std::floor(v);
    const float fraction = v - below;
    int rounded = static_cast<int>(below);
    if (fraction > 0.5f || (fraction == 0.5f && rounded % 2 != 0)) {
        ++rounded;
    }
    // A source outside [0, 1) still gives no network or broadcast number.
    return std::clamp(rounded, 1, 254);
}

// The prefix length of a contiguous mask; nothing for any other.
std::optional<int> MaskPrefix(Ipv4Address mask) {
    if (!IsContiguousMask(mask)) {
        return std::nullopt;
    }
    return std::popcount(mask.toHostOrder());
}

Ipv4Address WithLastPart(Ipv4Address address, quint32 lastPart) {
    return Ipv4Address((address.toHostOrder() & 0xffffff00U) | lastPart);
}

// Masks of /24 and shorter: the last part by the draw formula, repeats and the PC's own
// number drawn again.
QList<Ipv4Address> DrawByFormula(Ipv4Address pc, RandomSource& random, int count) {
    const int own = static_cast<int>(pc.toHostOrder() & 0xffU);
    QSet<int> drawn;
    QList<Ipv4Address> candidates;
    for (int draws = 0; draws < kMaxDraws && candidates.size() < count; ++draws) {
        const int lastPart = LastPartFromDraw(random.nextUniform());
        if (own == lastPart || drawn.contains(lastPart)) {
            continue;
        }
        drawn.insert(lastPart);
        candidates.append(WithLastPart(pc, static_cast<quint32>(lastPart)));
    }
    return candidates;
}

// Longer masks: without replacement among the subnet's host numbers but the PC's, each draw
// mapped onto what is left.
QList<Ipv4Address> DrawAmongHosts(Ipv4Address pc, int prefix, RandomSource& random, int count) {
    const quint32 own = pc.toHostOrder() & 0xffU;
    const quint32 size = 1U << (32 - prefix);
    const quint32 network = own & ~(size - 1);
    QList<quint32> pool;
    for (quint32 host = network + 1; host < network + size - 1; ++host) {
        if (host != own) {
            pool.append(host);
        }
    }
    QList<Ipv4Address> candidates;
    while (!pool.isEmpty() && candidates.size() < count) {
        const float u = random.nextUniform();
        const auto index = std::clamp(static_cast<qsizetype>(u * static_cast<float>(pool.size())),
                                      qsizetype{0}, pool.size() - 1);
        candidates.append(WithLastPart(pc, pool.takeAt(index)));
    }
    return candidates;
}

} // namespace

CandidateDraw DrawCandidates(const PcNetwork& network, RandomSource& random, int count) {
    CandidateDraw result;
    const std::optional<Ipv4Address> pc = network.address;
    if (!pc) {
        result.problem = CandidateProblem::AddressInvalid;
        return result;
    }
    result.pcAddress = *pc;
    // Every candidate keeps the PC's first part, so all of them would begin with "0".
    if ((pc->toHostOrder() >> 24) == 0) {
        result.problem = CandidateProblem::NotConfigured;
        return result;
    }
    // A mask the system did not give is 0.0.0.0: drawn by the formula, as for /24.
    const int prefix = MaskPrefix(network.mask).value_or(24);
    if (prefix <= 24) {
        result.candidates = DrawByFormula(*pc, random, count);
    } else if (prefix <= 30) {
        result.candidates = DrawAmongHosts(*pc, prefix, random, count);
    }
    // /31 and /32 hold no host address besides the PC's.
    return result;
}

} // namespace tarvex
