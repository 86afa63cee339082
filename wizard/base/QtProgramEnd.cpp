#include "base/QtProgramEnd.h"

#include <QCoreApplication>

namespace tarvex {

void QtProgramEnd::endProgram(int status) {
    QCoreApplication::exit(status);
}

} // namespace tarvex
