// Answers ICMP echo requests to chosen addresses after a delay, for a bounded lifetime. The
// kernel's own echo reply cannot be delayed, so the namespace it runs in ignores echoes
// (net.ipv4.icmp_echo_ignore_all=1) and this process answers instead.
//
//   echo_responder --delay 10.77.1.23=300 [--delay ADDRESS=MS ...]
//                  [--lifetime SECONDS] [--ready-file FILE] [--log FILE]
#include "../responder/DelayOption.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <linux/icmp.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Answer {
    Clock::time_point due;
    in_addr from{}; // the address that was asked, the reply's source
    sockaddr_in to{};
    std::vector<unsigned char> icmp;
};

unsigned short checksum(const unsigned char* bytes, std::size_t size) {
    unsigned long sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<unsigned>((bytes[i] << 8) | bytes[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<unsigned>(bytes[size - 1] << 8);
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xffff) + (sum >> 16);
    }
    return static_cast<unsigned short>(~sum);
}

void send(int fd, const Answer& answer) {
    iovec part{const_cast<unsigned char*>(answer.icmp.data()), answer.icmp.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr_in*>(&answer.to);
    message.msg_namelen = sizeof answer.to;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* item = CMSG_FIRSTHDR(&message);
    item->cmsg_level = IPPROTO_IP;
    item->cmsg_type = IP_PKTINFO;
    item->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst = answer.from; // answer from the address that was asked
    std::memcpy(CMSG_DATA(item), &info, sizeof info);
    sendmsg(fd, &message, 0);
}

} // namespace

int main(int argc, char** argv) {
    responder::Delays delays;
    std::chrono::seconds lifetime{20};
    std::string readyFile;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--delay") {
            if (!responder::AddDelay("echo_responder", value, delays)) {
                return 2;
            }
        } else if (option == "--lifetime") {
            lifetime = std::chrono::seconds(std::stol(value));
        } else if (option == "--ready-file") {
            readyFile = value;
        } else if (option != "--log") {
            std::fprintf(stderr, "echo_responder: unknown option %s\n", option.c_str());
            return 2;
        }
    }

    const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) {
        std::perror("echo_responder: raw socket");
        return 1;
    }
    icmp_filter filter{};
    filter.data = ~(1U << ICMP_ECHO);
    setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    if (!readyFile.empty()) {
        std::ofstream(readyFile) << getpid() << '\n';
    }

    std::deque<Answer> queue; // every delay is fixed per address, so each is due in turn
    const Clock::time_point end = Clock::now() + lifetime;
    while (Clock::now() < end) {
        const Clock::time_point now = Clock::now();
        for (auto it = queue.begin(); it != queue.end();) {
            if (it->due <= now) {
                send(fd, *it);
                it = queue.erase(it);
            } else {
                ++it;
            }
        }
        Clock::time_point wake = end;
        for (const Answer& answer : queue) {
            wake = std::min(wake, answer.due);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now);
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, static_cast<int>(std::max<long>(wait.count(), 0)) + 1) <= 0) {
            continue;
        }
        unsigned char packet[1500];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size =
            recvfrom(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 20) {
            continue;
        }
        const std::size_t header = static_cast<std::size_t>(packet[0] & 0x0f) * 4;
        if (static_cast<std::size_t>(size) < header + 8 || packet[header] != ICMP_ECHO) {
            continue;
        }
        in_addr asked{};
        std::memcpy(&asked.s_addr, packet + 16, sizeof asked.s_addr);
        const auto delay = delays.find(asked.s_addr);
        if (delay == delays.end()) {
            continue;
        }
        Answer answer{Clock::now() + delay->second, asked, from,
                      std::vector<unsigned char>(packet + header, packet + size)};
        answer.icmp[0] = ICMP_ECHOREPLY;
        answer.icmp[2] = answer.icmp[3] = 0;
        const unsigned short sum = checksum(answer.icmp.data(), answer.icmp.size());
        answer.icmp[2] = static_cast<unsigned char>(sum >> 8);
        answer.icmp[3] = static_cast<unsigned char>(sum);
        queue.push_back(std::move(answer));
    }
    close(fd);
    return 0;
}
