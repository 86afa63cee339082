#pragma once

#include "core/Launcher.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quirra::testing {

// Keeps every hand-over instead of opening anything.
class RecordingLauncher final : public Launcher {
public:
    struct Call {
        enum class Kind { OpenWithDesktop, StartDetached };
        Kind kind;
        QString target;
        QStringList arguments;
        QString workingFolder;

        friend bool operator==(const Call&, const Call&) = default;
    };

    bool openWithDesktop(const QString& fileOrAddress) override {
        calls.append({Call::Kind::OpenWithDesktop, fileOrAddress, {}, {}});
        return true;
    }
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) override {
        calls.append({Call::Kind::StartDetached, program, arguments, workingFolder});
        return true;
    }

    QList<Call> calls;
};

} // namespace quirra::testing
