#include "probe/EchoSocketWays.h"

#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace tarvex {
namespace {

constexpr std::size_t kPayloadSize = sizeof kEchoPayload - 1;
constexpr std::size_t kHeaderSize = 8; // type, code, checksum, identifier, sequence

// Bounded: a flood of unrelated ICMP cannot keep the probe reading past its deadlines.
constexpr int kMostReadsAWakeUp = 256;

quint16 readBig16(const unsigned char* bytes) {
    return static_cast<quint16>((bytes[0] << 8) | bytes[1]);
}

quint16 checksum(const unsigned char* bytes, std::size_t size) {
    quint32 sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += readBig16(bytes + i);
    }
    if (size % 2 != 0) {
        sum += static_cast<quint32>(bytes[size - 1]) << 8;
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xffff) + (sum >> 16);
    }
    return static_cast<quint16>(~sum);
}

// The same request on both sockets; on the datagram socket the kernel puts its own identifier.
std::vector<unsigned char> echoRequest(quint16 identifier, quint16 sequence) {
    std::vector<unsigned char> packet(kHeaderSize + kPayloadSize, 0);
    packet[0] = ICMP_ECHO;
    packet[4] = static_cast<unsigned char>(identifier >> 8);
    packet[5] = static_cast<unsigned char>(identifier);
    packet[6] = static_cast<unsigned char>(sequence >> 8);
    packet[7] = static_cast<unsigned char>(sequence);
    std::memcpy(packet.data() + kHeaderSize, kEchoPayload, kPayloadSize);
    const quint16 sum = checksum(packet.data(), packet.size());
    packet[2] = static_cast<unsigned char>(sum >> 8);
    packet[3] = static_cast<unsigned char>(sum);
    return packet;
}

// Reads every packet waiting, each handed with its source address to `parse`.
template <typename Parse> void readPackets(int fd, Parse parse) {
    unsigned char buffer[1500];
    for (int i = 0; i < kMostReadsAWakeUp; ++i) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size =
            recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return;
            }
            continue; // a pending socket error is reported once; the error queue has the detail
        }
        parse(buffer, static_cast<std::size_t>(size), from.sin_addr.s_addr);
    }
}

// --- the datagram socket -------------------------------------------------------------------

int openDatagram() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd >= 0) {
        // Queue ICMP errors with the echo they answer, so each can be matched to its probe.
        const int on = 1;
        setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    }
    return fd;
}

// EACCES: this user's group is outside net.ipv4.ping_group_range; EPERM: refused otherwise
// (a security module); EPROTONOSUPPORT, EAFNOSUPPORT: a kernel without echo sockets. A raw
// socket may still be open to a process with CAP_NET_RAW. Anything else (no descriptor, no
// memory) would fail the raw socket the same way.
bool afterDatagram(int error) {
    return error == EACCES || error == EPERM || error == EPROTONOSUPPORT || error == EAFNOSUPPORT;
}

// The kernel has matched the identifier already.
void readDatagramReply(const unsigned char* bytes, std::size_t size, quint32 source,
                       std::vector<EchoAnswer>& answers) {
    if (size >= kHeaderSize && bytes[0] == ICMP_ECHOREPLY) {
        answers.push_back({source, readBig16(bytes + 6), EchoStatus::Reply, 0});
    }
}

// An error the socket queued with the echo it answers (`echo`) and where that went.
void readQueuedError(const unsigned char* echo, std::size_t size, quint32 destination,
                     const sock_extended_err& error, std::vector<EchoAnswer>& answers) {
    if (size < kHeaderSize || echo[0] != ICMP_ECHO) {
        return;
    }
    if (error.ee_origin == SO_EE_ORIGIN_ICMP && IcmpErrorEndsProbe(error.ee_type)) {
        answers.push_back({destination, readBig16(echo + 6), EchoStatus::NoReply, 0});
    } else if (error.ee_origin == SO_EE_ORIGIN_LOCAL) {
        // This host dropped it: the echo never left.
        answers.push_back({destination, readBig16(echo + 6), EchoStatus::NotSent,
                           static_cast<int>(error.ee_errno)});
    }
}

