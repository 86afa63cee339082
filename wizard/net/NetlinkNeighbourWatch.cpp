#include "net/NetlinkNeighbourWatch.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace tarvex {
namespace {

// Reads per wake-up of the notifier: a busy table cannot hold the window; the rest comes at the
// next wake-up.
constexpr int kReadsPerWake = 64;
constexpr std::size_t kReadSize = 64 * 1024;

struct Interface {
    QString name;
    int index = 0;
};

// The interface that carries the address, by the system's list of addresses.
std::optional<Interface> InterfaceOf(Ipv4Address address) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return std::nullopt;
    }
    std::optional<Interface> found;
    for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        sockaddr_in inet{};
        std::memcpy(&inet, entry->ifa_addr, sizeof inet);
        if (Ipv4Address::fromNetworkOrder(inet.sin_addr.s_addr) == address) {
            const auto index = static_cast<int>(if_nametoindex(entry->ifa_name));
            if (index > 0) {
                found = Interface{QString::fromLocal8Bit(entry->ifa_name), index};
            }
        }
    }
    freeifaddrs(list);
    return found;
}

NeighbourState StateOf(quint16 nud) {
    // NUD_NOARP: an entry that is never resolved (a device without ARP, a multicast mapping).
    // No failure can ever show such an address free, so it counts as in use at once.
    constexpr quint16 known =
        NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE | NUD_PERMANENT | NUD_NOARP;
    if ((nud & known) != 0) {
        return NeighbourState::Known;
    }
    if ((nud & NUD_FAILED) != 0) {
        return NeighbourState::Failed;
    }
    return NeighbourState::Resolving; // NUD_NONE, NUD_INCOMPLETE
}

struct Attributes {
    std::optional<Ipv4Address> destination;  // NDA_DST
    std::optional<quint32> ticksSinceUpdate; // NDA_CACHEINFO's ndm_updated
};

// The attributes of one neighbour message that matter here; none when they are malformed.
Attributes AttributesIn(const char* attributes, std::size_t size) {
    Attributes found;
    std::size_t offset = 0;
    while (offset + sizeof(rtattr) <= size) {
        rtattr attribute{};
        std::memcpy(&attribute, attributes + offset, sizeof attribute);
        if (attribute.rta_len < sizeof(rtattr) || attribute.rta_len > size - offset) {
            return {};
        }
        const char* value = attributes + offset + RTA_LENGTH(0);
        if (attribute.rta_type == NDA_DST && attribute.rta_len == RTA_LENGTH(sizeof(quint32))) {
            quint32 networkOrder = 0;
            std::memcpy(&networkOrder, value, sizeof networkOrder);
            found.destination = Ipv4Address::fromNetworkOrder(networkOrder);
        } else if (attribute.rta_type == NDA_CACHEINFO &&
                   attribute.rta_len >= RTA_LENGTH(sizeof(nda_cacheinfo))) {
            nda_cacheinfo cache{};
            std::memcpy(&cache, value, sizeof cache);
            found.ticksSinceUpdate = cache.ndm_updated;
        }
        offset += RTA_ALIGN(attribute.rta_len);
    }
    return found;
}

std::optional<QByteArray> ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(32);
}

} // namespace

