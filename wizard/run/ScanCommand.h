#pragma once

#include "modules/AdapterChoice.h"
#include "modules/DeviceRecord.h"
#include "modules/Prober.h"
#include "run/DiscoveryRepeats.h"
#include "run/ReplyListener.h"
#include "run/RequestBroadcaster.h"

#include <QString>
#include <QTextStream>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace tarvex {

// One appliance as the scan lists it.
struct ScanEntry {
    DeviceRecord record;
    QByteArray adapter; // name of the interface its first reply came in by
    bool reachable = false;
};

// Keeps the first reply of each appliance: the same identifier heard again, on the same adapter
// or another one, adds nothing. Bounded, so that a flood cannot grow it without end.
class ScanCollector {
public:
    explicit ScanCollector(std::vector<QualifyingAdapter> adapters)
        : adapters_(std::move(adapters)) {}

    void add(const ArrivedDatagram& datagram);
    [[nodiscard]] std::vector<ScanEntry>& entries() { return entries_; }
    // The adapter a datagram came in by, if it is one of the adapters scanned.
    [[nodiscard]] const QualifyingAdapter* adapterOf(const QByteArray& name) const;

private:
    std::vector<QualifyingAdapter> adapters_;
    std::vector<ScanEntry> entries_;
};

// The line of one appliance: identifier, address, host name, disk model, capacity, available,
// used share, "Yes" or "No", adapter; separated by tabs. Texts are decoded for display only.
[[nodiscard]] QString ScanLine(const ScanEntry& entry);
// The same as one JSON object on one line.
[[nodiscard]] QString ScanJsonLine(const ScanEntry& entry);

struct ScanServices {
    ReplyListener& listener;
    RequestBroadcaster& broadcaster;
    Prober& prober;
    std::chrono::milliseconds window{3000};
    int discoveryRequests = kDiscoveryRequests; // in the window; 1 only to measure against
};

// The exit status of a scan: 0 with appliances, 1 with none, 2 on an error (told on `err`).
using ScanDone = std::function<void(int status)>;

// One discovery through every adapter in one window, then a line per appliance on `out`. Starts
// and returns at once: the window runs on the caller's event loop, and `done` gets the status at
// its end. A scan that cannot start gives its status at once instead, and `done` is not called.
// The services and streams must outlive the scan.
[[nodiscard]] std::optional<int> StartScan(const AdapterList& adapters, ScanServices services,
                                           bool json, QTextStream& out, QTextStream& err,
                                           ScanDone done);

} // namespace tarvex
