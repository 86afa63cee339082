#pragma once

#include <QString>

namespace tarvex {

// The first socket error number of the table; errors the table does not know keep their own
// number, which is always below it, so that they show without a text instead of a wrong one.
inline constexpr int kFirstSocketErrorNumber = 10004;

// The short English text of a socket error number of the table, or the empty text for a number
// the table does not hold (0 included).
[[nodiscard]] QString SocketErrorText(int number);

// Brings a Linux error number (errno) onto the table's numbers, so that a message shows the
// same number and text on every platform: EACCES gives 10013, ENETUNREACH 10051. An error with
// no counterpart keeps its own number.
[[nodiscard]] int SocketErrorNumber(int errnoValue);

} // namespace tarvex
