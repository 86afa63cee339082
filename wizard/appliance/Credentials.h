#pragma once

#include <QString>

namespace tarvex {

// The appliance's management user name and password, as typed on the credentials page.
struct Credentials {
    QString userName;
    QString password;

    friend bool operator==(const Credentials&, const Credentials&) = default;
};

} // namespace tarvex
