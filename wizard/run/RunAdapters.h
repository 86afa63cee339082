#pragma once

#include "appliance/DeviceRecord.h"
#include "net/AdapterChoice.h"
#include "net/Ipv4Address.h"
#include "net/PcNetwork.h"
#include "net/RequestBroadcaster.h"

#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace tarvex {

// The adapters a setup run asks through, each network read once, and the adapter each row of
// its device list was heard on. With one adapter (or none) the run is the single-adapter run
// it always was: one request from the PC's address, every reply judged against the PC's
// network, no adapter named.
class RunAdapters {
public:
    // Where a discovery reply was heard: the adapter's name (empty with one adapter) and the
    // network its address is judged against.
    struct Heard {
        QString name;
        PcNetwork network;
    };

    RunAdapters() = default;
    RunAdapters(AdapterList list, PcNetwork pc);

    [[nodiscard]] bool several() const { return adapters_.size() > 1; }
    // The addresses the discovery request leaves from: each adapter's, or the PC's alone
    // (none: the system chooses).
    [[nodiscard]] QList<std::optional<Ipv4Address>> sources() const;
    // A discovery reply about to become the next row. Nothing when the appliance is a row heard
    // by another adapter already; else where it was heard.
    [[nodiscard]] std::optional<Heard> admit(const DeviceRecord& record, unsigned interfaceIndex);

private:
    struct Adapter {
        QualifyingAdapter facts;
        PcNetwork network;
    };
    struct Row {
        QByteArray deviceId;
        unsigned interfaceIndex = 0;
    };
    std::vector<QualifyingAdapter> listed_;
    std::vector<Adapter> adapters_;
    PcNetwork pc_;
    QList<Row> rows_;
};

// Sends the request from each source in turn; the first failure, once all were tried.
[[nodiscard]] std::optional<BroadcastFailure>
BroadcastFromEach(RequestBroadcaster& broadcaster, const QByteArray& request,
                  const QList<std::optional<Ipv4Address>>& sources);

} // namespace tarvex
