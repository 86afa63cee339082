#pragma once

#include "core/Launcher.h"

#include <QString>
#include <QVariant>

namespace quirra {

// The text the shell receives for a parameters or folder value. No value, an empty text and the
// number 0 all mean "none" and give an empty text: the menu's table passes 0 as a stand-in for
// a missing argument, and a program or handler must never receive a meaningless "0".
[[nodiscard]] QString shellArgumentText(const QVariant& value);

// True for a file the system can run itself: an executable regular file that starts like a
// program (an ELF image or a "#!" script). Documents on a medium that marks every file
// executable stay documents.
[[nodiscard]] bool isProgramFile(const QString& path);

// Does what the desktop shell does for the verb "Open": a program file is started detached
// with the parameters split into arguments and the folder as its working folder; anything else
// (a document, a web address, a missing file) goes to the desktop's handler, which receives
// neither parameters nor folder. Other verbs are not supported and do nothing. The show command
// has no counterpart here: programs and handlers open their own windows normally.
void RunShellExecute(Launcher& launcher, const QString& sTopic, const QVariant& sFile,
                     const QVariant& sParams, const QVariant& sDirectory, qint32 nShowCmd);

} // namespace quirra
