#include "appliance/DeviceProtocol.h"

#include <array>
#include <limits>

namespace tarvex {

namespace {

constexpr char kDiscoveryRequestWord[] = "0C01S";
constexpr char kDiscoveryReplyWord[] = "0C01R";
constexpr char kConfigureRequestWord[] = "0C02S";
constexpr char kConfigureReplyWord[] = "0C02R";
constexpr qsizetype kCommandWordLength = 5;
constexpr qsizetype kStatusPosition = 22;

// A key and the field its value fills; each value ends at its closing quote and one separator,
// two bytes before the next key.
struct LinkedKey {
    QByteArrayView key;
    QByteArray DeviceRecord::*field;
};

constexpr std::array<LinkedKey, 5> kLinkedKeys{{
    {"IP='", &DeviceRecord::IpAddress},
    {"NETMASK='", &DeviceRecord::NetMask},
    {"GATEWAY='", &DeviceRecord::Gateway},
    {"HOSTNAME='", &DeviceRecord::HostName},
    {"WORKGROUP='", &DeviceRecord::Workgroup},
}};
constexpr QByteArrayView kFullHostNameKey = "HOSTNAME_FULL='";

// A disk item: its value from the key to the next quote. The search starts at `cursor`, which
// moves past the item only when it is found whole, so a missing item hides none after it. A
// value without its closing quote (a datagram cut short) counts as missing; the record stays.
std::optional<QByteArray> diskItem(const QByteArray& reply, QByteArrayView key, qsizetype& cursor) {
    const qsizetype at = reply.indexOf(key, cursor);
    if (at < 0) {
        return std::nullopt;
    }
    const qsizetype start = at + key.size();
    const qsizetype close = reply.indexOf('\'', start);
    if (close < 0) {
        return std::nullopt;
    }
    cursor = close + 1;
    return reply.mid(start, close - start);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

ReplyKind KindOfReply(const QByteArray& datagram) {
    const QByteArrayView word =
        QByteArrayView(datagram).first(std::min(datagram.size(), kCommandWordLength));
    if (word == kDiscoveryReplyWord) {
        return ReplyKind::Discovery;
    }
    if (word == kConfigureReplyWord) {
        return ReplyKind::Configure;
    }
    return ReplyKind::Other;
}

QByteArray DiscoveryRequest() {
    return QByteArray(kDiscoveryRequestWord);
}

QByteArray ConfigureRequest(const DeviceRecord& device, const ConfigureFields& fields) {
    QByteArray request(kConfigureRequestWord);
    request += device.DeviceId;
    request += fields.newAddress.text().toUtf8();
    const QString gateway = fields.gateway ? fields.gateway->text() : QString();
    for (const QByteArray& part :
         {fields.mask.text().toUtf8(), gateway.toUtf8(), device.HostName, device.Workgroup,
          device.FullHostName, fields.credentials.userName.toUtf8(),
          fields.credentials.password.toUtf8()}) {
        request += ';';
        request += part;
    }
    return request;
}

ReplyCut CutDiscoveryReply(const QByteArray& reply) {
    const auto refused = [](CutRefusal refusal, QByteArrayView key = {}) {
        return ReplyCut(refusal, key);
    };
    const qsizetype idEnd = kCommandWordLength + kDeviceIdLength;
    if (KindOfReply(reply) != ReplyKind::Discovery) {
        return refused(CutRefusal::NotADiscoveryReply);
    }
    if (reply.size() < idEnd) {
        return refused(CutRefusal::ShorterThanIdentifier);
    }
    DeviceRecord record;
    record.DeviceId = reply.mid(kCommandWordLength, kDeviceIdLength);

    // The search starts after the identifier: an identifier may hold any bytes, "IP='" too,
    // and would otherwise corrupt the cut. So a reply whose only "IP='" lies inside positions
    // 6 to 22 gives no record.
    qsizetype at = reply.indexOf(kLinkedKeys[0].key, idEnd);
    if (at < 0) {
        return refused(CutRefusal::KeyMissing, kLinkedKeys[0].key);
    }
    for (std::size_t k = 0; k < kLinkedKeys.size(); ++k) {
        const QByteArrayView nextKey =
            k + 1 < kLinkedKeys.size() ? kLinkedKeys[k + 1].key : kFullHostNameKey;
        const qsizetype start = at + kLinkedKeys[k].key.size();
        const qsizetype next = reply.indexOf(nextKey, start);
        if (next < 0) {
            return refused(reply.indexOf(nextKey, idEnd) < 0 ? CutRefusal::KeyMissing
                                                             : CutRefusal::KeysOutOfOrder,
                           nextKey);
        }
        if (next - start < 2) {
            return refused(CutRefusal::NoRoomForValue, nextKey);
        }
        record.*kLinkedKeys[k].field = reply.mid(start, next - start - 2);
        at = next;
    }

    // The full host name runs to its closing quote: a fixed width would cut or overrun it, and
    // the configuration request sends it back to the appliance.
    const qsizetype fullStart = at + kFullHostNameKey.size();
    const qsizetype fullClose = reply.indexOf('\'', fullStart);
    if (fullClose < 0) {
        return refused(CutRefusal::FullHostNameNotClosed, kFullHostNameKey);
    }
    record.FullHostName = reply.mid(fullStart, fullClose - fullStart);

    qsizetype cursor = fullClose + 1;
    const std::optional<QByteArray> model = diskItem(reply, "HDMODEL='", cursor);
    const std::optional<QByteArray> capacity = diskItem(reply, "HDCAPACITY='", cursor);
    const std::optional<QByteArray> total = diskItem(reply, "HDTOTAL='", cursor);
    const std::optional<QByteArray> available = diskItem(reply, "HDAVAIL='", cursor);
    if (!model || model->isEmpty()) {
        record.DiskModel = kNoDiskModel;
        return record; // no disk: the three numbers stay 0 whatever the reply says
    }
    record.DiskModel = *model;
    record.DiskCapacity = capacity ? ReadWholeNumber(*capacity) : 0;
    record.DiskTotal = total ? ReadWholeNumber(*total) : 0;
    record.DiskAvailable = available ? ReadWholeNumber(*available) : 0;
    return record;
}

QByteArray CutAtCharacter(const QByteArray& bytes, qsizetype most) {
    if (bytes.size() <= most) {
        return bytes;
    }
    // A continuation byte (10xxxxxx) at the cut means a character would be split.
    qsizetype end = most;
    for (int back = 0;
         back < 3 && end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xc0) == 0x80; ++back) {
        --end;
    }
    return bytes.first(end);
}

DeviceRecord WithinApplianceSizes(DeviceRecord record) {
    for (QByteArray DeviceRecord::*field :
         {&DeviceRecord::DeviceId, &DeviceRecord::IpAddress, &DeviceRecord::NetMask,
          &DeviceRecord::Gateway, &DeviceRecord::HostName, &DeviceRecord::Workgroup,
          &DeviceRecord::FullHostName, &DeviceRecord::DiskModel}) {
        record.*field = CutAtCharacter(record.*field, kLongestField);
    }
    return record;
}

QString CutRefusalText(const ReplyCut& cut) {
    const QString key = QString::fromLatin1(cut.key.data(), cut.key.size());
    switch (cut.refusal) {
    case CutRefusal::None:
        return QStringLiteral("cut whole");
    case CutRefusal::NotADiscoveryReply:
        return QStringLiteral("not a discovery reply");
    case CutRefusal::ShorterThanIdentifier:
        return QStringLiteral("shorter than the identifier");
    case CutRefusal::KeyMissing:
        return QStringLiteral("the key %1 is missing").arg(key);
    case CutRefusal::KeysOutOfOrder:
        return QStringLiteral("the key %1 is out of order").arg(key);
    case CutRefusal::NoRoomForValue:
        return QStringLiteral("no room for the value before %1").arg(key);
    case CutRefusal::FullHostNameNotClosed:
        return QStringLiteral("the value of %1 is not closed").arg(key);
    }
    return {};
}

ConfigureStatus ReadConfigureStatus(const QByteArray& reply) {
    if (KindOfReply(reply) != ReplyKind::Configure || reply.size() <= kStatusPosition) {
        return ConfigureStatus::Other;
    }
    switch (reply[kStatusPosition]) {
    case '1':
        return ConfigureStatus::Refused;
    case '2':
        return ConfigureStatus::Applied;
    default:
        return ConfigureStatus::Other;
    }
}

bool IsConfigureReplyOf(const QByteArray& reply, const QByteArray& deviceId) {
    return KindOfReply(reply) == ReplyKind::Configure && deviceId.size() == kDeviceIdLength &&
           reply.size() >= kStatusPosition &&
           QByteArrayView(reply).sliced(kCommandWordLength, kDeviceIdLength) == deviceId;
}

QByteArray ConfigureStatusText(const QByteArray& reply) {
    return reply.mid(kStatusPosition, 1);
}

qint64 ReadWholeNumber(const QByteArray& text) {
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && isSpace(text[i])) {
        ++i;
    }
    while (end > i && isSpace(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr quint64 kLimit = static_cast<quint64>(std::numeric_limits<qint64>::max());
    quint64 magnitude = 0;
    int digits = 0;
    for (; i < end && isDigit(text[i]); ++i, ++digits) {
        const auto digit = static_cast<quint64>(text[i] - '0');
        if (magnitude > (kLimit - digit) / 10) {
            return 0;
        }
        magnitude = magnitude * 10 + digit;
    }
    int firstFraction = -1;   // the first digit after the point
    bool restNonZero = false; // any later digit above zero
    if (i < end && text[i] == '.') {
        ++i;
        for (; i < end && isDigit(text[i]); ++i, ++digits) {
            if (firstFraction < 0) {
                firstFraction = text[i] - '0';
            } else if (text[i] != '0') {
                restNonZero = true;
            }
        }
    }
    if (digits == 0 || i != end) {
        return 0;
    }
    const bool roundUp = firstFraction > 5 || (firstFraction == 5 && restNonZero) ||
                         (firstFraction == 5 && magnitude % 2 == 1);
    if (roundUp) {
        if (magnitude == kLimit) {
            return 0;
        }
        ++magnitude;
    }
    const auto value = static_cast<qint64>(magnitude);
    return negative ? -value : value;
}

} // namespace tarvex
