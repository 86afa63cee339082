#include "cli/ScanCommand.h"

#include "appliance/ApplianceAddress.h"
#include "appliance/DeviceListCells.h"
#include "appliance/DeviceProtocol.h"
#include "base/Logging.h"
#include "net/ArrivalAdapter.h"
#include "net/Ipv4Address.h"
#include "run/DiscoveryRepeats.h"
#include "run/QtRunTimers.h"
#include "run/RunMessages.h"
#include "texts/AddedTexts.h"
#include "texts/TextCatalog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QTimer>
#include <map>
#include <memory>
#include <net/if.h>

namespace tarvex {

namespace {

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

bool ScanCollector::probe(Prober& prober) {
    // Only an appliance that speaks for its own address is probed: a reply may claim any
    // other host's address, the gateway's or the PC's own. Each through the adapter that heard
    // it, one batch an adapter.
    std::map<unsigned, std::vector<ApplianceRow*>> byInterface;
    for (ApplianceRow& row : list_.rows()) {
        if (row.ownAddress()) {
            byInterface[row.interfaceIndex].push_back(&row);
        }
    }
    bool impossible = false;
    for (const auto& [interfaceIndex, rows] : byInterface) {
        QList<Ipv4Address> probed;
        for (const ApplianceRow* row : rows) {
            probed.append(*row->ownAddress());
        }
        const QList<ProbeOutcome> outcomes = prober.probeAll(probed, interfaceIndex);
        for (qsizetype i = 0; i < outcomes.size() && i < probed.size(); ++i) {
            ApplianceRow& row = *rows[static_cast<std::size_t>(i)];
            switch (outcomes[i].status) {
            case EchoStatus::Reply:
                row.reachability = Reachability::Yes;
                break;
            case EchoStatus::NoReply:
            case EchoStatus::NotAccepted:
                row.reachability = Reachability::No;
                break;
            case EchoStatus::Impossible:
                impossible = true;
                [[fallthrough]];
            case EchoStatus::NotSent:
                row.reachability = Reachability::Unknown;
                break;
            }
        }
    }
    return impossible;
}

QString ScanReachableWord(int textBase, Reachability reachability) {
    if (reachability == Reachability::Unknown) {
        return AddedCatalogText(textBase, AddedText::ScanReachableUnknown);
    }
    return AddedCatalogText(textBase, reachability == Reachability::Yes
                                          ? AddedText::ScanReachableYes
                                          : AddedText::ScanReachableNo);
}

QString ScanLine(const ApplianceRow& row, int textBase) {
    const DeviceRecord& r = row.record;
    return QStringList{cell(r.DeviceId),
                       cell(r.IpAddress),
                       cell(r.HostName),
                       cell(r.DiskModel),
                       CapacityText(r.DiskCapacity),
                       AvailableText(r.DiskTotal),
                       UsedShareText(r.DiskTotal, r.DiskAvailable),
                       ScanReachableWord(textBase, row.reachability),
                       cell(row.adapter)}
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

namespace {

// Whether a character would act on a terminal rather than show: controls, and what reorders
// bidirectional text.
bool ActsOnATerminal(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x061c || c == 0x200e || c == 0x200f ||
           (c >= 0x2028 && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

// JSON as the writer gives it, those characters escaped: in JSON they stand only in strings,
// where an escape means the same character.
QString TerminalSafeJson(const QString& json) {
    QString safe;
    safe.reserve(json.size());
    for (const QChar c : json) {
        if (ActsOnATerminal(c.unicode())) {
            safe += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            safe += c;
        }
    }
    return safe;
}

} // namespace

QString ScanJsonLine(const ApplianceRow& row) {
    const DeviceRecord& r = row.record;
    const QJsonObject object{
        {QStringLiteral("id"), cell(r.DeviceId)},
        {QStringLiteral("ipAddress"), cell(r.IpAddress)},
        {QStringLiteral("netMask"), cell(r.NetMask)},
        {QStringLiteral("gateway"), cell(r.Gateway)},
        {QStringLiteral("hostName"), cell(r.HostName)},
        {QStringLiteral("workgroup"), cell(r.Workgroup)},
        {QStringLiteral("fullHostName"), cell(r.FullHostName)},
        {QStringLiteral("diskModel"), cell(r.DiskModel)},
        {QStringLiteral("diskCapacity"), qint64{r.DiskCapacity}},
        {QStringLiteral("diskTotal"), qint64{r.DiskTotal}},
        {QStringLiteral("diskAvailable"), qint64{r.DiskAvailable}},
        {QStringLiteral("capacity"), CapacityText(r.DiskCapacity)},
        {QStringLiteral("available"), AvailableText(r.DiskTotal)},
        {QStringLiteral("used"), UsedShareText(r.DiskTotal, r.DiskAvailable)},
        {QStringLiteral("address"),
         row.address ? QJsonValue(row.address->text()) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("sender"), row.sender.text()},
        {QStringLiteral("reachable"), row.reachability == Reachability::Unknown
                                          ? QJsonValue(QJsonValue::Null)
                                          : QJsonValue(row.reachability == Reachability::Yes)},
        {QStringLiteral("adapter"), QString::fromUtf8(row.adapter)},
        {QStringLiteral("raw"), QString::fromLatin1(row.datagram.toHex())},
        // Longer than "raw" when the reply was longer than any appliance's.
        {QStringLiteral("length"), qint64{row.datagramSize}},
    };
    return TerminalSafeJson(
        QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

namespace {

// What a scan holds between its start and the end of its window.
struct ScanState {
    ScanState(const PcAdapters& adapters, ScanServices given, ScanOutput form, QTextStream& output,
              QTextStream& errors, ScanDone finished)
        : collector(adapters), services(given), output(form), out(output), err(errors),
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
        if (const auto failure =
                broadcaster.Broadcast(DiscoveryRequest(), adapter.network.address)) {
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
    if (collector.probe(services.prober)) {
        err << AddedCatalogText(output.textBase, AddedText::ScanProbingImpossible) << '\n';
    }
    const QList<ApplianceRow>& rows = collector.rows();
    if (collector.unlisted() > 0) {
        err << AddedCatalogText(output.textBase, AddedText::UnlistedReplies)
                   .arg(collector.unlisted())
                   .arg(kMostAppliances)
            << '\n';
    }
    if (output.headLine && !output.json && !rows.empty()) {
        out << ScanHeadLine(output.textBase) << '\n';
    }
    for (const ApplianceRow& row : rows) {
        out << (output.json ? ScanJsonLine(row) : ScanLine(row, output.textBase)) << '\n';
    }
    out.flush();
    if (rows.empty()) {
        err << AddedCatalogText(output.textBase, AddedText::ScanNoAnswer) << '\n';
        return 1;
    }
    return 0;
}

} // namespace

std::optional<int> StartScan(const PcAdapters& adapters, ScanServices services, ScanOutput output,
                             QTextStream& out, QTextStream& err, ScanDone done) {
    if (adapters.list.adapters.empty()) {
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
    if (AskEveryAdapter(adapters.list, services.broadcaster, &err) == 0) {
        services.listener.CloseListener();
        return 2;
    }
    // The failures of the first request were told; those of the later ones add nothing.
    scan->repeats.start(
        services.window,
        [adapters, &broadcaster = services.broadcaster] {
            (void)AskEveryAdapter(adapters.list, broadcaster, nullptr);
        },
        services.discoveryRequests);
    // The window runs on the caller's event loop; the scan ends in its timer.
    // A precise timer: a coarse one may end the window up to 5 % early.
    QTimer::singleShot(services.window, Qt::PreciseTimer, [scan] {
        const int status = FinishScan(*scan);
        if (scan->done) {
            scan->done(status);
        }
    });
    return std::nullopt;
}

} // namespace tarvex
