#include "modules/PageLine.h"

namespace tarvex {

QString pageWindowName(PageId page) {
    switch (page) {
    case PageId::frmPre1:
        return QStringLiteral("frmPre1");
    case PageId::frmPre2:
        return QStringLiteral("frmPre2");
    case PageId::frmMain:
        return QStringLiteral("frmMain");
    case PageId::frmMain0:
        return QStringLiteral("frmMain0");
    case PageId::frmMain2:
        return QStringLiteral("frmMain2");
    }
    return {};
}

QString pageCaption(PageId page) {
    const QString prefix = QStringLiteral("Dravik Configuration and Setup Utility - Step ");
    switch (page) {
    case PageId::frmPre1:
        return prefix + QLatin1Char('0');
    case PageId::frmPre2:
        return prefix + QLatin1Char('1');
    case PageId::frmMain:
        return prefix + QLatin1Char('2');
    case PageId::frmMain0:
        return prefix + QLatin1Char('3');
    case PageId::frmMain2:
        return prefix + QLatin1Char('4');
    }
    return {};
}

} // namespace tarvex
