#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace quirra {

// The show command for a normal window, as the action table passes it.
inline constexpr qint32 kShowNormal = 1;

// What a click on one of the six pictures does: hand a file or an address to the shell, or
// close the menu.
struct MenuAction {
    enum class Kind { Shell, CloseMenu };

    Kind kind = Kind::CloseMenu;
    QString verb;
    // A name beside the menu program (starting with "/") or a web address.
    QString target;
    bool besideMenu = false;
    QVariant params;
    QVariant directory;
    qint32 showCmd = 0;
};

// Everything RunShellExecute is given for one click.
struct ShellRequest {
    QString verb;
    QString file;
    QVariant params;
    QVariant directory;
    qint32 showCmd = 0;

    friend bool operator==(const ShellRequest&, const ShellRequest&) = default;
};

// The action of the picture Image<imageNumber>, 1 to 6; none for any other number.
[[nodiscard]] std::optional<MenuAction> menuAction(int imageNumber);

// What a click on Image<imageNumber> hands to RunShellExecute, given the folder that holds the
// running menu program. None for the closing picture and for unknown numbers.
[[nodiscard]] std::optional<ShellRequest> shellRequestFor(int imageNumber,
                                                          const QString& menuFolder);

} // namespace quirra
