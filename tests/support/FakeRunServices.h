#pragma once

#include "run/RunServices.h"
#include "support/Addresses.h"
#include "support/ScriptedDialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cmath>
#include <deque>
#include <map>
#include <memory>
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

// Where a datagram comes from when the test does not say.
inline constexpr Ipv4Address kSomeSender{0xc0a80009U}; // 192.168.0.9

// A discovery reply as an appliance sends it: from the address it reports when that is an
// address, else from kSomeSender.
inline ArrivedDatagram ApplianceReply(const QByteArray& id, const QByteArray& ip,
                                      const QByteArray& host = "NAS", unsigned interfaceIndex = 2) {
    return {DiscoveryReply(id, ApplianceKeys(ip, host)), interfaceIndex,
            Ipv4Address::parse(ip).value_or(kSomeSender)};
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
    void deliver(const QByteArray& bytes) { deliver(ArrivedDatagram{bytes, 2, kSomeSender}); }
    void deliver(const ArrivedDatagram& datagram) {
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
                                              std::optional<Ipv4Address> source) override {
        sent.append({request, source ? source->text() : QString()});
        return failure;
    }
    QList<std::pair<QByteArray, QString>> sent; // the request and its source, printed back
    std::optional<BroadcastFailure> failure;    // returned for every request
};

// Holds every batch until the test answers it. Addresses are recorded printed back.
class FakeProbeRunner final : public ProbeRunner {
public:
    struct Batch {
        QStringList addresses;
        Done done;
        unsigned throughInterface = kAnyInterface;
    };
    void start(const QList<Ipv4Address>& addresses, Done done,
               unsigned throughInterface = kAnyInterface) override {
        QStringList texts;
        for (const Ipv4Address address : addresses) {
            texts.append(address.text());
        }
        batches.push_back({texts, std::move(done), throughInterface});
        started.append(texts);
        through.append(throughInterface);
    }
    void cancelAll() override {
        ++cancelled;
        batches.clear();
    }
    // Answers the oldest batch: each address by `answer`, NoReply when absent; then settles.
    void answerNext(const std::map<QString, ProbeOutcome>& answer = {}) { answerAt(0, answer); }
    void answerAt(std::size_t index, const std::map<QString, ProbeOutcome>& answer = {}) {
        Batch batch = std::move(batches[index]);
        batches.erase(batches.begin() + static_cast<std::ptrdiff_t>(index));
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
    QList<unsigned> through; // each batch's interface
    int cancelled = 0;
};

// Answers with `failure`, at once or, when holding (a slow disk), on answer().
class FakeShortcuts final : public ShortcutRunner {
public:
    // Addresses are recorded printed back, as the real writer puts them in the files.
    void start(Ipv4Address address, const QString& hostName, Written done) override {
        written.append({address.text(), hostName});
        pending = std::move(done);
        if (!hold) {
            answer();
        }
    }
    void answer() {
        Written done = std::move(pending);
        pending = nullptr;
        if (done) {
            done(failure);
            settle();
        }
    }
    QList<std::pair<QString, QString>> written;
    std::optional<ShortcutFailure> failure;
    bool hold = false;
    Written pending;
};

// Answers with `report`, at once or, when holding, on answer().
class FakeLauncher final : public AddressLauncher {
public:
    void OpenDevice(Ipv4Address address, Reported reported) override {
        opened.append(address.text());
        pending = std::move(reported);
        if (!hold) {
            answer();
        }
    }
    void answer() {
        Reported reported = std::move(pending);
        pending = nullptr;
        if (reported) {
            reported(report);
            settle();
        }
    }
    QStringList opened;
    OpenReport report;
    bool hold = false;
    Reported pending;
};

// Tells the run what the test reports of the neighbour table, while it is watched.
class FakeNeighbourWatch final : public NeighbourWatch {
public:
    std::optional<int> start(Ipv4Address adapterAddress, Handlers handlers) override {
        ++started;
        adapter = adapterAddress;
        if (failure) {
            return failure;
        }
        handlers_ = std::move(handlers);
        return std::nullopt;
    }
    [[nodiscard]] ResolutionSettings settings() const override { return resolution; }
    void stop() override { handlers_ = {}; }
    [[nodiscard]] bool watching() const { return static_cast<bool>(handlers_.changed); }
    // By default when a failure of a resolution that the echoes started would come. Watches
    // made by follower() hear it too.
    void report(const QString& address, NeighbourState state,
                std::chrono::milliseconds sinceStart = kShortestResolutionWait) {
        const NeighbourEvent event{*Ipv4Address::parse(address), state, false, sinceStart};
        // A watch that begins on this event does not hear it.
        const std::map<const NeighbourWatch*, Handlers> followers = followers_;
        if (const Handlers handlers = handlers_; handlers.changed) {
            handlers.changed(event);
        }
        for (const auto& follower : followers) {
            if (followers_.count(follower.first) != 0 && follower.second.changed) {
                follower.second.changed(event);
            }
        }
        settle();
    }
    void timeUp() {
        if (const Handlers handlers = handlers_; handlers.timeUp) {
            handlers.timeUp();
            settle();
        }
    }
    // Another watch of the same table, as the run makes one for each address it keeps asking.
    [[nodiscard]] std::unique_ptr<NeighbourWatch> follower() {
        class Follower final : public NeighbourWatch {
        public:
            explicit Follower(FakeNeighbourWatch& table) : table_(table) {}
            ~Follower() override { stop(); }
            std::optional<int> start(Ipv4Address, Handlers handlers) override {
                ++table_.followersStarted;
                if (table_.followerFailure) {
                    return table_.followerFailure;
                }
                table_.followers_[this] = std::move(handlers);
                return std::nullopt;
            }
            [[nodiscard]] ResolutionSettings settings() const override { return table_.resolution; }
            void stop() override { table_.followers_.erase(this); }

        private:
            FakeNeighbourWatch& table_;
        };
        return std::make_unique<Follower>(*this);
    }
    [[nodiscard]] std::size_t followersWatching() const { return followers_.size(); }

