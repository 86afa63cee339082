#pragma once

#include <QLoggingCategory>

// The wizard's log, off unless asked for. For a problem report:
//   QT_LOGGING_RULES="tarvex.*.debug=true" Tarvex 2> tarvex.log
// tarvex.net: datagrams received, the adapter chosen, probe outcomes, candidates' evidence.
// tarvex.run: the run's steps and outcomes, the configuration exchange (never its credentials).
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcRun)
