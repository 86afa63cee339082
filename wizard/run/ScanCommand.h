#pragma once

#include "modules/AdapterChoice.h"
#include "modules/DeviceRecord.h"
#include "modules/Ipv4Address.h"
#include "modules/Prober.h"
#include "run/DiscoveryRepeats.h"
#include "run/ReplyListener.h"
#include "run/RequestBroadcaster.h"

#include <QSet>
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
    Ipv4Address sender;                 // the address its reply came from
    std::optional<Ipv4Address> address; // the address it reported, when that is a host address
    QByteArray adapter;                 // name of the interface its reply came in by
    // Whether it answered the echo; nothing when it could not be probed at all.
    std::optional<bool> reachable = false;
};

// Keeps the first reply of each sender: whatever else comes from an address that already fills
// a row is dropped (and logged), so that one host cannot fill the list with made-up appliances
// or push out a real one. Bounded all the same, against forged senders.
class ScanCollector {
public:
    explicit ScanCollector(std::vector<QualifyingAdapter> adapters)
        : adapters_(std::move(adapters)) {}

    void add(const ArrivedDatagram& datagram);
    [[nodiscard]] std::vector<ScanEntry>& entries() { return entries_; }
    // Probes the appliances whose reply came from the host address they reported, and only
    // them: any other stays not reachable, as the run lists it. True when probing was
    // impossible on this PC.
    bool probe(Prober& prober);

private:
    std::vector<QualifyingAdapter> adapters_;
    std::vector<ScanEntry> entries_;
    QSet<quint32> senders_; // of the entries, for a flood's sake
};

// The line of one appliance: identifier, address, host name, disk model, capacity, available,
// used share, "Yes", "No" or "?" (not probed: probing impossible), adapter; separated by tabs.
// Texts are in their display form, which leaves nothing a terminal would act on.
[[nodiscard]] QString ScanLine(const ScanEntry& entry);
// One JSON object on one line: the reply's fields exactly as received (decoded from UTF-8,
// escaped by JSON alone), the parsed address (null when it is no host address), the sender,
// "reachable" true, false or null, and the adapter.
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
