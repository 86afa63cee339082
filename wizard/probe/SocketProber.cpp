#include "probe/SocketProber.h"

#include "process/OwnedDescriptor.h"

#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <random>

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

struct Pending {
    qsizetype index = 0; // into the caller's list
    quint32 destination = 0;
    quint16 sequence = 0;
    Clock::time_point deadline; // once sent
    bool sent = false;
    bool done = false;
};

// A full send buffer or a short-lived lack of memory: the same echo may go a moment later.
bool worthRetry(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS;
}

} // namespace

OpenedEchoSocket OpenEchoSocket(const std::vector<const EchoSocketWay*>& ways) {
    OpenedEchoSocket opened;
    opened.error = EPERM; // no way to try
    for (const EchoSocketWay* way : ways) {
        opened.fd = way->open();
        if (opened.fd >= 0) {
            opened.way = way;
            opened.error = 0;
            return opened;
        }
        opened.error = errno;
        if (!way->nextWayAfter(opened.error)) {
            break;
        }
    }
    return opened;
}

QList<ProbeOutcome> SocketProber::probeAll(const QList<Ipv4Address>& addresses,
                                           unsigned throughInterface) {
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
    const OpenedEchoSocket opened = OpenEchoSocket(ways_);
    if (opened.fd < 0) {
        for (const Pending& probe : pending) {
            outcomes[probe.index] = {EchoStatus::Impossible, opened.error};
        }
        return outcomes;
    }
    const OwnedDescriptor socketHandle(opened.fd);
    const int fd = socketHandle.get();
    const EchoSocketWay& way = *opened.way;
    // Bound before anything is sent; an echo that cannot leave by that adapter tells nothing
    // of it.
    if (throughInterface != kAnyInterface &&
        setsockopt(fd, SOL_SOCKET, SO_BINDTOIFINDEX, &throughInterface, sizeof throughInterface) !=
            0) {
        const int error = errno;
        for (const Pending& probe : pending) {
            outcomes[probe.index] = {EchoStatus::NotSent, error};
        }
        return outcomes;
    }

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
            const std::vector<unsigned char> packet = way.buildEcho(identifier, probe.sequence);
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
    // An answer settles the probe it belongs to, if that still waits: a reply, or an ICMP
    // error that ends it (an error, told at once, never a time-out).
    const auto settle = [&](const EchoAnswer& answer) {
        for (Pending& probe : pending) {
            if (probe.sent && !probe.done && probe.sequence == answer.sequence &&
                probe.destination == answer.address) {
                probe.done = true;
                outcomes[probe.index] = {answer.status, answer.error};
                return;
            }
        }
    };

    std::vector<EchoAnswer> answers;
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
        answers.clear();
        way.readAnswers(fd, watch.revents, identifier, answers);
        for (const EchoAnswer& answer : answers) {
            settle(answer);
        }
    }
    return outcomes;
}

} // namespace tarvex
