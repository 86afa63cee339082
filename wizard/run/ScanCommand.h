#pragma once

#include "modules/AdapterChoice.h"
#include "modules/DeviceRecord.h"
#include "modules/Prober.h"
#include "resources/TextCatalog.h"
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
// used share, reachable ("Yes" or "No", 是 or 否 in the Chinese set), adapter; separated by
// tabs. Texts are decoded for display only.
[[nodiscard]] QString ScanLine(const ScanEntry& entry, int textBase);
// The heads of those columns, for a person reading at a terminal.
[[nodiscard]] QString ScanHeadLine(int textBase);
// The reachable column's word: reached, not reached, or not known (the probe could not run).
[[nodiscard]] QString ScanReachableWord(int textBase, std::optional<bool> reachable);
// The same as one JSON object on one line.
[[nodiscard]] QString ScanJsonLine(const ScanEntry& entry);

struct ScanServices {
    ReplyListener& listener;
    RequestBroadcaster& broadcaster;
    Prober& prober;
    std::chrono::milliseconds window{3000};
    int discoveryRequests = kDiscoveryRequests; // in the window; 1 only to measure against
};

// How the scan writes: JSON lines, or text lines in the language of the text base, with a head
// line above them when a person reads them.
struct ScanOutput {
    bool json = false;
    int textBase = kEnglishTextBase;
    bool headLine = false;
};

// The exit status of a scan: 0 with appliances, 1 with none, 2 on an error (told on `err`).
using ScanDone = std::function<void(int status)>;

// One discovery through every adapter in one window, then a line per appliance on `out`. Starts
// and returns at once: the window runs on the caller's event loop, and `done` gets the status at
// its end. A scan that cannot start gives its status at once instead, and `done` is not called.
// The services and streams must outlive the scan.
[[nodiscard]] std::optional<int> StartScan(const AdapterList& adapters, ScanServices services,
                                           ScanOutput output, QTextStream& out, QTextStream& err,
                                           ScanDone done);

} // namespace tarvex
