#pragma once

#include "appliance/DeviceRecord.h"

#include <QString>
#include <array>
#include <cstdint>

namespace tarvex {

// A colour number as the pages store it: red in the low byte, then green, then blue.
using ColourNumber = std::uint32_t;

[[nodiscard]] constexpr ColourNumber colourNumber(int red, int green, int blue) {
    return static_cast<ColourNumber>(red) | (static_cast<ColourNumber>(green) << 8) |
           (static_cast<ColourNumber>(blue) << 16);
}

inline constexpr ColourNumber kPageBlue = colourNumber(21, 59, 121);
inline constexpr ColourNumber kWhite = colourNumber(255, 255, 255);

inline constexpr int kDeviceTableSize = 11;
using DeviceTableArray = std::array<DeviceRecord, kDeviceTableSize>;

// The state the pages of one wizard share. The program owns exactly one; every page and
// service is handed a reference, so tests can give each case a fresh one.
struct WizardGlobals {
    // Text set: 700 English, 500 Traditional Chinese. Assigned by the welcome page's load.
    qint16 TextBase = 0;

    // Look settings, assigned by the welcome page's load.
    ColourNumber PageBackColor = 0;
    ColourNumber TextBackColor = 0;
    ColourNumber TextForeColor = 0;
    ColourNumber OptionBackColor = 0;
    ColourNumber LabelBackColor = 0;
    ColourNumber LabelForeColor = 0;

    // The PC's adapter, as dotted-quad texts; empty when there is none.
    QString PcAddress;
    QString PcMask;
    QString PcGateway;

    // What the discovery found; LastDeviceIndex is -1 while the table is empty.
    DeviceTableArray DeviceTable{};
    qint16 LastDeviceIndex = -1;
    qint16 SelectedDevice = 0;
    bool SelectedReachable = false;

    // Management credentials as typed.
    QString UserName;
    QString Password;

    // Empties the device table (every record blank, LastDeviceIndex -1).
    void clearDeviceTable() {
        DeviceTable = DeviceTableArray{};
        LastDeviceIndex = -1;
    }
};

} // namespace tarvex
