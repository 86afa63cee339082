#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <unistd.h>

namespace tarvex {

// What the open wizard answered when asked to come to the front.
enum class FrontAnswer {
    InFront,  // its window is the active one now
    Behind,   // it tried, but the desktop kept another window in front
    NoAnswer, // no wizard listens on the socket, or none answered in time
};

// The words of the exchange, one line each way: "front TOKEN\n" asks (the token the launcher
// gave for activation, or nothing), "front\n" or "behind\n" answers.
inline constexpr char kFrontRequest[] = "front";
inline constexpr char kInFrontAnswer[] = "front\n";
inline constexpr char kBehindAnswer[] = "behind\n";
// The longest request line; an activation token is far shorter.
inline constexpr qsizetype kLongestFrontRequest = 4096;

// Asks the wizard listening on `socket` to come to the front, handing on the activation token.
// Blocks for at most `limit` in all, connecting included (the wizard may be starting still): it
// runs before this process has a window. Sends nothing, and hears no answer, unless the
// listener runs as `user`.
[[nodiscard]] FrontAnswer AskToFront(const QString& socket, const QByteArray& activationToken,
                                     std::chrono::milliseconds limit, uid_t user = geteuid());

} // namespace tarvex
