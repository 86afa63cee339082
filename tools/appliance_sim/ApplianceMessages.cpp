#include "ApplianceMessages.h"

#include <algorithm>
#include <vector>

namespace tarvex::sim {

namespace {

constexpr std::size_t kIdLength = 17;

} // namespace

std::string DiscoveryReplyOf(const ApplianceProfile& appliance) {
    if (appliance.rawReply) {
        return *appliance.rawReply;
    }
    const std::pair<const char*, const std::string*> items[] = {
        {"IP", &appliance.ip},
        {"NETMASK", &appliance.mask},
        {"GATEWAY", &appliance.gateway},
        {"HOSTNAME", &appliance.host},
        {"WORKGROUP", &appliance.workgroup},
        {"HOSTNAME_FULL", &appliance.full},
        {"HDMODEL", &appliance.model},
        {"HDCAPACITY", &appliance.capacity},
        {"HDTOTAL", &appliance.total},
        {"HDAVAIL", &appliance.available},
    };
    std::string reply = "0C01R" + appliance.id;
    for (const auto& [key, value] : items) {
        const auto& leftOut = appliance.leftOutKeys;
        if (std::find(leftOut.begin(), leftOut.end(), key) != leftOut.end()) {
            continue;
        }
        reply += ' ';
        reply += key;
        reply += "='";
        reply += *value;
        reply += '\'';
    }
    return reply;
}

std::optional<ConfigureAsk> ReadConfigureRequest(const std::string& request) {
    if (request.size() < 5 + kIdLength || request.compare(0, 5, "0C02S") != 0) {
        return std::nullopt;
    }
    ConfigureAsk ask;
    ask.id = request.substr(5, kIdLength);
    std::vector<std::string> fields;
    std::size_t start = 5 + kIdLength;
    for (;;) {
        const std::size_t separator = request.find(';', start);
        fields.push_back(request.substr(start, separator == std::string::npos ? std::string::npos
                                                                              : separator - start));
        if (separator == std::string::npos) {
            break;
        }
        start = separator + 1;
    }
    if (fields.size() < 8) {
        return std::nullopt;
    }
    ask.address = fields[0];
    ask.mask = fields[1];
    ask.gateway = fields[2];
    ask.user = fields[fields.size() - 2];
    ask.password = fields[fields.size() - 1];
    return ask;
}

std::string ConfigureReplyOf(const std::string& id, char status) {
    return "0C02R" + id + status;
}

} // namespace tarvex::sim
