#pragma once

#include "run/RunServices.h"
#include "support/ScriptedDialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cmath>
#include <deque>
#include <map>
#include <set>
#include <utility>

namespace tarvex::testing {

// Test doubles of everything the setup run uses beyond its pages. Nothing here touches the
// network or the desktop; each records what the run asked of it.

// A discovery reply: the command word, the 17-character identifier, then the key list.
inline QByteArray DiscoveryReply(const QByteArray& id, const QByteArray& keys) {
    return "0C01R" + id + keys;
}

// The keys of an appliance without a disk, at `ip` (its gateway too) and named `host`.
inline QByteArray ApplianceKeys(const QByteArray& ip, const QByteArray& host) {
    return " IP='" + ip + "' NETMASK='255.255.255.0' GATEWAY='" + ip + "' HOSTNAME='" + host +
           "' WORKGROUP='HOME' HOSTNAME_FULL='NAS.HOME.LAN' HDMODEL=''";
}

class FakeListener final : public ReplyListener {
public:
    std::optional<ListenerFailure> OpenListener(Receiver receiver) override {
        ++opened;
        if (failure) {
            return failure;
        }
        receiver_ = std::move(receiver);
        return std::nullopt;
    }
    void CloseListener() override {
        if (receiver_) {
            ++closed;
        }
        receiver_ = nullptr;
    }
    [[nodiscard]] bool isOpen() const { return static_cast<bool>(receiver_); }
    // Delivers a datagram as the real port would (dropped while closed), then settles.
    void deliver(const QByteArray& datagram) {
        if (receiver_) {
            Receiver receiver = receiver_; // the run may close the port while handling it
            receiver(datagram);
            settle();
        }
    }

    std::optional<ListenerFailure> failure;
    int opened = 0;
    int closed = 0;

private:
    Receiver receiver_;
};

class FakeBroadcaster final : public RequestBroadcaster {
public:
    std::optional<BroadcastFailure> Broadcast(const QByteArray& request,
                                              const QString& sourceAddress) override {
        sent.append({request, sourceAddress});
        return failure;
    }
    QList<std::pair<QByteArray, QString>> sent;
    std::optional<BroadcastFailure> failure;
};

// Holds every batch until the test answers it.
class FakeProbeRunner final : public ProbeRunner {
public:
    struct Batch {
        QStringList addresses;
        Done done;
    };
    void start(const QStringList& addresses, Done done) override {
        batches.push_back({addresses, std::move(done)});
        started.append(addresses);
    }
    void cancelAll() override {
        ++cancelled;
        batches.clear();
    }
    // Answers the oldest batch: each address by `answer`, NoReply when absent; then settles.
    void answerNext(const std::map<QString, ProbeOutcome>& answer = {}) {
        Batch batch = std::move(batches.front());
        batches.pop_front();
        QList<ProbeOutcome> outcomes;
        for (const QString& address : batch.addresses) {
            const auto found = answer.find(address);
            outcomes.append(found != answer.end() ? found->second
                                                  : ProbeOutcome{EchoStatus::NoReply, 0});
        }
        batch.done(outcomes);
        settle();
    }
    void answerAll(const std::map<QString, ProbeOutcome>& answer = {}) {
        while (!batches.empty()) {
            answerNext(answer);
        }
    }
    std::deque<Batch> batches;
    QStringList started;
    int cancelled = 0;
};

class FakeShortcuts final : public ShortcutWriter {
public:
    std::optional<ShortcutFailure> CreateShortcuts(const QString& address,
                                                   const QString& hostName) override {
        written.append({address, hostName});
        return failure;
    }
    QList<std::pair<QString, QString>> written;
    std::optional<ShortcutFailure> failure;
};

class FakeLauncher final : public AddressLauncher {
public:
    void OpenDevice(const QString& address) override { opened.append(address); }
    QStringList opened;
};

class FakeNeighbours final : public NeighbourTable {
public:
    bool hasHardwareAddress(const QString& address, const QString& /*adapterAddress*/) override {
        asked.append(address);
        return known.count(address) != 0;
    }
    std::set<QString> known;
    QStringList asked;
};

// Gives the draws queued, then a fixed spread of further ones (or the last draw, repeatLast).
class FakeRandom final : public RandomSource {
public:
    float nextUniform() override {
        if (!draws.empty()) {
            last_ = draws.front();
            draws.pop_front();
            return last_;
        }
        if (repeatLast) {
            return last_;
        }
        next_ = std::fmod(next_ + 0.6180339F, 1.0F);
        return next_;
    }
    std::deque<float> draws;
    bool repeatLast = false;

private:
    float last_ = 0.0F;
    float next_ = 0.0F;
};

// All the doubles together, with the PC's adapter as the test sets it.
struct FakeRunServices {
    FakeListener listener;
    FakeBroadcaster broadcaster;
    FakeProbeRunner prober;
    FakeShortcuts shortcuts;
    FakeLauncher launcher;
    FakeNeighbours neighbours;
    FakeRandom random;
    AdapterFacts adapter{"192.168.0.20", "255.255.255.0", "192.168.0.1"};
    RunServices services{listener,
                         broadcaster,
                         prober,
                         shortcuts,
                         launcher,
                         neighbours,
                         random,
                         {},
                         [this](WizardGlobals& globals) {
                             globals.PcAddress = adapter.address;
                             globals.PcMask = adapter.mask;
                             globals.PcGateway = adapter.gateway;
                         }};
};

} // namespace tarvex::testing
