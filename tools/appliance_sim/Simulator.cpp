#include "Simulator.h"

#include "ApplianceMessages.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvex::sim {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

std::string peerText(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

bool setInterfaceAddress(int fd, const std::string& name, unsigned long request,
                         const std::string& address) {
    ifreq change{};
    std::strncpy(change.ifr_name, name.c_str(), IFNAMSIZ - 1);
    auto* inet = reinterpret_cast<sockaddr_in*>(&change.ifr_addr);
    inet->sin_family = AF_INET;
    if (inet_pton(AF_INET, address.c_str(), &inet->sin_addr) != 1) {
        errno = EINVAL;
        return false;
    }
    return ioctl(fd, request, &change) == 0;
}

// A made-up appliance like `first`, under an identifier of its own; its reply is built from its
// fields.
ApplianceProfile MadeUp(const ApplianceProfile& first, const char* prefix, int number) {
    ApplianceProfile made = first;
    char id[32];
    std::snprintf(id, sizeof id, "%s%015d", prefix, number);
    made.id = id;
    made.rawReply.reset();
    return made;
}

} // namespace

Simulator::Simulator(SimOptions options, std::ostream& log)
    : options_(std::move(options)), log_(log) {}

int Simulator::run() {
    start_ = Clock::now();
    struct sigaction stop {};
    stop.sa_handler = onStopSignal; // no SA_RESTART: the wait returns at once
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    // The stop signals are let in only while waiting, so one cannot slip in between the check
    // and the wait and leave the simulator asleep until the end of its lifetime.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t waiting;
    sigprocmask(SIG_BLOCK, &stopSignals, &waiting);
    sigdelset(&waiting, SIGTERM);
    sigdelset(&waiting, SIGINT);

    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd_ < 0) {
        logLine(std::string("cannot create socket: ") + std::strerror(errno));
        return 1;
    }
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // Answers leave by the interface the request came in on: a limited broadcast needs no
    // route then, as on an appliance whose address is not on the PC's subnet.
    setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    // Each appliance answers from its own address, which the namespace need not hold; this
    // takes CAP_NET_ADMIN (the lab runs as root). Without it the interface's address is used.
    anySource_ = setsockopt(fd_, IPPROTO_IP, IP_TRANSPARENT, &on, sizeof on) == 0;
    if (!anySource_) {
        logLine(std::string("answers come from the interface's address: ") + std::strerror(errno));
    }
    if (!options_.interfaceName.empty() &&
        setsockopt(fd_, SOL_SOCKET, SO_BINDTODEVICE, options_.interfaceName.c_str(),
                   static_cast<socklen_t>(options_.interfaceName.size())) != 0) {
        logLine("cannot bind to " + options_.interfaceName + ": " + std::strerror(errno));
        close(fd_);
        return 1;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(options_.listenPort);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        logLine("cannot listen on port " + std::to_string(options_.listenPort) + ": " +
                std::strerror(errno));
        close(fd_);
        return 1;
    }
    logLine("listening on port " + std::to_string(options_.listenPort) + " as " +
            std::to_string(options_.appliances.size()) + " appliance(s) for " +
            std::to_string(options_.lifetime.count()) + " s");
    if (!options_.readyFile.empty()) {
        std::ofstream(options_.readyFile) << getpid() << '\n';
    }

    const Clock::time_point end = start_ + options_.lifetime;
    while (stopRequested == 0) {
        sendDue();
        const Clock::time_point now = Clock::now();
        if (now >= end) {
            break;
        }
        Clock::time_point wake = std::min(end, floodDue(now));
        for (const Outgoing& item : outbox_) {
            wake = std::min(wake, item.due);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::max(wake - now, Clock::duration{}));
        const timespec limit{static_cast<time_t>(wait.count() / 1'000'000'000),
                             static_cast<long>(wait.count() % 1'000'000'000)};
        pollfd watch{fd_, POLLIN, 0};
        if (ppoll(&watch, 1, &limit, &waiting) <= 0) {
            continue;
        }
        char buffer[65536];
        char control[256];
        sockaddr_in from{};
        iovec part{buffer, sizeof buffer};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = recvmsg(fd_, &message, 0);
        if (size < 0) {
            continue;
        }
        int interfaceIndex = 0;
        for (cmsghdr* item = CMSG_FIRSTHDR(&message); item != nullptr;
             item = CMSG_NXTHDR(&message, item)) {
            if (item->cmsg_level == IPPROTO_IP && item->cmsg_type == IP_PKTINFO) {
                in_pktinfo info{};
                std::memcpy(&info, CMSG_DATA(item), sizeof info);
                interfaceIndex = info.ipi_ifindex;
            }
        }
        asker_ = from;
        onDatagram(std::string(buffer, static_cast<std::size_t>(size)), peerText(from),
                   interfaceIndex);
    }
    logLine(stopRequested != 0 ? "stopped by signal" : "lifetime over");
    releaseTakenAddresses();
    close(fd_);
    return 0;
}

void Simulator::onDatagram(const std::string& bytes, const std::string& from, int interfaceIndex) {
    logBytes("received", from, bytes);
    if (bytes.compare(0, 5, "0C01S") == 0) {
        onDiscovery(interfaceIndex);
    } else if (bytes.compare(0, 5, "0C02S") == 0) {
        onConfigure(bytes, interfaceIndex);
    }
}

void Simulator::onDiscovery(int interfaceIndex) {
    Clock::time_point now = Clock::now() + options_.delay;
    if (options_.senders > 0 && !sendersAnswered_ && anySource_) {
        sendersAnswered_ = true;
        for (int i = 0; i < options_.senders; ++i) {
            ApplianceProfile made = MadeUp(options_.appliances.front(), "FS", i);
            made.ip = "10.78." + std::to_string(i / 250) + "." + std::to_string(1 + i % 250);
            made.from.reset();
            made.host = options_.hostBytes > 0
                            ? std::string(static_cast<std::size_t>(options_.hostBytes), 'H')
                            : "FORGED" + std::to_string(i);
            outbox_.push_back({now + i * options_.senderPace,
                               DiscoveryReplyOf(made),
                               {},
                               {},
                               {},
                               interfaceIndex,
                               made.ip});
        }
        // The appliances' own replies come after the last made-up one.
        now += options_.senders * options_.senderPace + std::chrono::milliseconds(1);
    }
    std::vector<const ApplianceProfile*> answering;
    for (const ApplianceProfile& appliance : options_.appliances) {
        if (appliance.configured && !appliance.discoveryWhenConfigured) {
            logLine("discovery not answered by " + appliance.id + ": configured");
            continue;
        }
        answering.push_back(&appliance);
    }
    for (const ApplianceProfile& appliance : taken_) {
        answering.push_back(&appliance);
    }
    for (const ApplianceProfile* answerer : answering) {
        const ApplianceProfile& appliance = *answerer;
        for (int copy = 0; copy < options_.duplicates; ++copy) {
            outbox_.push_back({now + appliance.delay,
                               DiscoveryReplyOf(appliance),
                               {},
                               {},
                               {},
                               interfaceIndex,
                               sourceOf(appliance)});
        }
    }
    for (int i = 0; i < options_.flood; ++i) {
        ApplianceProfile made = MadeUp(options_.appliances.front(), "FL", i);
        made.host = "FLOOD" + std::to_string(i);
        // From the first appliance's address: one host that makes up appliances.
        outbox_.push_back({now,
                           DiscoveryReplyOf(made),
                           {},
                           {},
                           {},
                           interfaceIndex,
                           sourceOf(options_.appliances.front())});
    }
    if (options_.floodRate > 0) {
        floodReplies_.clear();
        for (int i = 0; i < 16; ++i) {
            ApplianceProfile made = options_.appliances.front();
            char id[32];
            std::snprintf(id, sizeof id, "FR%015d", i);
            made.id = id;
            made.rawReply.reset();
            made.host = "RATE" + std::to_string(i);
            floodReplies_.push_back(DiscoveryReplyOf(made));
        }
        floodTo_ = asker_;
        floodTo_.sin_port = htons(options_.replyPort);
        floodStart_ = now;
        floodEnd_ = now + options_.floodFor;
        floodSent_ = 0;
        logLine("flooding " + peerText(floodTo_) + " with " + std::to_string(options_.floodRate) +
                " replies a second for " + std::to_string(options_.floodFor.count()) + " ms");
    }
}

Simulator::Clock::time_point Simulator::floodDue(Clock::time_point now) {
    if (floodReplies_.empty()) {
        return Clock::time_point::max();
    }
    if (now >= floodEnd_) {
        logLine("flood over: " + std::to_string(floodSent_) + " replies sent");
        floodReplies_.clear();
        return Clock::time_point::max();
    }
    const double elapsed = std::chrono::duration<double>(now - floodStart_).count();
    const auto due = static_cast<long long>(elapsed * options_.floodRate);
    // In batches of up to 64 a call; the send buffer paces a rate the link cannot carry.
    constexpr int kBatch = 64;
    mmsghdr messages[kBatch] = {};
    iovec parts[kBatch] = {};
    while (floodSent_ < due) {
        const int count = static_cast<int>(std::min<long long>(kBatch, due - floodSent_));
        for (int i = 0; i < count; ++i) {
            std::string& bytes = floodReplies_[static_cast<std::size_t>(floodSent_ + i) % 16];
            parts[i] = {bytes.data(), bytes.size()};
            messages[i].msg_hdr = {};
            messages[i].msg_hdr.msg_name = &floodTo_;
            messages[i].msg_hdr.msg_namelen = sizeof floodTo_;
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int sent = sendmmsg(fd_, messages, static_cast<unsigned>(count), 0);
        if (sent <= 0) {
            floodSent_ += count; // dropped: the rate is kept, not caught up
            continue;
        }
        floodSent_ += sent;
    }
    return now + std::chrono::milliseconds(1);
}

void Simulator::onConfigure(const std::string& request, int interfaceIndex) {
    const std::string id = request.substr(5, 17);
    for (const ApplianceProfile& taker : options_.appliances) {
        if (taker.config == ConfigBehaviour::Takeover) {
            takeOver(taker, id, request, interfaceIndex);
        }
    }
    for (const ApplianceProfile& poser : options_.appliances) {
        if (poser.config == ConfigBehaviour::Echo) {
            logLine("configuration for " + id + ": answered as if it were " + poser.id);
            outbox_.push_back({Clock::now() + options_.delay + poser.delay,
                               ConfigureReplyOf(id, '2'),
                               {},
                               {},
                               {},
                               interfaceIndex,
                               sourceOf(poser)});
        }
    }
    const auto found =
        std::find_if(options_.appliances.begin(), options_.appliances.end(),
                     [&](const ApplianceProfile& profile) { return profile.id == id; });
    if (found == options_.appliances.end()) {
        logLine("configuration for another appliance: ignored");
        return;
    }
    ApplianceProfile& appliance = *found;
    const std::optional<ConfigureAsk> ask = ReadConfigureRequest(request);
    char status = '1';
    switch (appliance.config) {
    case ConfigBehaviour::Silent:
    case ConfigBehaviour::Echo:
    case ConfigBehaviour::Takeover:
        logLine("configuration for " + id + ": not answered");
        return;
    case ConfigBehaviour::Refuse:
        status = '1';
        break;
    case ConfigBehaviour::Status:
        status = appliance.status;
        break;
    case ConfigBehaviour::Check:
        status =
            ask && ask->user == appliance.user && ask->password == appliance.password ? '2' : '1';
        break;
    }
    appliance.configured = appliance.configured || status == '2';
    Outgoing reply{Clock::now() + options_.delay + appliance.delay,
                   ConfigureReplyOf(appliance.id, status),
                   {},
                   {},
                   {},
                   interfaceIndex,
                   sourceOf(appliance)};
    if (status == '2' && ask && appliance.move) {
        reply.moveAppliance = static_cast<std::size_t>(found - options_.appliances.begin());
        reply.moveAddress = ask->address;
        reply.moveMask = ask->mask;
    }
    outbox_.push_back(std::move(reply));
}

void Simulator::sendDue() {
    const Clock::time_point now = Clock::now();
    // Stable: replies due at the same time go out in the order they were made.
    std::vector<Outgoing> due;
    std::vector<Outgoing> later;
    for (Outgoing& item : outbox_) {
        (item.due <= now ? due : later).push_back(std::move(item));
    }
    outbox_ = std::move(later);
    for (const Outgoing& item : due) {
        send(item.bytes, item.interfaceIndex, item.from);
        if (item.moveAppliance) {
            moveAddress(*item.moveAppliance, item.moveAddress, item.moveMask);
        }
    }
}

std::string Simulator::sourceOf(const ApplianceProfile& appliance) const {
    const std::string from = appliance.from.value_or(appliance.ip);
    in_addr parsed{};
    if (!anySource_ || inet_pton(AF_INET, from.c_str(), &parsed) != 1) {
        return {};
    }
    return from;
}

void Simulator::send(const std::string& bytes, int interfaceIndex, const std::string& from) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(options_.replyPort);
    inet_pton(AF_INET, options_.replyAddress.c_str(), &to.sin_addr);
    const std::string peer = options_.replyAddress + ":" + std::to_string(options_.replyPort);
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &to;
    message.msg_namelen = sizeof to;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (interfaceIndex > 0 || !from.empty()) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* item = CMSG_FIRSTHDR(&message);
        item->cmsg_level = IPPROTO_IP;
        item->cmsg_type = IP_PKTINFO;
        item->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = interfaceIndex;
        if (!from.empty()) {
            inet_pton(AF_INET, from.c_str(), &info.ipi_spec_dst);
        }
        std::memcpy(CMSG_DATA(item), &info, sizeof info);
    }
    if (sendmsg(fd_, &message, 0) < 0) {
        logLine("cannot send to " + peer + ": " + std::strerror(errno));
        return;
    }
    logBytes("sent", (from.empty() ? std::string() : "from " + from + " to ") + peer, bytes);
}

void Simulator::moveAddress(std::size_t appliance, const std::string& address,
                            const std::string& mask) {
    if (options_.interfaceName.empty()) {
        logLine("no --interface: address not moved");
        return;
    }
    if (!setInterfaceAddress(fd_, options_.interfaceName, SIOCSIFADDR, address) ||
        !setInterfaceAddress(fd_, options_.interfaceName, SIOCSIFNETMASK, mask)) {
        logLine("cannot move the address to " + address + "/" + mask + ": " + std::strerror(errno));
        return;
    }
    options_.appliances[appliance].ip = address;
    options_.appliances[appliance].mask = mask;
    logLine("moved " + options_.interfaceName + " to " + address + "/" + mask);
}

void Simulator::takeOver(const ApplianceProfile& taker, const std::string& id,
                         const std::string& request, int interfaceIndex) {
    const std::optional<ConfigureAsk> ask = ReadConfigureRequest(request);
    if (!ask || options_.interfaceName.empty()) {
        logLine("configuration for " + id + ": cannot take it over (no address or no --interface)");
        return;
    }
    // A label of its own per address, so that each is added beside the interface's own.
    const std::string label = options_.interfaceName + ":" + std::to_string(aliases_.size() + 1);
    if (label.size() >= IFNAMSIZ || !setInterfaceAddress(fd_, label, SIOCSIFADDR, ask->address) ||
        !setInterfaceAddress(fd_, label, SIOCSIFNETMASK, ask->mask)) {
        logLine("cannot take " + ask->address + ": " + std::strerror(errno));
        return;
    }
    aliases_.push_back(label);
    logLine("took " + ask->address + " on " + label + " for " + id);
    ApplianceProfile stolen = taker;
    stolen.id = id;
    stolen.ip = ask->address;
    stolen.from = ask->address;
    stolen.mask = ask->mask;
    stolen.gateway = ask->gateway;
    taken_.push_back(stolen);
    outbox_.push_back({Clock::now() + options_.delay + taker.delay,
                       ConfigureReplyOf(id, '2'),
                       {},
                       {},
                       {},
                       interfaceIndex,
                       sourceOf(stolen)});
}

void Simulator::releaseTakenAddresses() {
    // Taking an alias down removes its address.
    for (const std::string& label : aliases_) {
        ifreq down{};
        std::strncpy(down.ifr_name, label.c_str(), IFNAMSIZ - 1);
        if (ioctl(fd_, SIOCSIFFLAGS, &down) != 0) {
            logLine("cannot remove the address of " + label + ": " + std::strerror(errno));
        }
    }
    aliases_.clear();
}

void Simulator::logBytes(const char* what, const std::string& peer, const std::string& bytes) {
    // The start of a long datagram is enough to tell it; a flood of 64 KB replies would
    // otherwise write hundreds of megabytes.
    constexpr std::size_t kMostLogged = 512;
    std::string hex;
    std::string printable;
    for (const char c : bytes.substr(0, kMostLogged)) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", static_cast<unsigned char>(c));
        hex += pair;
        printable += (c >= 0x20 && c < 0x7f) ? c : '.';
    }
    logLine(std::string(what) + " " + peer + " " + std::to_string(bytes.size()) + " bytes: " + hex +
            "|" + printable + (bytes.size() > kMostLogged ? "|..." : "|"));
}

void Simulator::logLine(const std::string& text) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
    log_ << "[+" << elapsed << "ms] " << text << std::endl;
}

} // namespace tarvex::sim
