#pragma once

#include "modules/AdapterChoice.h"
#include "modules/DeviceRecord.h"
#include "modules/Globals.h"
#include "run/RequestBroadcaster.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarvex {

// The adapters a setup run asks through, and the adapter each row of its device list was heard
// on. With one adapter (or none) the run is the single-adapter run it always was: one request
// from the PC's address, every reply a row, no adapter named.
class RunAdapters {
public:
    RunAdapters() = default;
    explicit RunAdapters(AdapterList list) : adapters_(std::move(list.adapters)) {}

    [[nodiscard]] bool several() const { return adapters_.size() > 1; }
    // The addresses the discovery request leaves from: each adapter's, or the PC's alone.
    [[nodiscard]] QStringList sources(const QString& pcAddress) const;
    // A discovery reply about to become the next row. Nothing when the appliance is a row heard
    // by another adapter already (the same one again is a row, as with one adapter); else the
    // facts of the adapter it came by, which its address is judged against.
    [[nodiscard]] std::optional<AdapterFacts>
    admit(const DeviceRecord& record, unsigned interfaceIndex, const AdapterFacts& pc);
    // The adapter's name for each row; empty with one adapter.
    [[nodiscard]] QStringList rowAdapters() const;
    // Makes the chosen row's adapter the PC's adapter for the rest of the run: the probes, the
    // free-address search and the configuration request all go by it.
    void choose(qsizetype row, WizardGlobals& globals) const;

private:
    struct Row {
        QByteArray deviceId;
        unsigned interfaceIndex = 0;
    };
    std::vector<QualifyingAdapter> adapters_;
    QList<Row> rows_;
};

// Sends the request from each source in turn; the first failure, once all were tried.
[[nodiscard]] std::optional<BroadcastFailure> BroadcastFromEach(RequestBroadcaster& broadcaster,
                                                                const QByteArray& request,
                                                                const QStringList& sources);

} // namespace tarvex