void readErrorQueue(int fd, std::vector<EchoAnswer>& answers) {
    unsigned char buffer[1500];
    unsigned char control[512];
    for (int i = 0; i < kMostReadsAWakeUp; ++i) {
        sockaddr_in original{};
        iovec part{buffer, sizeof buffer};
        msghdr message{};
        message.msg_name = &original;
        message.msg_namelen = sizeof original;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = recvmsg(fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
        if (size < 0) {
            return;
        }
        for (cmsghdr* item = CMSG_FIRSTHDR(&message); item != nullptr;
             item = CMSG_NXTHDR(&message, item)) {
            if (item->cmsg_level != IPPROTO_IP || item->cmsg_type != IP_RECVERR) {
                continue;
            }
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(item), sizeof error);
            readQueuedError(buffer, static_cast<std::size_t>(size), original.sin_addr.s_addr, error,
                            answers);
        }
    }
}

void readDatagramAnswers(int fd, short events, quint16 /*identifier*/,
                         std::vector<EchoAnswer>& answers) {
    if ((events & POLLERR) != 0) {
        readErrorQueue(fd, answers);
    }
    readPackets(fd, [&](const unsigned char* bytes, std::size_t size, quint32 source) {
        readDatagramReply(bytes, size, source, answers);
    });
}

// --- the raw socket ------------------------------------------------------------------------

int openRaw() {
    const int fd = socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd >= 0) {
        // A raw socket sees every ICMP message of the host; keep only those a probe can use.
        icmp_filter filter{};
        filter.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) |
                        (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
        setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    }
    return fd;
}

// The last socket way: whatever its errno (EPERM without CAP_NET_RAW), the system's ping, which
// needs no socket of ours, is what is left.
bool afterRaw(int /*error*/) {
    return true;
}

// An IP packet: our echo's reply, or an ICMP error carrying the start of our echo.
void readRawPacket(const unsigned char* bytes, std::size_t size, quint16 identifier,
                   std::vector<EchoAnswer>& answers) {
    if (size < 20) {
        return;
    }
    const std::size_t headerSize = static_cast<std::size_t>(bytes[0] & 0x0f) * 4;
    if (headerSize < 20 || size < headerSize + kHeaderSize) {
        return;
    }
    quint32 source = 0;
    std::memcpy(&source, bytes + 12, sizeof source);
    const unsigned char* icmp = bytes + headerSize;
    const std::size_t icmpSize = size - headerSize;
    if (icmp[0] == ICMP_ECHOREPLY) {
        if (readBig16(icmp + 4) == identifier) {
            answers.push_back({source, readBig16(icmp + 6), EchoStatus::Reply, 0});
        }
        return;
    }
    if (!IcmpErrorEndsProbe(icmp[0])) {
        return; // the filter keeps these out, unless the kernel would not take it
    }
    // The original IP header and the first 8 bytes of our echo follow the 8-byte header.
    const unsigned char* inner = icmp + kHeaderSize;
    const std::size_t innerSize = icmpSize - kHeaderSize;
    if (innerSize < 20) {
        return;
    }
    const std::size_t innerHeader = static_cast<std::size_t>(inner[0] & 0x0f) * 4;
    if (innerHeader < 20 || innerSize < innerHeader + kHeaderSize || inner[9] != IPPROTO_ICMP) {
        return;
    }
    quint32 destination = 0;
    std::memcpy(&destination, inner + 16, sizeof destination);
    const unsigned char* echo = inner + innerHeader;
    if (echo[0] == ICMP_ECHO && readBig16(echo + 4) == identifier) {
        answers.push_back({destination, readBig16(echo + 6), EchoStatus::NoReply, 0});
    }
}

void readRawAnswers(int fd, short /*events*/, quint16 identifier,
                    std::vector<EchoAnswer>& answers) {
    readPackets(fd, [&](const unsigned char* bytes, std::size_t size, quint32 /*source*/) {
        readRawPacket(bytes, size, identifier, answers);
    });
}

} // namespace

const EchoSocketWay kDatagramSocketWay{ProbeWay::DatagramSocket, &openDatagram, &afterDatagram,
                                       &echoRequest, &readDatagramAnswers};
const EchoSocketWay kRawSocketWay{ProbeWay::RawSocket, &openRaw, &afterRaw, &echoRequest,
                                  &readRawAnswers};

bool IcmpErrorEndsProbe(int type) {
    return type == ICMP_DEST_UNREACH || type == ICMP_TIME_EXCEEDED || type == ICMP_PARAMETERPROB;
}

} // namespace tarvex
