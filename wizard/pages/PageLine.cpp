#include "pages/PageLine.h"

namespace tarvex {

QString pageWindowName(PageId page) {
    switch (page) {
    case PageId::WelcomePage:
        return QStringLiteral("WelcomePage");
    case PageId::PowerPage:
        return QStringLiteral("PowerPage");
    case PageId::CablePage:
        return QStringLiteral("CablePage");
    case PageId::SetupModePage:
        return QStringLiteral("SetupModePage");
    case PageId::RunningStatusPage:
        return QStringLiteral("RunningStatusPage");
    }
    return {};
}

QString pageCaption(PageId page) {
    const QString prefix = QStringLiteral("Dravik Configuration and Setup Utility - Step ");
    switch (page) {
    case PageId::WelcomePage:
        return prefix + QLatin1Char('0');
    case PageId::PowerPage:
        return prefix + QLatin1Char('1');
    case PageId::CablePage:
        return prefix + QLatin1Char('2');
    case PageId::SetupModePage:
        return prefix + QLatin1Char('3');
    case PageId::RunningStatusPage:
        return prefix + QLatin1Char('4');
    }
    return {};
}

} // namespace tarvex
