#pragma once

#include "base/ProgramEnd.h"
#include "diagnosis/LiveSystemView.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace tarvex {

// The status of a scan refused because the user's setup wizard is open.
inline constexpr int kWizardOpenStatus = 3;

// Whether the program was started with one of the command line's own options (--scan, --json,
// --diagnose, --help or -h, --version or -v) among its arguments: then it runs as a command,
// without a window, and every argument is its. Any other argument is left to Qt (-style,
// -session, -platform ...) and the wizard opens.
[[nodiscard]] bool IsCommandLine(int argc, const char* const* argv);

// Runs the command the arguments name (--scan [--json], --diagnose, --help, --version) and
// returns the exit status; an unknown option or a stray argument gives the usage on stderr and
// 2; a scan while the user's wizard is open says so and gives kWizardOpenStatus. A scan that
// started returns nothing: it runs on the event loop and ends the program through `end` with its
// status. Nothing is ever configured from here. Help, findings, the scan's words and complaints
// speak the language of the text base; the scan's text lines get a head line at a terminal.
[[nodiscard]] std::optional<int> RunCommandLine(const QStringList& arguments,
                                                const LiveSystemView::BusNameCheck& busNameCheck,
                                                int textBase, ProgramEnd& end);

// The wizard's arguments once Qt has taken its own (QCoreApplication::arguments(), the program
// first): whatever is left, such as a mistyped option ("--scna"), is a mistake. Then the first
// of them and the usage go to `err` in the language of the text base, and the status is 2;
// nothing when none is left.
[[nodiscard]] std::optional<int> StrayWizardArguments(const QStringList& arguments, int textBase,
                                                      QTextStream& err);

} // namespace tarvex
