#include "pages/QtProgramEnd.h"

#include <QCoreApplication>

namespace tarvex {

void QtProgramEnd::endProgram() {
    QCoreApplication::exit(0);
}

} // namespace tarvex
