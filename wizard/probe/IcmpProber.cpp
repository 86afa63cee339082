#include "probe/IcmpProber.h"

#include "base/Logging.h"
#include "net/Ipv4Address.h"
#include "process/OwnedDescriptor.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace tarvex {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPayloadSize = sizeof kEchoPayload - 1;
constexpr std::size_t kHeaderSize = 8; // type, code, checksum, identifier, sequence

struct Pending {
    qsizetype index = 0; // into the caller's list
    quint32 destination = 0;
    quint16 sequence = 0;
    Clock::time_point deadline; // once sent
    bool sent = false;
    bool done = false;
};

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

struct OpenResult {
    int fd = -1;
    bool raw = false;
    int error = 0;
};

OpenResult openEchoSocket(ProbeWays ways) {
    OpenResult result;
    if (ways == ProbeWays::SystemPingOnly) {
        result.error = EPERM;
        return result;
    }
    if (ways != ProbeWays::RawOnly) {
        // The unprivileged echo socket: allowed to the groups in net.ipv4.ping_group_range,
        // and the kernel keeps other processes' replies away from it.
        result.fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (result.fd >= 0) {
            return result;
        }
        result.error = errno;
        // Refused by the group range (EACCES), or a kernel without echo sockets: a raw socket
        // may still be open to a process with CAP_NET_RAW. Anything else fails the same way.
        const bool worthRaw = result.error == EACCES || result.error == EPERM ||
                              result.error == EPROTONOSUPPORT || result.error == EAFNOSUPPORT;
        if (ways == ProbeWays::DatagramOnly || !worthRaw) {
            return result;
        }
    }
    result.fd = socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    result.raw = true;
    if (result.fd < 0) {
        result.error = errno;
    }
    return result;
}

void configureSocket(int fd, bool raw) {
    if (raw) {
        // A raw socket sees every ICMP message of the host; keep only those a probe can use.
        icmp_filter filter{};
        filter.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) |
                        (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
        setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    } else {
        // Queue ICMP errors with the echo they answer, so each can be matched to its probe.
        const int on = 1;
        setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    }
}

class EchoMatcher {
public:
    EchoMatcher(std::vector<Pending>& pending, QList<ProbeOutcome>& outcomes, bool raw,
                quint16 identifier)
        : pending_(pending), outcomes_(outcomes), raw_(raw), identifier_(identifier) {}

    // An echo reply or ICMP error as it was read from the socket.
    void onPacket(const unsigned char* bytes, std::size_t size, quint32 source) {
        if (raw_) {
            onRawPacket(bytes, size);
        } else if (size >= kHeaderSize && bytes[0] == ICMP_ECHOREPLY) {
            // The kernel has matched the identifier already.
            settle(source, readBig16(bytes + 6), EchoStatus::Reply);
        }
    }

    // An error that an echo socket queued with the echo it answers and where that went.
    void onQueuedError(const unsigned char* echo, std::size_t size, quint32 destination,
                       const sock_extended_err& error) {
        if (size < kHeaderSize || echo[0] != ICMP_ECHO) {
            return;
        }
        if (error.ee_origin == SO_EE_ORIGIN_ICMP && IcmpErrorEndsProbe(error.ee_type)) {
            settle(destination, readBig16(echo + 6), EchoStatus::NoReply);
        } else if (error.ee_origin == SO_EE_ORIGIN_LOCAL) {
            // This host dropped it: the echo never left.
            settle(destination, readBig16(echo + 6), EchoStatus::NotSent,
                   static_cast<int>(error.ee_errno));
        }
    }

private:
    void onRawPacket(const unsigned char* bytes, std::size_t size) {
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
            if (readBig16(icmp + 4) == identifier_) {
                settle(source, readBig16(icmp + 6), EchoStatus::Reply);
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
        if (echo[0] == ICMP_ECHO && readBig16(echo + 4) == identifier_) {
            settle(destination, readBig16(echo + 6), EchoStatus::NoReply);
        }
    }

    void settle(quint32 address, quint16 sequence, EchoStatus status, int error = 0) {
        for (Pending& probe : pending_) {
            if (probe.sent && !probe.done && probe.sequence == sequence &&
                probe.destination == address) {
                probe.done = true;
                outcomes_[probe.index] = {status, error};
                return;
            }
        }
    }

    std::vector<Pending>& pending_;
    QList<ProbeOutcome>& outcomes_;
    bool raw_;
    quint16 identifier_;
};

void drainPackets(int fd, EchoMatcher& matcher) {
    unsigned char buffer[1500];
    // Bounded: a flood of unrelated ICMP cannot keep the probe here past its deadlines.
    for (int i = 0; i < 256; ++i) {
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
        matcher.onPacket(buffer, static_cast<std::size_t>(size), from.sin_addr.s_addr);
    }
}

void drainErrorQueue(int fd, EchoMatcher& matcher) {
    unsigned char buffer[1500];
    unsigned char control[512];
    for (int i = 0; i < 256; ++i) {
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
            matcher.onQueuedError(buffer, static_cast<std::size_t>(size), original.sin_addr.s_addr,
                                  error);
        }
    }
}

void logOutcomes(const QList<Ipv4Address>& addresses, const QList<ProbeOutcome>& outcomes) {
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        qCDebug(lcNet) << "probe" << addresses[i].text() << EchoStatusName(outcomes[i].status)
                       << "errno" << outcomes[i].error;
    }
}

// A full send buffer or a short-lived lack of memory: the same echo may go a moment later.
bool worthRetry(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS;
}

} // namespace

bool IcmpErrorEndsProbe(int type) {
    return type == ICMP_DEST_UNREACH || type == ICMP_TIME_EXCEEDED || type == ICMP_PARAMETERPROB;
}

