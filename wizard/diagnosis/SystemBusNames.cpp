#include "diagnosis/SystemBusNames.h"

#include "process/OwnedDescriptor.h"

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

// The bus's wire protocol, as far as one question needs it: the EXTERNAL authentication, then
// Hello (every client must say it first) and NameHasOwner, both to the bus daemon.
constexpr char kBusName[] = "org.freedesktop.DBus";
constexpr char kBusPath[] = "/org/freedesktop/DBus";
constexpr quint32 kAskSerial = 2; // Hello is 1
constexpr qsizetype kLargestMessage = 64 * 1024;

enum : char { kMethodCall = 1, kMethodReturn = 2 };
enum : char { kPath = 1, kInterface = 2, kMember = 3, kReplySerial = 5, kDestination = 6 };
enum : char { kSignature = 8 };

// The unix socket of the first "unix:" address of the list: path= or abstract=.
std::optional<sockaddr_un> busSocketAddress() {
    const QByteArray configured = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    const QByteArray list =
        configured.isEmpty() ? QByteArray("unix:path=/var/run/dbus/system_bus_socket") : configured;
    for (const QByteArray& address : list.split(';')) {
        if (!address.startsWith("unix:")) {
            continue;
        }
        for (const QByteArray& pair : address.mid(5).split(',')) {
            const bool abstract = pair.startsWith("abstract=");
            if (!abstract && !pair.startsWith("path=")) {
                continue;
            }
            const QByteArray path =
                QByteArray::fromPercentEncoding(pair.mid(pair.indexOf('=') + 1));
            sockaddr_un socketAddress{};
            socketAddress.sun_family = AF_UNIX;
            const std::size_t offset = abstract ? 1 : 0; // abstract names begin with a 0 byte
            if (path.isEmpty() ||
                static_cast<std::size_t>(path.size()) + offset >= sizeof socketAddress.sun_path) {
                return std::nullopt;
            }
            std::memcpy(socketAddress.sun_path + offset, path.constData(),
                        static_cast<std::size_t>(path.size()));
            return socketAddress;
        }
    }
    return std::nullopt;
}

class Writer {
public:
    void align(int to) {
        while (bytes.size() % to != 0) {
            bytes.append('\0');
        }
    }
    void byte(char value) { bytes.append(value); }
    void u32(quint32 value) {
        align(4);
        char raw[4];
        qToLittleEndian(value, raw);
        bytes.append(raw, 4);
    }
    void string(const QByteArray& text) {
        u32(static_cast<quint32>(text.size()));
        bytes.append(text).append('\0');
    }
    void signature(const QByteArray& text) {
        byte(static_cast<char>(text.size()));
        bytes.append(text).append('\0');
    }
    void field(char code, char type, const QByteArray& value) {
        align(8);
        byte(code);
        signature(QByteArray(1, type));
        if (type == 'g') {
            signature(value);
        } else {
            string(value);
        }
    }
    QByteArray bytes;
};

// A method call to the bus daemon, with one string argument or none.
QByteArray methodCall(quint32 serial, const char* member, const QByteArray& argument) {
    Writer body;
    if (!argument.isNull()) {
        body.string(argument);
    }
    Writer message;
    message.byte('l');
    message.byte(kMethodCall);
    message.byte(0);
    message.byte(1);
    message.u32(static_cast<quint32>(body.bytes.size()));
    message.u32(serial);
    message.u32(0); // the fields' length, set below
    const qsizetype fieldsStart = message.bytes.size();
    message.field(kPath, 'o', kBusPath);
    message.field(kDestination, 's', kBusName);
    message.field(kInterface, 's', kBusName);
    message.field(kMember, 's', member);
    if (!argument.isNull()) {
        message.field(kSignature, 'g', "s");
    }
    qToLittleEndian(static_cast<quint32>(message.bytes.size() - fieldsStart),
                    message.bytes.data() + 12);
    message.align(8);
    return message.bytes + body.bytes;
}

class Reader {
public:
    Reader(const QByteArray& bytes, bool little) : bytes_(bytes), little_(little) {}
    bool align(qsizetype to) {
        pos_ = (pos_ + to - 1) / to * to;
        return pos_ <= bytes_.size();
    }
    std::optional<quint32> u32() {
        if (!align(4) || pos_ + 4 > bytes_.size()) {
            return std::nullopt;
        }
        const char* raw = bytes_.constData() + pos_;
        pos_ += 4;
        return little_ ? qFromLittleEndian<quint32>(raw) : qFromBigEndian<quint32>(raw);
    }
    std::optional<char> byte() {
        if (pos_ >= bytes_.size()) {
            return std::nullopt;
        }
        return bytes_[pos_++];
    }
    bool skip(qsizetype count) {
        pos_ += count;
        return pos_ <= bytes_.size();
    }
    [[nodiscard]] qsizetype pos() const { return pos_; }
    void seek(qsizetype pos) { pos_ = pos; }

private:
    const QByteArray& bytes_;
    bool little_;
    qsizetype pos_ = 0;
};

