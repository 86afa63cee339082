// Answers ARP requests for chosen addresses after a delay, for a bounded lifetime: a host that
// drops every echo and answers the address resolution late (a PC in power save, a busy host).
// It runs in a lab namespace that holds none of these addresses, so its kernel neither answers
// their resolution nor their echoes; this process alone answers, from an AF_PACKET socket.
//
//   arp_responder --interface eth0 --delay 10.77.1.120=700 [--delay ADDRESS=MS ...]
//                 [--take-after MS --take-range LOW-HIGH [--take-delay MS]]
//                 [--lifetime SECONDS] [--ready-file FILE] [--log FILE]
//
// With --take-after it also plays a host that watches who is asked for: every address of the
// range asked for in the first MS is taken from then on, its requests answered after
// --take-delay (0 by default), as a host that helps itself to addresses it saw to be unused.
#include "../responder/DelayOption.h"

#include <arpa/inet.h>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <linux/if_packet.h>
#include <map>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/if_ether.h>
#include <optional>
#include <poll.h>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Mac = std::array<unsigned char, ETH_ALEN>;

constexpr std::size_t kFrameSize = sizeof(ether_header) + sizeof(ether_arp);

struct Answer {
    Clock::time_point due;
    Mac to{};
    std::array<unsigned char, 4> asked{};
    std::array<unsigned char, 4> askedBy{};
};

