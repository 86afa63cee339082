#include "modules/NetlinkNeighbourWatch.h"

#include <QFile>
#include <algorithm>
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

// The NDA_DST attribute of one neighbour message's attributes.
std::optional<Ipv4Address> DestinationIn(const char* attributes, std::size_t size) {
    std::size_t offset = 0;
    while (offset + sizeof(rtattr) <= size) {
        rtattr attribute{};
        std::memcpy(&attribute, attributes + offset, sizeof attribute);
        if (attribute.rta_len < sizeof(rtattr) || attribute.rta_len > size - offset) {
            return std::nullopt;
        }
        if (attribute.rta_type == NDA_DST && attribute.rta_len == RTA_LENGTH(sizeof(quint32))) {
            quint32 networkOrder = 0;
            std::memcpy(&networkOrder, attributes + offset + RTA_LENGTH(0), sizeof networkOrder);
            return Ipv4Address::fromNetworkOrder(networkOrder);
        }
        offset += RTA_ALIGN(attribute.rta_len);
    }
    return std::nullopt;
}

std::optional<QByteArray> ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.read(32);
}

} // namespace

QList<NeighbourEvent> ReadNeighbourMessages(QByteArrayView bytes, int interfaceIndex,
                                            quint32 dumpSequence) {
    QList<NeighbourEvent> events;
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
            const std::size_t attributes = NLMSG_LENGTH(NLMSG_ALIGN(sizeof(ndmsg)));
            const std::optional<Ipv4Address> destination =
                header.nlmsg_len >= attributes
                    ? DestinationIn(data + offset + attributes, header.nlmsg_len - attributes)
                    : std::nullopt;
            if (entry.ndm_family == AF_INET && entry.ndm_ifindex == interfaceIndex && destination) {
                const bool snapshot =
                    header.nlmsg_seq == dumpSequence && (header.nlmsg_flags & NLM_F_MULTI) != 0;
                events.append({*destination, StateOf(entry.ndm_state), snapshot});
            }
        }
        offset += NLMSG_ALIGN(header.nlmsg_len);
    }
    return events;
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
    fd_ = fd;
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
    std::vector<char> buffer(kReadSize);
    for (int read = 0; read < kReadsPerWake && fd_ >= 0; ++read) {
        sockaddr_nl from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC,
                                      reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == ENOBUFS) {
                continue; // changes were lost: their candidates stay undecided, in use at the end
            }
            return; // EAGAIN: all read
        }
        // Only the kernel speaks for the table; a message cut short is not read at all.
        if (from.nl_pid != 0 || static_cast<std::size_t>(size) > buffer.size()) {
            continue;
        }
        const QList<NeighbourEvent> events = ReadNeighbourMessages(
            QByteArrayView(buffer.data(), size), interfaceIndex_, dumpSequence_);
        const std::chrono::milliseconds sinceStart(started_.elapsed());
        for (NeighbourEvent event : events) {
            if (fd_ < 0 || !handlers_.changed) {
                return; // stopped by a handler
            }
            event.sinceStart = sinceStart;
            const auto changed = handlers_.changed; // the handler may stop the watch
            changed(event);
        }
    }
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
}

} // namespace tarvex
