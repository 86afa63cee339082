#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tarvex {

// One appliance as its discovery reply reported it. Text fields are kept as the bytes that
// arrived, so that what goes back to the appliance in a configuration request is exactly what
// it sent; they are decoded (UTF-8) only for display.
struct DeviceRecord {
    QByteArray DeviceId;
    QByteArray IpAddress;
    QByteArray NetMask;
    QByteArray Gateway;
    QByteArray HostName;
    QByteArray Workgroup;
    QByteArray FullHostName;
    QByteArray DiskModel;
    // 64-bit: a disk of 1 TiB or more has a sector count beyond 32 bits.
    qint64 DiskCapacity = 0;
    qint64 DiskTotal = 0;
    qint64 DiskAvailable = 0;

    friend bool operator==(const DeviceRecord&, const DeviceRecord&) = default;
};

} // namespace tarvex
