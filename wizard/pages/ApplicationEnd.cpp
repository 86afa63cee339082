#include "pages/ApplicationEnd.h"

#include <QCoreApplication>

namespace tarvex {

void ApplicationEnd::endProgram() {
    QCoreApplication::exit(0);
}

} // namespace tarvex
