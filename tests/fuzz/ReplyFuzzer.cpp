// libFuzzer target: the discovery reply cutter and the other readers of received datagrams.
// Whatever the bytes, no crash, no undefined behaviour, and a record only when it is whole.
#include "run/DeviceProtocol.h"

#include <cstddef>
#include <cstdint>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
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
    const QByteArray request = tarvex::ConfigureRequest(*record, {"10.0.0.9", "m", "g", "u", "p"});
    require(request.startsWith("0C02S" + record->DeviceId + "10.0.0.9;m;g;"));
    require(request.endsWith(";" + record->FullHostName + ";u;p"));
    return 0;
}
