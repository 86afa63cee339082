#pragma once

#include "instance/InstancePlace.h"

#include <QByteArray>
#include <QTextStream>

namespace tarvex {

// A second start of the wizard: asks the open one to come to the front, handing on the
// launcher's activation token, and returns the exit status, 0. Where the desktop kept the open
// wizard behind (a Wayland compositor without activation, or one that refused it), says so in
// one line on `err`, in the language of the text base. Takes at most a few seconds.
[[nodiscard]] int HandOverToOpenWizard(const InstancePlace& place,
                                       const QByteArray& activationToken, int textBase,
                                       QTextStream& err);

} // namespace tarvex
