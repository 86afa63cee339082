#pragma once

#include <QString>
#include <QStringList>

namespace quirra {

// The desktop's ways of opening things. The menu hands a request over and never waits: the
// results only say whether the hand-over happened, and the menu reports nothing either way.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Opens a local file (an absolute path) or a web address with the desktop's handler.
    virtual bool openWithDesktop(const QString& fileOrAddress) = 0;

    // Starts a program detached from the menu; an empty folder keeps the menu's own.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingFolder) = 0;
};

} // namespace quirra