struct Incoming {
    char type = 0;
    std::optional<quint32> replySerial;
    std::optional<quint32> firstWord; // of the body: a Boolean is one
};

// The length of the first whole message in `bytes`, 0 while it is not all there, -1 when the
// bytes make no message.
qsizetype messageLength(const QByteArray& bytes) {
    if (bytes.size() < 16) {
        return 0;
    }
    const bool little = bytes[0] == 'l';
    if (!little && bytes[0] != 'B') {
        return -1;
    }
    Reader reader(bytes, little);
    reader.seek(4);
    const quint64 body = *reader.u32();
    reader.seek(12);
    const quint64 fields = *reader.u32();
    const quint64 header = (16 + fields + 7) / 8 * 8;
    if (header + body > kLargestMessage) {
        return -1;
    }
    const auto length = static_cast<qsizetype>(header + body);
    return bytes.size() >= length ? length : 0;
}

std::optional<Incoming> parseMessage(const QByteArray& message) {
    const bool little = message[0] == 'l';
    Reader reader(message, little);
    Incoming incoming;
    incoming.type = message[1];
    reader.seek(12);
    const qsizetype fieldsEnd = 16 + static_cast<qsizetype>(*reader.u32());
    while (reader.pos() < fieldsEnd) {
        reader.align(8);
        const std::optional<char> code = reader.byte();
        const std::optional<char> signatureLength = reader.byte();
        const std::optional<char> type = reader.byte();
        if (!code || signatureLength != 1 || !type || !reader.skip(1)) {
            return std::nullopt;
        }
        if (*type == 'u') {
            const std::optional<quint32> value = reader.u32();
            if (*code == kReplySerial) {
                incoming.replySerial = value;
            }
        } else if (*type == 's' || *type == 'o') {
            const std::optional<quint32> length = reader.u32();
            if (!length || !reader.skip(static_cast<qsizetype>(*length) + 1)) {
                return std::nullopt;
            }
        } else if (*type == 'g') {
            const std::optional<char> length = reader.byte();
            if (!length || !reader.skip(static_cast<unsigned char>(*length) + 1)) {
                return std::nullopt;
            }
        } else {
            return std::nullopt; // no field the daemon sends has another type
        }
    }
    reader.seek(fieldsEnd);
    reader.align(8);
    incoming.firstWord = reader.u32();
    return incoming;
}

class Conversation {
public:
    Conversation(int fd, Clock::time_point deadline) : fd_(fd), deadline_(deadline) {}

    bool send(const QByteArray& bytes) {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.constData() + sent,
                                     static_cast<std::size_t>(bytes.size() - sent), MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
            } else if ((n < 0 && errno != EAGAIN && errno != EINTR) || !wait(POLLOUT)) {
                return false;
            }
        }
        return true;
    }
    // More bytes into the buffer; false at the deadline, the end or an error.
    bool receive() {
        if (!wait(POLLIN)) {
            return false;
        }
        char chunk[4096];
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) {
            return n < 0 && (errno == EAGAIN || errno == EINTR);
        }
        buffer.append(chunk, n);
        return buffer.size() <= kLargestMessage;
    }
    QByteArray buffer;

private:
    bool wait(short events) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd watch{fd_, events, 0};
        return poll(&watch, 1, static_cast<int>(left.count())) > 0;
    }
    int fd_;
    Clock::time_point deadline_;
};

} // namespace

bool SystemBusHasNameWithin(const QString& name, std::chrono::milliseconds deadline) {
    const Clock::time_point end = Clock::now() + deadline;
    const std::optional<sockaddr_un> address = busSocketAddress();
    if (!address) {
        return false;
    }
    const OwnedDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.get() < 0 ||
        connect(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        return false; // a unix socket connects at once, or not at all
    }
    Conversation bus(socket.get(), end);
    const QByteArray uid = QByteArray::number(static_cast<qulonglong>(getuid())).toHex();
    if (!bus.send(QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n")) {
        return false;
    }
    while (!bus.buffer.contains("\r\n")) {
        if (!bus.receive()) {
            return false;
        }
    }
    if (!bus.buffer.startsWith("OK ")) {
        return false;
    }
    bus.buffer.remove(0, bus.buffer.indexOf("\r\n") + 2);
    if (!bus.send("BEGIN\r\n" + methodCall(1, "Hello", QByteArray()) +
                  methodCall(kAskSerial, "NameHasOwner", name.toUtf8()))) {
        return false;
    }
    for (;;) {
        const qsizetype length = messageLength(bus.buffer);
        if (length < 0) {
            return false;
        }
        if (length == 0) {
            if (!bus.receive()) {
                return false;
            }
            continue;
        }
        const std::optional<Incoming> message = parseMessage(bus.buffer.left(length));
        bus.buffer.remove(0, length);
        if (!message) {
            return false;
        }
        if (message->replySerial == kAskSerial) {
            return message->type == kMethodReturn && message->firstWord == 1U;
        }
        // Hello's answer and the NameAcquired signal come first.
    }
}

bool SystemBusHasName(const QString& name) {
    return SystemBusHasNameWithin(name, kBusDeadline);
}

} // namespace tarvex
