#pragma once

#include "SimOptions.h"

#include <optional>
#include <string>

namespace tarvex::sim {

// The discovery reply of an appliance, built from its fields, or its raw reply when it has one.
[[nodiscard]] std::string DiscoveryReplyOf(const ApplianceProfile& appliance);

// What a configuration request asks for.
struct ConfigureAsk {
    std::string id;
    std::string address;
    std::string mask;
    std::string gateway;
    std::string user;
    std::string password;
};

// Reads a "0C02S" request: the 17-byte identifier, the address, then ";"-separated fields of
// which the first two are mask and gateway and the last two user name and password.
[[nodiscard]] std::optional<ConfigureAsk> ReadConfigureRequest(const std::string& request);

// "0C02R", the identifier and the status byte.
[[nodiscard]] std::string ConfigureReplyOf(const std::string& id, char status);

} // namespace tarvex::sim
