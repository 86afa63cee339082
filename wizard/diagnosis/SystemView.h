#pragma once

#include "net/AdapterChoice.h"
#include "probe/IcmpProber.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tarvex {

// What the checks of a diagnosis read of this PC: only what an unprivileged user may read, and
// nothing that takes long. Tests stand in a PC of their own.
class SystemView {
public:
    virtual ~SystemView() = default;
    [[nodiscard]] virtual std::vector<InterfaceAddress> interfaceAddresses() = 0;
    [[nodiscard]] virtual std::vector<DefaultRoute> defaultRoutes() = 0;
    // The contents of a small file (/proc, /sys, /etc); nothing when it cannot be read.
    [[nodiscard]] virtual std::optional<QByteArray> readFile(const QString& path) = 0;
    [[nodiscard]] virtual bool exists(const QString& path) = 0;
    // The names in a directory, without "." and "..".
    [[nodiscard]] virtual QStringList entries(const QString& directory) = 0;
    // Whether a program holds this well-known name on the system bus; no answer in time: no.
    [[nodiscard]] virtual bool systemBusHasName(const QString& name) = 0;
    // How the reachability probe can send its echoes here.
    [[nodiscard]] virtual ProbeWay probeWay() = 0;
    // What keeps the system's ping from sending them, where it cannot.
    [[nodiscard]] virtual PingBlock pingBlock() = 0;
};

} // namespace tarvex
