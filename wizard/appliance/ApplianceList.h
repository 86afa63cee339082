#pragma once

#include "appliance/ApplianceRow.h"
#include "net/AdapterChoice.h"
#include "net/ReplyListener.h"

#include <QList>
#include <QSet>
#include <utility>

namespace tarvex {

// The most rows a list keeps: more than any office holds, few enough that a flood of forged
// senders cannot exhaust the PC.
inline constexpr qsizetype kMostAppliances = 1000;
// The most senders a full list remembers having left out, so that each is counted once; past
// that every further reply counts, and the memory stays bounded under any flood.
inline constexpr qsizetype kMostUnlistedSendersKnown = 65536;

// The device list as the discovery replies build it, for the run and the scan alike: one row a
// sender on an adapter, in arrival order. A later reply of the same sender on the same adapter is
// dropped, so that one host cannot fill the list with made-up appliances or push out a real
// one; a sender heard on two adapters (a bridged PC) is two rows. The reported address counts
// only when it can be a host on the adapter's network.
class ApplianceList {
public:
    ApplianceList() = default;
    // A reply is judged against the network of the adapter it came by; against the chosen
    // adapter's when it came by another interface, and always when at most one adapter is listed.
    explicit ApplianceList(PcAdapters adapters) : adapters_(std::move(adapters)) {}

    // The reply as the next row; false (and logged) when it is no row: not a discovery reply,
    // not one that can be read, its sender already a row on that adapter, or the list full.
    bool add(const ArrivedDatagram& datagram);

    [[nodiscard]] const QList<ApplianceRow>& rows() const { return rows_; }
    // How many senders of readable replies were left out because the list was full: the user
    // is told, since a flood of forged senders can push a real appliance out this way.
    [[nodiscard]] qsizetype unlisted() const { return unlisted_; }
    [[nodiscard]] QList<ApplianceRow>& rows() { return rows_; }
    // Whether the rows come from several adapters, so that the list names each one's.
    [[nodiscard]] bool severalAdapters() const { return adapters_.several(); }
    // The adapters it judges the replies against.
    [[nodiscard]] const PcAdapters& adapters() const { return adapters_; }

private:
    [[nodiscard]] PcNetwork networkOf(unsigned interfaceIndex) const;

    void countUnlisted(const std::pair<quint32, unsigned>& sender);

    PcAdapters adapters_;
    QList<ApplianceRow> rows_;
    QSet<std::pair<quint32, unsigned>> senders_; // sender and interface of every row
    QSet<std::pair<quint32, unsigned>> unlistedSenders_;
    qsizetype unlisted_ = 0;
};

} // namespace tarvex
