// libFuzzer target: the discovery reply cutter and the other readers of received datagrams, and
// what the cut record becomes next: list cells, an address that counts, URLs, shortcut file
// names and desktop entries. Whatever the bytes, no crash, no undefined behaviour, a record only
// when it is whole, a URL only for an address that parsed as a unicast host (and exactly that
// address printed back), file names that stay one visible name, entries of one value a line.
#include "appliance/ApplianceAddress.h"
#include "appliance/ApplianceUrl.h"
#include "appliance/DeviceListCells.h"
#include "appliance/DeviceProtocol.h"
#include "desktop/DesktopShortcutWriter.h"
#include "net/Ipv4Address.h"

#include <QUrl>
#include <cstddef>
#include <cstdint>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool HasHiddenOrBreaking(const QString& text) {
    for (const char32_t code : text.toUcs4()) {
        if (tarvex::IsHiddenOrBreaking(code)) {
            return true;
        }
    }
    return false;
}

// A URL only for an address that counts, its host exactly that address printed back.
void CheckAddress(const tarvex::DeviceRecord& record, tarvex::Ipv4Address pc,
                  tarvex::Ipv4Address mask) {
    const std::optional<tarvex::Ipv4Address> address =
        tarvex::ApplianceAddress(record, tarvex::PcNetwork{pc, mask, std::nullopt});
    if (!address) {
        return;
    }
    require(tarvex::IsUnicastHostAddress(*address, pc, mask));
    // Strict means canonical: the bytes received are exactly the address printed back.
    require(address->text().toLatin1() == record.IpAddress);
    for (const char* scheme : {"http", "smb"}) {
        const QString url = tarvex::ApplianceUrl(QString::fromLatin1(scheme), *address);
        require(QUrl(url, QUrl::StrictMode).host() == address->text());
        require(tarvex::DesktopExecArgument(url) == url);
    }
}

void CheckShortcut(const tarvex::DeviceRecord& record) {
    const QString host = QString::fromUtf8(record.HostName);
    const QString name = tarvex::ShortcutFileName(QStringLiteral("Setup My Dravik - "), host, 255);
    require(name.endsWith(QStringLiteral(".desktop")));
    require(!name.contains(QLatin1Char('/')) && !name.contains(QChar(0)));
    require(!name.startsWith(QLatin1Char('.')));
    require(!HasHiddenOrBreaking(name));
    require(name.toUtf8().size() + 8 <= 255);

    // The comment stands in for any other received text the entry might hold.
    const QByteArray text = tarvex::DesktopEntryText(
        {name.chopped(8), QStringLiteral("http://192.168.0.5"), QString::fromUtf8(record.Workgroup),
         QStringLiteral("web-browser")});
    const QList<QByteArray> lines = text.split('\n');
    require(lines.size() == 8 && lines[7].isEmpty());
    const char* const starts[] = {"[Desktop Entry]", "Version=1.0", "Type=Application", "Name=",
                                  "Comment=",        "Exec=",       "Icon=web-browser"};
    for (int i = 0; i < 7; ++i) {
        require(lines[i].startsWith(starts[i]));
        require(!lines[i].contains('\r') && !lines[i].contains('\0'));
        require(QString::fromUtf8(lines[i]).toUtf8() == lines[i]);
        require(!HasHiddenOrBreaking(QString::fromUtf8(lines[i])));
    }
    require(lines[5] == "Exec=xdg-open http://192.168.0.5");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray reply =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)tarvex::KindOfReply(reply);
    (void)tarvex::ReadConfigureStatus(reply);
    (void)tarvex::ReadWholeNumber(reply);

    const tarvex::ReplyCut cut = tarvex::CutDiscoveryReply(reply);
    require(cut.record.has_value() == (cut.refusal == tarvex::CutRefusal::None));
    const std::optional<tarvex::DeviceRecord>& record = cut.record;
    if (!record) {
        return 0;
    }
    require(reply.startsWith("0C01R"));
    require(record->DeviceId == reply.mid(5, 17));
    for (const QByteArray* field : {&record->IpAddress, &record->NetMask, &record->Gateway,
                                    &record->HostName, &record->Workgroup, &record->FullHostName}) {
        require(reply.contains(*field));
    }
    require(!record->FullHostName.contains('\''));
    require(!record->DiskModel.isEmpty());
    if (!reply.contains("HDMODEL='")) {
        require(record->DiskModel == tarvex::kNoDiskModel);
        require(record->DiskCapacity == 0 && record->DiskTotal == 0 && record->DiskAvailable == 0);
    }
    const QByteArray request = tarvex::ConfigureRequest(*record, {tarvex::Ipv4Address(0x0A000009U),
                                                                  tarvex::Ipv4Address(0xFF000000U),
                                                                  tarvex::Ipv4Address(0x0A000001U),
                                                                  {"u", "p"}});
    require(request.startsWith("0C02S" + record->DeviceId + "10.0.0.9;255.0.0.0;10.0.0.1;"));
    require(request.endsWith(";" + record->FullHostName + ";u;p"));

    const QStringList cells = tarvex::DeviceListRow(0, *record, tarvex::Reachability::No);
    require(cells.size() == 8);
    for (const QString& cell : cells) {
        require(!HasHiddenOrBreaking(cell));
    }

    // A PC of its own, and one whose facts come from the reply itself.
    CheckAddress(*record, tarvex::Ipv4Address(0xc0a80014), tarvex::Ipv4Address(0xffffff00));
    if (const auto pc = tarvex::Ipv4Address::parse(record->Gateway),
        mask = tarvex::Ipv4Address::parse(record->NetMask);
        pc && mask) {
        CheckAddress(*record, *pc, *mask);
    }
    CheckShortcut(*record);
    return 0;
}
