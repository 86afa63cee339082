#pragma once

#include <QFile>
#include <QString>

namespace quirra::testing {

// Writes an executable shell script at path that writes "<argument count>:<arguments>" and its
// working folder into marker when it runs; false when it could not be written.
[[nodiscard]] inline bool writeStandIn(const QString& path, const QString& marker) {
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QString body =
        QStringLiteral("#!/bin/sh\n"
                       "printf '%s:%s\\n%s\\n' \"$#\" \"$*\" \"$(pwd)\" > '%1.tmp'\n"
                       "mv '%1.tmp' '%1'\n")
            .arg(marker);
    script.write(body.toUtf8());
    script.close();
    return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Writes a file with the given bytes and permissions.
[[nodiscard]] inline bool writeFile(const QString& path, const QByteArray& bytes,
                                    QFile::Permissions permissions) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return false;
    }
    file.close();
    return file.setPermissions(permissions);
}

} // namespace quirra::testing
