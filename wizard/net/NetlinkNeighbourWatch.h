#pragma once

#include "net/NeighbourWatch.h"

#include <QByteArrayView>
#include <QElapsedTimer>
#include <QList>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

namespace tarvex {

// Slack on top of the time a failure may take: timers, the echo batch's start, scheduling.
inline constexpr std::chrono::milliseconds kResolutionMargin{300};

// One neighbour message: the event, the message's sequence number, and how long before the
// kernel wrote it the entry last changed (NDA_CACHEINFO's ndm_updated, in clock ticks).
struct NeighbourMessage {
    NeighbourEvent event;
    quint32 sequence = 0;
    std::optional<quint32> ticksSinceUpdate;
};

// The neighbour table over rtnetlink: the changes of the IPv4 neighbours of one interface as
// the kernel announces them (group RTNLGRP_NEIGH), and one dump of the table as it stands. Needs
// no privilege. Reads only when the socket has something (a QSocketNotifier), never waits.
class NetlinkNeighbourWatch final : public NeighbourWatch {
public:
    explicit NetlinkNeighbourWatch(QString sysctlRoot = QStringLiteral("/proc/sys/net/ipv4/neigh"),
                                   std::chrono::milliseconds margin = kResolutionMargin);
    ~NetlinkNeighbourWatch() override;
    NetlinkNeighbourWatch(const NetlinkNeighbourWatch&) = delete;
    NetlinkNeighbourWatch& operator=(const NetlinkNeighbourWatch&) = delete;

    [[nodiscard]] std::optional<int> start(Ipv4Address adapterAddress, Handlers handlers) override;
    [[nodiscard]] ResolutionSettings settings() const override { return settings_; }
    void stop() override;

private:
    void readPending();
    [[nodiscard]] std::chrono::milliseconds failedAt(const NeighbourMessage& failure);

    QString sysctlRoot_;
    std::chrono::milliseconds margin_;
    int fd_ = -1;
    int queryFd_ = -1; // asks for one entry, answered at once; subscribed to nothing
    quint32 querySequence_ = 0;
    int interfaceIndex_ = 0;
    quint32 dumpSequence_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer bound_;
    QElapsedTimer started_;
    ResolutionSettings settings_;
    Handlers handlers_;
};

// The neighbour messages in one read of an rtnetlink socket: IPv4 entries of that interface
// only, every other message and anything malformed passed over. Entries of the dump answering
// request `dumpSequence` are marked as the table's snapshot.
[[nodiscard]] QList<NeighbourMessage>
ReadNeighbourMessages(QByteArrayView bytes, int interfaceIndex, quint32 dumpSequence);

} // namespace tarvex