    std::optional<int> failure;
    std::optional<int> followerFailure;
    ResolutionSettings resolution;
    std::optional<Ipv4Address> adapter;
    int started = 0;
    int followersStarted = 0;

private:
    Handlers handlers_;
    std::map<const NeighbourWatch*, Handlers> followers_;
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

// All the doubles together, with the PC's adapters as the test sets them: by default one, and
// none listed, so that the run asks through the chosen one alone.
struct FakeRunServices {
    FakeListener listener;
    FakeBroadcaster broadcaster;
    FakeProbeRunner prober;
    FakeShortcuts shortcuts;
    FakeLauncher launcher;
    FakeNeighbourWatch neighbours;
    FakeRandom random;
    PcAdapters adapters{Network("192.168.0.20", "255.255.255.0", "192.168.0.1"), {}};
    QString diagnosis{"Firewall: ufw is enabled."};
    std::chrono::steady_clock::time_point clock; // stands still unless the test moves it
    RunServices services{listener,
                         broadcaster,
                         prober,
                         shortcuts,
                         launcher,
                         neighbours,
                         random,
                         {},
                         [this] { return adapters; },
                         [this] { return diagnosis; },
                         [this] { return clock; },
                         true,
                         [this] {
                             return neighbours.follower();
                         }};

    // Answers the oldest probe batch by `answer` (as answerNext), then, as the resolution's
    // time passes, the resolution of each of its addresses: answered for those in `inUse`,
    // failed for the others.
    void answerSearch(const std::map<QString, ProbeOutcome>& answer = {},
                      const std::set<QString>& inUse = {}) {
        // A search's candidates, not the echo that keeps asking a found address.
        std::size_t index = 0;
        while (index + 1 < prober.batches.size() && prober.batches[index].addresses.size() < 2) {
            ++index;
        }
        const QStringList addresses = prober.batches[index].addresses;
        clock += kShortestResolutionWait;
        prober.answerAt(index, answer);
        for (const QString& address : addresses) {
            neighbours.report(address, inUse.count(address) != 0 ? NeighbourState::Known
                                                                 : NeighbourState::Failed);
        }
    }
};

} // namespace tarvex::testing
