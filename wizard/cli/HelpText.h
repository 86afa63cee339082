#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

namespace tarvex {

// The help of a command line as Qt lays it out ("Usage: program [options]", the description,
// "Options:" and one option a line with its description beside the names), in Qt's words for
// the headings, but wrapped by display width so that no line is wider than kTerminalLineWidth
// also where a wide character takes two columns.
[[nodiscard]] QString HelpText(const QString& program, const QString& description,
                               const QList<QCommandLineOption>& options);

} // namespace tarvex