QList<NeighbourMessage> ReadNeighbourMessages(QByteArrayView bytes, int interfaceIndex,
                                              quint32 dumpSequence) {
    QList<NeighbourMessage> messages;
    const char* data = bytes.data();
    const auto size = static_cast<std::size_t>(bytes.size());
    std::size_t offset = 0;
    while (offset + sizeof(nlmsghdr) <= size) {
        nlmsghdr header{};
        std::memcpy(&header, data + offset, sizeof header);
        if (header.nlmsg_len < sizeof(nlmsghdr) || header.nlmsg_len > size - offset) {
            break;
        }
        // RTM_DELNEIGH is passed over: the entry's last state was announced before it went.
        if (header.nlmsg_type == RTM_NEWNEIGH && header.nlmsg_len >= NLMSG_LENGTH(sizeof(ndmsg))) {
            ndmsg entry{};
            std::memcpy(&entry, data + offset + NLMSG_HDRLEN, sizeof entry);
            const std::size_t start = NLMSG_LENGTH(NLMSG_ALIGN(sizeof(ndmsg)));
            const Attributes attributes =
                header.nlmsg_len >= start
                    ? AttributesIn(data + offset + start, header.nlmsg_len - start)
                    : Attributes{};
            if (entry.ndm_family == AF_INET && entry.ndm_ifindex == interfaceIndex &&
                attributes.destination) {
                const bool snapshot =
                    header.nlmsg_seq == dumpSequence && (header.nlmsg_flags & NLM_F_MULTI) != 0;
                messages.append({{*attributes.destination, StateOf(entry.ndm_state), snapshot},
                                 header.nlmsg_seq,
                                 attributes.ticksSinceUpdate});
            }
        }
        offset += NLMSG_ALIGN(header.nlmsg_len);
    }
    return messages;
}

NetlinkNeighbourWatch::NetlinkNeighbourWatch(QString sysctlRoot, std::chrono::milliseconds margin)
    : sysctlRoot_(std::move(sysctlRoot)), margin_(margin) {
    bound_.setSingleShot(true);
    bound_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&bound_, &QTimer::timeout, &bound_, [this] {
        // A copy: the handler may stop the watch, which lets go of it.
        const std::function<void()> timeUp = handlers_.timeUp;
        if (timeUp) {
            timeUp();
        }
    });
}

NetlinkNeighbourWatch::~NetlinkNeighbourWatch() {
    notifier_.reset();
    stop();
}

std::optional<int> NetlinkNeighbourWatch::start(Ipv4Address adapterAddress, Handlers handlers) {
    stop();
    const std::optional<Interface> interface = InterfaceOf(adapterAddress);
    if (!interface) {
        return ENODEV;
    }
    const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0) {
        return errno;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    int group = RTNLGRP_NEIGH;
    // Room for a burst of changes; a lost change only leaves a candidate undecided.
    int buffer = 1 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    static quint32 sequence = 0;
    dumpSequence_ = ++sequence;
    struct {
        nlmsghdr header;
        ndmsg body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ndmsg));
    request.header.nlmsg_type = RTM_GETNEIGH;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = dumpSequence_;
    request.body.ndm_family = AF_INET;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    // Subscribed before the dump is asked for, and both before any echo goes out.
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        setsockopt(fd, SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &group, sizeof group) != 0 ||
        sendto(fd, &request, request.header.nlmsg_len, 0,
               reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        const int error = errno;
        close(fd);
        return error;
    }
    const int queryFd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (queryFd < 0) {
        const int error = errno;
        close(fd);
        return error;
    }
    fd_ = fd;
    queryFd_ = queryFd;
    interfaceIndex_ = interface->index;
    handlers_ = std::move(handlers);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readPending(); });
    settings_ =
        ReadResolutionSettings(ReadSmallFile, sysctlRoot_ + QLatin1Char('/') + interface->name);
    started_.start();
    bound_.start(settings_.waitTime() + margin_);
    return std::nullopt;
}

void NetlinkNeighbourWatch::readPending() {
    if (fd_ < 0) {
        return;
    }
    std::vector<char> buffer(kReadSize);
    QList<NeighbourMessage> messages;
    for (int read = 0; read < kReadsPerWake; ++read) {
        sockaddr_nl from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC,
                                      reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == ENOBUFS) {
                continue; // changes were lost: their candidates stay undecided, in use at the end
            }
            break; // EAGAIN: all read
        }
        // Only the kernel speaks for the table; a message cut short is not read at all.
        if (from.nl_pid != 0 || static_cast<std::size_t>(size) > buffer.size()) {
            continue;
        }
        messages.append(ReadNeighbourMessages(QByteArrayView(buffer.data(), size), interfaceIndex_,
                                              dumpSequence_));
    }
    const std::chrono::milliseconds readAt(started_.elapsed());
    for (qsizetype i = 0; i < messages.size(); ++i) {
        if (fd_ < 0 || !handlers_.changed) {
            return; // stopped by a handler
        }
        NeighbourEvent event = messages[i].event;
        event.sinceStart = readAt;
        if (event.state == NeighbourState::Failed && !event.snapshot) {
            // A failure that a later change of the same entry already overtook has no time of
            // its own to tell: it can never count.
            const bool overtaken = std::any_of(messages.cbegin() + i + 1, messages.cend(),
                                               [&event](const NeighbourMessage& later) {
                                                   return later.event.address == event.address;
                                               });
            event.sinceStart = overtaken ? std::chrono::milliseconds(0) : failedAt(messages[i]);
        }
        const auto changed = handlers_.changed; // the handler may stop the watch
        changed(event);
    }
}

