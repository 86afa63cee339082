#pragma once

#include "diagnosis/SystemView.h"

#include <functional>

namespace tarvex {

// This PC as it is. The bus is asked through the function given (the program hands in one that
// links the bus library; without one, no name is ever on the bus).
class LiveSystemView final : public SystemView {
public:
    using BusNameCheck = std::function<bool(const QString& name)>;

    explicit LiveSystemView(BusNameCheck busNameCheck = {})
        : busNameCheck_(std::move(busNameCheck)) {}

    [[nodiscard]] std::vector<InterfaceAddress> interfaceAddresses() override;
    [[nodiscard]] std::vector<DefaultRoute> defaultRoutes() override;
    [[nodiscard]] std::optional<QByteArray> readFile(const QString& path) override;
    [[nodiscard]] bool exists(const QString& path) override;
    [[nodiscard]] QStringList entries(const QString& directory) override;
    [[nodiscard]] bool systemBusHasName(const QString& name) override;
    [[nodiscard]] ProbeWay probeWay() override;
    [[nodiscard]] PingBlock pingBlock() override;

private:
    BusNameCheck busNameCheck_;
};

} // namespace tarvex
