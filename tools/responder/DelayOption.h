#pragma once

// The "--delay ADDRESS=MS" option the lab's late responders share: how long to wait before
// answering for one address.
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <netinet/in.h>
#include <string>

namespace responder {

using Delays = std::map<in_addr_t, std::chrono::milliseconds>;

// Adds "ADDRESS=MS" to the delays; false, told on stderr under the program's name, when the
// value is not of that form.
inline bool AddDelay(const char* program, const std::string& value, Delays& delays) {
    const std::size_t equals = value.find('=');
    in_addr address{};
    if (equals == std::string::npos ||
        inet_pton(AF_INET, value.substr(0, equals).c_str(), &address) != 1) {
        std::fprintf(stderr, "%s: bad address in %s\n", program, value.c_str());
        return false;
    }
    delays[address.s_addr] = std::chrono::milliseconds(std::stol(value.substr(equals + 1)));
    return true;
}

} // namespace responder