std::chrono::milliseconds NetlinkNeighbourWatch::failedAt(const NeighbourMessage& failure) {
    // Read late (a busy or stopped event loop), a failure must keep the kernel's own time. The
    // entry is asked for at once: the kernel answers within the request. Its time since its last
    // change now, less that time when the failure was announced, is how long ago that was. Each
    // count is cut to whole clock ticks, so one tick more is taken off: the time found is never
    // later than the kernel's. Whatever cannot be told gives the start, which never counts.
    constexpr std::chrono::milliseconds unknown{0};
    if (!failure.ticksSinceUpdate || queryFd_ < 0) {
        return unknown;
    }
    const quint32 sequence = ++querySequence_;
    std::array<char, NLMSG_LENGTH(sizeof(ndmsg)) + RTA_LENGTH(sizeof(quint32))> request{};
    const nlmsghdr header{static_cast<quint32>(request.size()), RTM_GETNEIGH, NLM_F_REQUEST,
                          sequence, 0};
    ndmsg entry{};
    entry.ndm_family = AF_INET;
    entry.ndm_ifindex = interfaceIndex_;
    const rtattr attribute{RTA_LENGTH(sizeof(quint32)), NDA_DST};
    const quint32 destination = failure.event.address.toNetworkOrder();
    std::memcpy(request.data(), &header, sizeof header);
    std::memcpy(request.data() + NLMSG_HDRLEN, &entry, sizeof entry);
    std::memcpy(request.data() + NLMSG_LENGTH(sizeof(ndmsg)), &attribute, sizeof attribute);
    std::memcpy(request.data() + NLMSG_LENGTH(sizeof(ndmsg)) + RTA_LENGTH(0), &destination,
                sizeof destination);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    const std::chrono::milliseconds askedAt(started_.elapsed());
    if (sendto(queryFd_, request.data(), request.size(), 0,
               reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        return unknown;
    }
    std::array<char, 4096> reply{};
    for (int read = 0; read < 4; ++read) { // an older answer could still wait before ours
        const ssize_t size = recv(queryFd_, reply.data(), reply.size(), MSG_DONTWAIT);
        if (size <= 0) {
            return unknown;
        }
        for (const NeighbourMessage& now :
             ReadNeighbourMessages(QByteArrayView(reply.data(), size), interfaceIndex_, 0)) {
            if (now.sequence != sequence) {
                continue;
            }
            if (now.event.state != NeighbourState::Failed || !now.ticksSinceUpdate ||
                *now.ticksSinceUpdate < *failure.ticksSinceUpdate) {
                return unknown; // the entry changed since
            }
            static const qint64 ticksPerSecond = std::max(sysconf(_SC_CLK_TCK), 1L);
            const qint64 ticksAgo =
                qint64(*now.ticksSinceUpdate) - qint64(*failure.ticksSinceUpdate) + 1;
            const std::chrono::milliseconds ago((ticksAgo * 1000 + ticksPerSecond - 1) /
                                                ticksPerSecond);
            return std::max(askedAt - ago, unknown);
        }
    }
    return unknown;
}

void NetlinkNeighbourWatch::stop() {
    bound_.stop();
    if (notifier_) {
        // Perhaps from inside its own signal: deleted once that has returned.
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    handlers_ = {};
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (queryFd_ >= 0) {
        close(queryFd_);
        queryFd_ = -1;
    }
}

} // namespace tarvex
