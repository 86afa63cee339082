#pragma once

#include "appliance/ApplianceList.h"
#include "net/AdapterChoice.h"
#include "net/Ipv4Address.h"
#include "net/ReplyListener.h"
#include "net/RequestBroadcaster.h"
#include "probe/Prober.h"
#include "run/DiscoveryRepeats.h"
#include "texts/TextCatalog.h"

#include <QSet>
#include <QString>
#include <QTextStream>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace tarvex {

// Keeps the replies as the run's device list does (appliance/ApplianceList.h): one row a
// sender on an adapter, bounded against forged senders.
class ScanCollector {
public:
    explicit ScanCollector(PcAdapters adapters) : list_(std::move(adapters)) {}

    void add(const ArrivedDatagram& datagram) { list_.add(datagram); }
    [[nodiscard]] const QList<ApplianceRow>& rows() const { return list_.rows(); }
    // Senders a full list left out.
    [[nodiscard]] qsizetype unlisted() const { return list_.unlisted(); }
    // Probes the appliances whose reply came from the host address they reported, and only
    // them: any other stays not reachable, as the run lists it. True when probing was
    // impossible on this PC.
    bool probe(Prober& prober);

private:
    ApplianceList list_;
};

// The line of one appliance: identifier, address, host name, disk model, capacity, available,
// used share, reachable ("Yes", "No" or "?" when the probe could not run; 是, 否 or 未知 in the
// Chinese set), adapter; separated by tabs. Texts are in their display form, which leaves nothing
// a terminal would act on.
[[nodiscard]] QString ScanLine(const ApplianceRow& row, int textBase);
// The heads of those columns, for a person reading at a terminal.
[[nodiscard]] QString ScanHeadLine(int textBase);
// The reachable column's word: reached, not reached, or not known (the probe could not run).
[[nodiscard]] QString ScanReachableWord(int textBase, Reachability reachability);
// One JSON object on one line: the reply's text fields as the device list shows them, the
// reply in hex ("raw": the only exact record, since bytes that are no UTF-8 show alike; its
// first kLongestReplyKept bytes) and its whole "length", the
// parsed address (null when it is no host address), the sender, "reachable" true, false or null,
// and the adapter's name. Controls (C0, DEL, C1) and the marks, embeddings, overrides and
// isolates of bidirectional text are written as \u escapes: the line is safe at a terminal.
[[nodiscard]] QString ScanJsonLine(const ApplianceRow& row);

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
[[nodiscard]] std::optional<int> StartScan(const PcAdapters& adapters, ScanServices services,
                                           ScanOutput output, QTextStream& out, QTextStream& err,
                                           ScanDone done);

} // namespace tarvex