void send(int fd, int interfaceIndex, const Mac& own, const Answer& answer) {
    unsigned char frame[kFrameSize] = {};
    ether_header ethernet{};
    std::memcpy(ethernet.ether_dhost, answer.to.data(), ETH_ALEN);
    std::memcpy(ethernet.ether_shost, own.data(), ETH_ALEN);
    ethernet.ether_type = htons(ETHERTYPE_ARP);
    ether_arp arp{};
    arp.arp_hrd = htons(ARPHRD_ETHER);
    arp.arp_pro = htons(ETHERTYPE_IP);
    arp.arp_hln = ETH_ALEN;
    arp.arp_pln = 4;
    arp.arp_op = htons(ARPOP_REPLY);
    std::memcpy(arp.arp_sha, own.data(), ETH_ALEN);
    std::memcpy(arp.arp_spa, answer.asked.data(), 4);
    std::memcpy(arp.arp_tha, answer.to.data(), ETH_ALEN);
    std::memcpy(arp.arp_tpa, answer.askedBy.data(), 4);
    std::memcpy(frame, &ethernet, sizeof ethernet);
    std::memcpy(frame + sizeof ethernet, &arp, sizeof arp);
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_ifindex = interfaceIndex;
    to.sll_halen = ETH_ALEN;
    std::memcpy(to.sll_addr, answer.to.data(), ETH_ALEN);
    sendto(fd, frame, sizeof frame, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

} // namespace

int main(int argc, char** argv) {
    responder::Delays delays;
    std::chrono::seconds lifetime{20};
    std::string interface = "eth0";
    std::string readyFile;
    std::string logFile;
    std::optional<std::chrono::milliseconds> takeAfter;
    std::chrono::milliseconds takeDelay{0};
    in_addr_t takeLow = 0;
    in_addr_t takeHigh = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--delay") {
            if (!responder::AddDelay("arp_responder", value, delays)) {
                return 2;
            }
        } else if (option == "--interface") {
            interface = value;
        } else if (option == "--lifetime") {
            lifetime = std::chrono::seconds(std::stol(value));
        } else if (option == "--ready-file") {
            readyFile = value;
        } else if (option == "--log") {
            logFile = value;
        } else if (option == "--take-after") {
            takeAfter = std::chrono::milliseconds(std::stol(value));
        } else if (option == "--take-delay") {
            takeDelay = std::chrono::milliseconds(std::stol(value));
        } else if (option == "--take-range") {
            in_addr low{};
            in_addr high{};
            const std::size_t dash = value.find('-');
            if (dash == std::string::npos ||
                inet_pton(AF_INET, value.substr(0, dash).c_str(), &low) != 1 ||
                inet_pton(AF_INET, value.substr(dash + 1).c_str(), &high) != 1) {
                std::fprintf(stderr, "arp_responder: bad range %s\n", value.c_str());
                return 2;
            }
            takeLow = ntohl(low.s_addr);
            takeHigh = ntohl(high.s_addr);
        } else {
            std::fprintf(stderr, "arp_responder: unknown option %s\n", option.c_str());
            return 2;
        }
    }

    const int fd = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ARP));
    if (fd < 0) {
        std::perror("arp_responder: packet socket");
        return 1;
    }
    ifreq request{};
    std::snprintf(request.ifr_name, sizeof request.ifr_name, "%s", interface.c_str());
    const int interfaceIndex = static_cast<int>(if_nametoindex(interface.c_str()));
    if (interfaceIndex == 0 || ioctl(fd, SIOCGIFHWADDR, &request) != 0) {
        std::perror("arp_responder: interface");
        return 1;
    }
    Mac own{};
    std::memcpy(own.data(), request.ifr_hwaddr.sa_data, ETH_ALEN);
    sockaddr_ll local{};
    local.sll_family = AF_PACKET;
    local.sll_protocol = htons(ETH_P_ARP);
    local.sll_ifindex = interfaceIndex;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        std::perror("arp_responder: bind");
        return 1;
    }
    std::ofstream log;
    if (!logFile.empty()) {
        log.open(logFile, std::ios::app);
    }
    if (!readyFile.empty()) {
        std::ofstream(readyFile) << getpid() << '\n';
    }

    std::deque<Answer> queue;
    std::set<in_addr_t> seen; // asked for before the take, in the range
    bool taken = false;
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + lifetime;
    while (Clock::now() < end) {
        const Clock::time_point now = Clock::now();
        Clock::time_point wake = end;
        if (takeAfter && !taken) {
            if (now - start >= *takeAfter) {
                // From now on the host holds every address it saw asked for, asked again or not.
                taken = true;
                for (const in_addr_t address : seen) {
                    char text[INET_ADDRSTRLEN] = {};
                    inet_ntop(AF_INET, &address, text, sizeof text);
                    if (log.is_open()) {
                        log << "took " << text << '\n' << std::flush;
                    }
                }
            } else {
                wake = std::min(wake, start + *takeAfter);
            }
        }
        for (auto it = queue.begin(); it != queue.end();) {
            if (it->due <= now) {
                send(fd, interfaceIndex, own, *it);
                it = queue.erase(it);
            } else {
                wake = std::min(wake, it->due);
                ++it;
            }
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now);
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, static_cast<int>(std::max<long>(wait.count(), 0)) + 1) <= 0) {
            continue;
        }
        unsigned char frame[1514];
        sockaddr_ll from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size =
            recvfrom(fd, frame, sizeof frame, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < static_cast<ssize_t>(kFrameSize) || from.sll_pkttype == PACKET_OUTGOING) {
            continue;
        }
        ether_arp arp{};
        std::memcpy(&arp, frame + sizeof(ether_header), sizeof arp);
        if (ntohs(arp.arp_hrd) != ARPHRD_ETHER || ntohs(arp.arp_pro) != ETHERTYPE_IP ||
            arp.arp_hln != ETH_ALEN || arp.arp_pln != 4 || ntohs(arp.arp_op) != ARPOP_REQUEST) {
            continue;
        }
        in_addr_t asked = 0;
        std::memcpy(&asked, arp.arp_tpa, 4);
        std::optional<std::chrono::milliseconds> answerAfter;
        if (const auto delay = delays.find(asked); delay != delays.end()) {
            answerAfter = delay->second;
        } else if (takeAfter && ntohl(asked) >= takeLow && ntohl(asked) <= takeHigh) {
            if (!taken) {
                seen.insert(asked);
            } else if (seen.count(asked) != 0) {
                answerAfter = takeDelay;
            }
        }
        if (!answerAfter) {
            continue;
        }
        Answer answer{Clock::now() + *answerAfter, {}, {}, {}};
        std::memcpy(answer.to.data(), arp.arp_sha, ETH_ALEN);
        std::memcpy(answer.asked.data(), arp.arp_tpa, 4);
        std::memcpy(answer.askedBy.data(), arp.arp_spa, 4);
        queue.push_back(answer);
        if (log.is_open()) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &asked, text, sizeof text);
            log << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                       .count()
                << " ms: request for " << text << '\n'
                << std::flush;
        }
    }
    close(fd);
    return 0;
}
