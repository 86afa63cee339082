#pragma once

#include "appliance/Credentials.h"
#include "appliance/DeviceRecord.h"
#include "net/DevicePorts.h"
#include "net/Ipv4Address.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

namespace tarvex {

// The device protocol: text messages in UDP datagrams (net/DevicePorts.h says where they go).
// On the wire every text is UTF-8, and a datagram holds exactly its bytes, with no terminator.
inline constexpr qsizetype kDeviceIdLength = 17;
inline constexpr char kNoDiskModel[] = "No HD Installed!";

enum class ReplyKind { Discovery, Configure, Other };

// Sorts a received datagram by its five-byte command word (exact, case as sent).
[[nodiscard]] ReplyKind KindOfReply(const QByteArray& datagram);

// "0C01S": asks every appliance to describe itself.
[[nodiscard]] QByteArray DiscoveryRequest();

// What the configuration request carries besides the chosen appliance's own record.
struct ConfigureFields {
    Ipv4Address newAddress;
    Ipv4Address mask;                   // the PC's
    std::optional<Ipv4Address> gateway; // the PC's; none goes out as an empty field
    Credentials credentials;
};

// "0C02S", the identifier, the new address, then mask, gateway, host name, workgroup, full
// host name, user name and password, each after a ";". The appliance's fields go back as the
// bytes it sent; a ";" inside a field is sent unchanged.
[[nodiscard]] QByteArray ConfigureRequest(const DeviceRecord& device,
                                          const ConfigureFields& fields);

// Why a discovery reply could not be cut into a record.
enum class CutRefusal {
    None,                  // it was cut
    NotADiscoveryReply,    // another command word
    ShorterThanIdentifier, // it ends inside the 17-byte identifier
    KeyMissing,            // `key` is nowhere after the identifier
    KeysOutOfOrder,        // `key` stands only before the key that must precede it
    NoRoomForValue,        // `key` follows the previous key with no room for quote and separator
    FullHostNameNotClosed, // the last value has no closing quote
};

// The outcome of cutting a reply: a whole record, or no record and the reason.
struct ReplyCut {
    // Implicit, so that the cutter returns a record or a refusal as it stands.
    ReplyCut(DeviceRecord whole)
        : record(std::move(whole)) {}                   // NOLINT(google-explicit-constructor)
    ReplyCut(CutRefusal why, QByteArrayView about = {}) // NOLINT(google-explicit-constructor)
        : refusal(why), key(about) {}

    std::optional<DeviceRecord> record;
    CutRefusal refusal = CutRefusal::None;
    QByteArrayView key; // the key the refusal is about, where there is one
};

// Cuts a discovery reply into a record. No record at all when the reply cannot be cut: the
// keys from "IP='" to "HOSTNAME_FULL='" must all be there, in order, with room for their
// values, and the full host name must be closed by its quote.
[[nodiscard]] ReplyCut CutDiscoveryReply(const QByteArray& reply);

// The longest text an appliance puts in a field: a host name's 255 bytes. A longer one is not
// an appliance's, and a row keeps no more of it.
inline constexpr qsizetype kLongestField = 255;
// The most of a reply a row keeps byte for byte: room for every field at its longest.
inline constexpr qsizetype kLongestReplyKept = 2048;

// The record with each text field cut to kLongestField bytes, at the start of a character.
[[nodiscard]] DeviceRecord WithinApplianceSizes(DeviceRecord record);

// The first `most` bytes of a text, not ending inside a UTF-8 character.
[[nodiscard]] QByteArray CutAtCharacter(const QByteArray& bytes, qsizetype most);

// The refusal in words, for the log: "the key NETMASK=' is missing".
[[nodiscard]] QString CutRefusalText(const ReplyCut& cut);

enum class ConfigureStatus {
    Refused, // "1": wrong user name or password, or the settings could not be applied
    Applied, // "2"
    Other,   // any other status byte, or no status at all
};

// The status byte (the 23rd) of a configuration reply.
[[nodiscard]] ConfigureStatus ReadConfigureStatus(const QByteArray& reply);

// Whether a configuration reply is the answer of the appliance `deviceId` names: its
// characters 6 to 22 are that identifier. Any host that heard the request can answer it.
[[nodiscard]] bool IsConfigureReplyOf(const QByteArray& reply, const QByteArray& deviceId);

// The status part of a configuration reply as it came, for the log.
[[nodiscard]] QByteArray ConfigureStatusText(const QByteArray& reply);

// A decimal number text as a whole number, a fraction rounded to the nearest, a half to the
// even neighbour; 0 for a text that is not a number or does not fit in 64 bits.
[[nodiscard]] qint64 ReadWholeNumber(const QByteArray& text);

} // namespace tarvex
