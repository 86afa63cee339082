#pragma once

#include <QApplication>
#include <memory>

namespace dravik {

// The exit status of a program that found no display it could open a window on.
inline constexpr int kNoDisplayStatus = 2;

// Creates the program's QApplication (argc and argv as main() got them; argc must outlive it)
// and names the desktop entry its windows belong to, so that the desktop shows them with the
// entry's name and icon. Where no platform plugin can be used (no display, or none of its
// plugins installed), Qt would abort with a core dump: the program instead says so in one line
// on stderr, `noDisplay` (empty: the line in the user's language), and nothing else,
// and exits with kNoDisplayStatus. Qt's messages from a start that succeeds are printed as usual.
[[nodiscard]] std::unique_ptr<QApplication> StartApplication(int& argc, char** argv,
                                                             const char* program,
                                                             const QString& desktopFileName,
                                                             const QString& noDisplay = {});

} // namespace dravik
