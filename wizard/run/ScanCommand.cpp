#include "run/ScanCommand.h"

#include "modules/DeviceListCells.h"
#include "modules/Ipv4Address.h"
#include "resources/AddedTexts.h"
#include "resources/TextCatalog.h"
#include "run/ApplianceAddress.h"
#include "run/ArrivalAdapter.h"
#include "run/DeviceProtocol.h"
#include "run/DiscoveryRepeats.h"
#include "run/QtRunTimers.h"
#include "run/RunMessages.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <net/if.h>

namespace tarvex {

namespace {

// More appliances than any network holds; a flood of invented identifiers stops here.
constexpr std::size_t kMostAppliances = 1000;

// DisplayText leaves no tab or line break, so a cell cannot split the line.
QString cell(const QByteArray& bytes) {
    return DisplayText(bytes);
}

// A message of the run as one line of an error stream.
QString oneLine(const QString& text) {
    return QString(text)
        .replace(QStringLiteral("\r\n "), QStringLiteral(" "))
        .replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

} // namespace

const QualifyingAdapter* ScanCollector::adapterOf(const QByteArray& name) const {
    const auto found = std::find_if(adapters_.begin(), adapters_.end(),
                                    [&](const auto& adapter) { return adapter.name == name; });
    return found == adapters_.end() ? nullptr : &*found;
}

void ScanCollector::add(const ArrivedDatagram& datagram) {
    if (entries_.size() >= kMostAppliances || KindOfReply(datagram.bytes) != ReplyKind::Discovery) {
        return;
    }
    std::optional<DeviceRecord> record = CutDiscoveryReply(datagram.bytes).record;
    if (!record || std::any_of(entries_.begin(), entries_.end(), [&](const auto& entry) {
            return entry.record.DeviceId == record->DeviceId;
        })) {
        return;
    }
    entries_.push_back(
        {std::move(*record), ArrivalAdapterName(adapters_, datagram.interfaceIndex), false});
}

QString ScanReachableWord(int textBase, std::optional<bool> reachable) {
    if (!reachable) {
        return AddedCatalogText(textBase, AddedText::ScanReachableUnknown);
    }
    return AddedCatalogText(textBase,
                            *reachable ? AddedText::ScanReachableYes : AddedText::ScanReachableNo);
}

QString ScanLine(const ScanEntry& entry, int textBase) {
    const DeviceRecord& r = entry.record;
    return QStringList{cell(r.DeviceId),
                       cell(r.IpAddress),
                       cell(r.HostName),
                       cell(r.DiskModel),
                       CapacityText(r.DiskCapacity),
                       AvailableText(r.DiskTotal),
                       UsedShareText(r.DiskTotal, r.DiskAvailable),
                       ScanReachableWord(textBase, entry.reachable),
                       cell(entry.adapter)}
        .join(QLatin1Char('\t'));
}

QString ScanHeadLine(int textBase) {
    const auto heading = [textBase](int n) {
        return CatalogText(textBase, n);
    };
    return QStringList{AddedCatalogText(textBase, AddedText::ScanIdentifierColumn),
                       heading(Text::ColumnIpAddress),
                       heading(Text::ColumnHostName),
                       heading(Text::ColumnDiskName),
                       heading(Text::ColumnCapacity),
                       heading(Text::ColumnAvailable),
                       heading(Text::ColumnUsed),
                       heading(Text::ColumnReachable),
                       AddedCatalogText(textBase, AddedText::AdapterColumn)}
        .join(QLatin1Char('\t'));
}

QString ScanJsonLine(const ScanEntry& entry) {
    const DeviceRecord& r = entry.record;
    const QJsonObject object{
        {QStringLiteral("id"), DisplayText(r.DeviceId)},
        {QStringLiteral("address"), DisplayText(r.IpAddress)},
        {QStringLiteral("hostName"), DisplayText(r.HostName)},
        {QStringLiteral("diskModel"), DisplayText(r.DiskModel)},
        {QStringLiteral("capacity"), CapacityText(r.DiskCapacity)},
        {QStringLiteral("available"), AvailableText(r.DiskTotal)},
        {QStringLiteral("used"), UsedShareText(r.DiskTotal, r.DiskAvailable)},
        {QStringLiteral("reachable"), entry.reachable},
        {QStringLiteral("adapter"), DisplayText(entry.adapter)},
    };
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

namespace {

// What a scan holds between its start and the end of its window.
struct ScanState {
    ScanState(const AdapterList& list, ScanServices given, ScanOutput form, QTextStream& output,
              QTextStream& errors, ScanDone finished)
        : collector(list.adapters), services(given), output(form), out(output), err(errors),
          done(std::move(finished)) {
        timers.setTick([this](RunTimer timer) {
            if (timer == RunTimer::DiscoveryRepeat) {
                repeats.tick();
            }
        });
    }
    ScanCollector collector;
    ScanServices services;
    ScanOutput output;
    QTextStream& out;
    QTextStream& err;
    ScanDone done;
    QtRunTimers timers;
    DiscoveryRepeats repeats{timers};
};

// Sends the discovery request from every adapter; the number sent. Failures are told on `err`
// when given.
int AskEveryAdapter(const AdapterList& adapters, RequestBroadcaster& broadcaster,
                    QTextStream* err) {
    int sent = 0;
    for (const QualifyingAdapter& adapter : adapters.adapters) {
        if (const auto failure = broadcaster.Broadcast(
                DiscoveryRequest(), PcNetwork::read({adapter.address, {}, {}}).address)) {
            if (err != nullptr) {
                *err << QString::fromUtf8(adapter.name) << ": "
                     << oneLine(BroadcastFailureMessage(*failure).text) << '\n';
            }
        } else {
            ++sent;
        }
    }
    return sent;
}

// After the window: probe what can be probed, print a line an appliance, and the status.
int FinishScan(ScanState& scan) {
    scan.repeats.stop();
    scan.services.listener.CloseListener();
    QTextStream& out = scan.out;
    QTextStream& err = scan.err;
    ScanCollector& collector = scan.collector;
    ScanServices& services = scan.services;
    const ScanOutput& output = scan.output;
    // Only an address that is one host can be probed; anything else is shown as not reachable.
    std::vector<ScanEntry>& entries = collector.entries();
    QList<Ipv4Address> probed;
    std::vector<std::size_t> probedEntries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QualifyingAdapter* adapter = collector.adapterOf(entries[i].adapter);
        const std::optional<Ipv4Address> address = ApplianceAddress(
            entries[i].record,
            adapter ? PcNetwork::read({adapter->address, adapter->mask, {}}) : PcNetwork{});
        if (address) {
            probed.append(*address);
            probedEntries.push_back(i);
        }
    }
    if (!probed.isEmpty()) {
        const QList<ProbeOutcome> outcomes = services.prober.probeAll(probed);
        for (qsizetype i = 0; i < outcomes.size() && i < probed.size(); ++i) {
            entries[probedEntries[static_cast<std::size_t>(i)]].reachable = outcomes[i].reachable();
            if (outcomes[i].status == EchoStatus::Impossible && i == 0) {
                err << AddedCatalogText(output.textBase, AddedText::ScanProbingImpossible) << '\n';
            }
        }
    }
    if (output.headLine && !output.json && !entries.empty()) {
        out << ScanHeadLine(output.textBase) << '\n';
    }
    for (const ScanEntry& entry : entries) {
        out << (output.json ? ScanJsonLine(entry) : ScanLine(entry, output.textBase)) << '\n';
    }
    out.flush();
    if (entries.empty()) {
        err << AddedCatalogText(output.textBase, AddedText::ScanNoAnswer) << '\n';
        return 1;
    }
    return 0;
}

} // namespace

std::optional<int> StartScan(const AdapterList& adapters, ScanServices services, ScanOutput output,
                             QTextStream& out, QTextStream& err, ScanDone done) {
    if (adapters.adapters.empty()) {
        err << AddedCatalogText(output.textBase, AddedText::ScanNoAdapter) << '\n';
        return 2;
    }
    auto scan = std::make_shared<ScanState>(adapters, services, output, out, err, std::move(done));
    ScanCollector* collector = &scan->collector;
    if (const auto failure = services.listener.OpenListener(
            [collector](const ArrivedDatagram& datagram) { collector->add(datagram); })) {
        err << oneLine(ListenerFailureMessage(output.textBase, *failure).text) << '\n';
        return 2;
    }
    if (AskEveryAdapter(adapters, services.broadcaster, &err) == 0) {
        services.listener.CloseListener();
        return 2;
    }
    // The failures of the first request were told; those of the later ones add nothing.
    scan->repeats.start(
        services.window,
        [adapters, &broadcaster = services.broadcaster] {
            (void)AskEveryAdapter(adapters, broadcaster, nullptr);
        },
        services.discoveryRequests);
    // The window runs on the caller's event loop; the scan ends in its timer.
    QTimer::singleShot(services.window, [scan] {
        const int status = FinishScan(*scan);
        if (scan->done) {
            scan->done(status);
        }
    });
    return std::nullopt;
}

} // namespace tarvex
