#pragma once

#include "appliance/DeviceRecord.h"

#include <QString>
#include <QStringList>

namespace tarvex {

// The texts of the device list's cells. Figures are rounded exactly on their decimal value,
// halves to the even digit, and written in the shortest form with at most 15 significant
// digits, the user's decimal separator and the unit right after the number.

// Column "HD Capacity" from a count of 512-byte sectors: GB above 10^9 bytes, MB above 10^6
// bytes, one decimal; empty for anything smaller.
[[nodiscard]] QString CapacityText(qint64 sectors);

// Column "HD Available" from a total in thousands of bytes: GB above 10^6, MB above 6000,
// two decimals; "0" otherwise.
[[nodiscard]] QString AvailableText(qint64 total);

// Column "HD Used %": the used share as a whole percentage. An available figure below 1, or a
// total of 0 that leaves no share to compute, shows the available figure itself.
[[nodiscard]] QString UsedShareText(qint64 total, qint64 available);

// A text field of a reply as the list shows it: decoded from UTF-8 (bytes that are not show
// as replacement characters), with no character that could break the row's line (those become
// spaces) or hide or reorder what is shown (controls and format characters become replacement
// characters).
[[nodiscard]] QString DisplayText(const QByteArray& bytes);

// What the reachability check found for one record.
enum class Reachability {
    Yes,
    No,
    Unknown, // nothing was learnt: the echo could not be sent, or probing cannot run here
};

// The "Reachable?" cell: "Yes", else "No" (the list has no word for what was not learnt).
[[nodiscard]] QString ReachabilityCell(Reachability reachability);

// The eight cells of the row for record `index`: "No.", "Reachable?", host name, address,
// disk model, capacity, available and used share.
[[nodiscard]] QStringList DeviceListRow(qint16 index, const DeviceRecord& record,
                                        Reachability reachability);

} // namespace tarvex
