#pragma once

#include "diagnosis/LiveSystemView.h"

#include <QStringList>
#include <optional>

namespace tarvex {

// Whether the program was started with one of the command line's own options (--scan, --json,
// --diagnose, --help or -h, --version or -v) among its arguments: then it runs as a command,
// without a window, and every argument is its. Any other argument is left to Qt (-style,
// -session, -platform ...) and the wizard opens.
[[nodiscard]] bool IsCommandLine(int argc, const char* const* argv);

// Runs the command the arguments name (--scan [--json], --diagnose, --help, --version) and
// returns the exit status; an unknown option or a stray argument gives the usage on stderr and
// 2. A scan that started returns nothing: it runs on the event loop, which it ends with its
// status. Nothing is ever configured from here. Help, findings, the scan's words and complaints
// speak the language of the text base; the scan's text lines get a head line at a terminal.
[[nodiscard]] std::optional<int> RunCommandLine(const QStringList& arguments,
                                                const LiveSystemView::BusNameCheck& busNameCheck,
                                                int textBase);

} // namespace tarvex
