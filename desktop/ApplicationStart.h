#pragma once

#include <QApplication>
#include <memory>

namespace dravik {

// The exit status of a program whose window system did not start.
inline constexpr int kNoDisplayStatus = 2;

// What a program says when its window system does not start, %1 being the program.
struct StartFailureTexts {
    QString noDisplay; // no display to open a window on
    QString failed;    // any other reason; %2: Qt's words
};

// Creates the program's QApplication (argc and argv as main() got them; argc must outlive it)
// and names the desktop entry its windows belong to, so that the desktop shows them with the
// entry's name and icon. Where no platform plugin can be used, Qt would abort with a core dump:
// the program instead says why in one line on stderr and nothing else, and exits with
// kNoDisplayStatus. The line is `texts.noDisplay` when no display is named and the plugins found
// none, else `texts.failed` with Qt's own words, e.g. a plugin that does not exist, a display
// that refused the connection; the texts left empty are said in the user's language. Qt's
// messages from a start that succeeds are printed as usual.
[[nodiscard]] std::unique_ptr<QApplication> StartApplication(int& argc, char** argv,
                                                             const char* program,
                                                             const QString& desktopFileName,
                                                             const StartFailureTexts& texts = {});

} // namespace dravik
