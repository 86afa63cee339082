#include "run/CandidateAddresses.h"

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

std::optional<quint32> ParseOctet(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || value > 255) {
        return std::nullopt;
    }
    return value;
}

// The prefix length of a contiguous dotted mask; nothing for any other text.
std::optional<int> MaskPrefix(const QString& mask) {
    const QStringList parts = mask.split(QLatin1Char('.'));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    quint32 bits = 0;
    for (const QString& part : parts) {
        const std::optional<quint32> octet = ParseOctet(part);
        if (!octet) {
            return std::nullopt;
        }
        bits = (bits << 8) | *octet;
    }
    const quint32 hostBits = ~bits;
    if ((hostBits & (hostBits + 1)) != 0) {
        return std::nullopt;
    }
    return std::popcount(bits);
}

QString WithLastPart(QStringList parts, int lastPart) {
    parts[3] = QString::number(lastPart);
    return parts.join(QLatin1Char('.'));
}

// Masks of /24 and shorter: the last part by the draw formula, repeats and the PC's own
// number drawn again.
QStringList DrawByFormula(const QStringList& parts, RandomSource& random, int count) {
    const std::optional<quint32> own = ParseOctet(parts[3]);
    QSet<int> drawn;
    QStringList candidates;
    for (int draws = 0; draws < kMaxDraws && candidates.size() < count; ++draws) {
        const int lastPart = LastPartFromDraw(random.nextUniform());
        if ((own && static_cast<int>(*own) == lastPart) || drawn.contains(lastPart)) {
            continue;
        }
        drawn.insert(lastPart);
        candidates.append(WithLastPart(parts, lastPart));
    }
    return candidates;
}

// Longer masks: without replacement among the subnet's host numbers but the PC's, each draw
// mapped onto what is left.
QStringList DrawAmongHosts(const QStringList& parts, quint32 own, int prefix, RandomSource& random,
                           int count) {
    const quint32 size = 1U << (32 - prefix);
    const quint32 network = own & ~(size - 1);
    QList<int> pool;
    for (quint32 host = network + 1; host < network + size - 1; ++host) {
        if (host != own) {
            pool.append(static_cast<int>(host));
        }
    }
    QStringList candidates;
    while (!pool.isEmpty() && candidates.size() < count) {
        const float u = random.nextUniform();
        const auto index = std::clamp(static_cast<qsizetype>(u * static_cast<float>(pool.size())),
                                      qsizetype{0}, pool.size() - 1);
        candidates.append(WithLastPart(parts, pool.takeAt(index)));
    }
    return candidates;
}

} // namespace

QString PickCandidateAddress(const QString& pcAddress, float u) {
    const QStringList parts = pcAddress.split(QLatin1Char('.'));
    if (parts.size() != 4) {
        return QStringLiteral("0.0.0.0");
    }
    return WithLastPart(parts, LastPartFromDraw(u));
}

CandidateDraw DrawCandidates(const QString& pcAddress, const QString& pcMask, RandomSource& random,
                             int count) {
    CandidateDraw result;
    const QStringList parts = pcAddress.split(QLatin1Char('.'));
    if (parts.size() != 4) {
        result.problem = CandidateProblem::AddressInvalid;
        return result;
    }
    // Every candidate keeps the PC's first part, so all of them would begin with "0".
    if (parts[0].startsWith(QLatin1Char('0'))) {
        result.problem = CandidateProblem::NotConfigured;
        return result;
    }
    const int prefix = MaskPrefix(pcMask).value_or(24);
    const std::optional<quint32> own = ParseOctet(parts[3]);
    if (prefix <= 24 || !own) {
        result.candidates = DrawByFormula(parts, random, count);
    } else if (prefix <= 30) {
        result.candidates = DrawAmongHosts(parts, *own, prefix, random, count);
    }
    // /31 and /32 hold no host address besides the PC's.
    return result;
}

} // namespace tarvex