bool AcceptAddressText(const QString& text, quint32* networkOrderAddress) {
    const std::optional<Ipv4Address> address = Ipv4Address::parse(QStringView(text));
    if (!address || address->toHostOrder() == 0xffffffffU) {
        return false;
    }
    *networkOrderAddress = address->toNetworkOrder();
    return true;
}

QList<ProbeOutcome> IcmpProber::probeAll(const QList<Ipv4Address>& addresses) {
    QList<ProbeOutcome> outcomes(addresses.size(), ProbeOutcome{EchoStatus::NotAccepted, 0});
    std::vector<Pending> pending;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        // The limited broadcast is never one host.
        if (addresses[i].toHostOrder() != 0xffffffffU) {
            pending.push_back({i, addresses[i].toNetworkOrder(), 0, {}, false, false});
        }
    }
    if (pending.empty()) {
        return outcomes;
    }

    const OpenResult opened = openEchoSocket(ways_);
    if (opened.fd < 0) {
        const bool pingAllowed = ways_ == ProbeWays::Any || ways_ == ProbeWays::SystemPingOnly;
        if (pingAllowed && PingMaySendEchoes(pingProgram_)) {
            std::vector<quint32> destinations;
            for (const Pending& probe : pending) {
                destinations.push_back(probe.destination);
            }
            const std::vector<ProbeOutcome> pinged = PingEach(pingProgram_, destinations, timeout_);
            for (std::size_t i = 0; i < pending.size(); ++i) {
                outcomes[pending[i].index] = pinged[i];
            }
            qCDebug(lcNet) << "probed by" << pingProgram_ << "after errno" << opened.error;
        } else {
            for (const Pending& probe : pending) {
                outcomes[probe.index] = {EchoStatus::Impossible, opened.error};
            }
        }
        logOutcomes(addresses, outcomes);
        return outcomes;
    }
    const OwnedDescriptor socketHandle(opened.fd);
    const int fd = socketHandle.get();
    configureSocket(fd, opened.raw);

    // Random starting numbers keep the replies of two probes running side by side apart.
    std::random_device random;
    const auto identifier = static_cast<quint16>(random());
    auto sequence = static_cast<quint16>(random());
    for (Pending& probe : pending) {
        probe.sequence = sequence++;
    }

    // Echoes that meet a full buffer are tried again until one time-out after the start; then
    // they count as not sent, never as silent.
    const Clock::time_point retryUntil = Clock::now() + timeout_;
    std::size_t unsent = 0; // pending[unsent...] are still to go, in order
    Clock::time_point nextBurst = Clock::now();
    const auto sendBurst = [&](Clock::time_point now) {
        for (int burst = 0; burst < kEchoBurst && unsent < pending.size();) {
            Pending& probe = pending[unsent];
            const std::vector<unsigned char> packet = echoRequest(identifier, probe.sequence);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = probe.destination;
            if (sender_(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to) >= 0) {
                probe.sent = true;
                probe.deadline = Clock::now() + timeout_;
                outcomes[probe.index] = {EchoStatus::NoReply, 0};
                ++burst;
            } else if (const int error = errno; !worthRetry(error) || now >= retryUntil) {
                probe.done = true;
                outcomes[probe.index] = {EchoStatus::NotSent, error};
            } else {
                return; // the buffer is full: wait for room
            }
            ++unsent;
        }
    };

    EchoMatcher matcher(pending, outcomes, opened.raw, identifier);
    for (;;) {
        Clock::time_point now = Clock::now();
        if (unsent < pending.size() && now >= nextBurst) {
            sendBurst(now);
            now = Clock::now();
            nextBurst = now + kEchoBurstPause;
        }
        Clock::time_point nearest = unsent < pending.size() ? nextBurst : Clock::time_point::max();
        for (std::size_t i = 0; i < unsent; ++i) {
            Pending& probe = pending[i];
            if (!probe.done && probe.deadline <= now) {
                probe.done = true; // timed out: its outcome is already "no reply"
            }
            if (!probe.done && probe.deadline < nearest) {
                nearest = probe.deadline;
            }
        }
        if (nearest == Clock::time_point::max()) {
            break;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::max(nearest - now, Clock::duration{}));
        timespec limit{static_cast<time_t>(wait.count() / 1'000'000'000),
                       static_cast<long>(wait.count() % 1'000'000'000)};
        pollfd watch{fd, POLLIN, 0};
        if (ppoll(&watch, 1, &limit, nullptr) <= 0) {
            continue; // time-out or a signal: the deadlines decide
        }
        if ((watch.revents & POLLERR) != 0 && !opened.raw) {
            drainErrorQueue(fd, matcher);
        }
        drainPackets(fd, matcher);
    }
    logOutcomes(addresses, outcomes);
    return outcomes;
}

ProbeWay ProbeWayOnThisPc(const QString& pingProgram) {
    const OpenResult opened = openEchoSocket(ProbeWays::Any);
    if (opened.fd >= 0) {
        close(opened.fd);
        return opened.raw ? ProbeWay::RawSocket : ProbeWay::DatagramSocket;
    }
    return PingMaySendEchoes(pingProgram) ? ProbeWay::SystemPing : ProbeWay::None;
}

const char* EchoStatusName(EchoStatus status) {
    switch (status) {
    case EchoStatus::Reply:
        return "reply";
    case EchoStatus::NoReply:
        return "no reply";
    case EchoStatus::NotSent:
        return "not sent";
    case EchoStatus::NotAccepted:
        return "not an address";
    case EchoStatus::Impossible:
        return "probing impossible";
    }
    return "?";
}

} // namespace tarvex
