#include "core/ShellExecute.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace quirra {

QString shellArgumentText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    if (value.typeId() != QMetaType::QString) {
        bool isNumber = false;
        const double number = value.toDouble(&isNumber);
        if (isNumber && number == 0.0) {
            return {};
        }
    }
    return value.toString();
}

bool isProgramFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(4);
    return head == QByteArrayLiteral("\x7f"
                                     "ELF") ||
           head.startsWith("#!");
}

void RunShellExecute(Launcher& launcher, const QString& sTopic, const QVariant& sFile,
                     const QVariant& sParams, const QVariant& sDirectory, qint32 nShowCmd) {
    static_cast<void>(nShowCmd);
    if (sTopic.compare(QLatin1String("Open"), Qt::CaseInsensitive) != 0) {
        return;
    }
    const QString file = sFile.toString();
    if (file.isEmpty()) {
        return;
    }
    // The menu keeps no track of what it started and reports no failure: a result that says the
    // hand-over failed changes nothing, just as a shell that shows its own error would.
    if (isProgramFile(file)) {
        static_cast<void>(launcher.startDetached(file,
                                                 QProcess::splitCommand(shellArgumentText(sParams)),
                                                 shellArgumentText(sDirectory)));
    } else {
        static_cast<void>(launcher.openWithDesktop(file));
    }
}

} // namespace quirra
