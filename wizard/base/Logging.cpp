#include "base/Logging.h"

// Warnings and above only, until QT_LOGGING_RULES turns the debug messages on.
Q_LOGGING_CATEGORY(lcNet, "tarvex.net", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRun, "tarvex.run", QtWarningMsg)
