#pragma once

#include <QString>

namespace quirra {

// The menu folder joined with a name that starts with a separator, such as "/Tarvex". A folder
// that already ends in separators (the medium's root mounted at "/", or a folder given as
// "/media/cd/") keeps exactly one separator between the two, so the path never holds "//".
[[nodiscard]] QString joinMenuFolder(const QString& folder, const QString& relativeName);

} // namespace quirra
