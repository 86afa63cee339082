#include "core/MenuAction.h"

#include "core/MenuFolder.h"
#include "core/WebAddresses.h"

namespace quirra {
namespace {

// The table passes the number 0 for parameters and folder; RunShellExecute reads it as "none".
MenuAction open(const QString& target, bool besideMenu) {
    return {MenuAction::Kind::Shell,
            QStringLiteral("Open"),
            target,
            besideMenu,
            QVariant(0),
            QVariant(0),
            kShowNormal};
}

} // namespace

std::optional<MenuAction> menuAction(int imageNumber) {
    switch (imageNumber) {
    case 1:
        return open(QStringLiteral("/Tarvex"), true);
    case 2:
        return open(QStringLiteral("/Documents/Quick Installation Guide.doc"), true);
    case 3:
        return open(QStringLiteral("/Documents/User's Manual.pdf"), true);
    case 4:
        return open(pdfReaderDownloadAddress(), false);
    case 5:
        return open(vendorAddress(), false);
    case 6:
        return MenuAction{};
    default:
        return std::nullopt;
    }
}

std::optional<ShellRequest> shellRequestFor(int imageNumber, const QString& menuFolder) {
    const std::optional<MenuAction> action = menuAction(imageNumber);
    if (!action || action->kind != MenuAction::Kind::Shell) {
        return std::nullopt;
    }
    const QString file =
        action->besideMenu ? joinMenuFolder(menuFolder, action->target) : action->target;
    return ShellRequest{action->verb, file, action->params, action->directory, action->showCmd};
}

} // namespace quirra
