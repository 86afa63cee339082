#include "PlatformChoice.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

struct PlatformRow {
    const char* name;
    QMap<QByteArray, QByteArray> environment;
    QByteArray expected; // empty: Qt's own choice
};

class PlatformChoice : public ::testing::TestWithParam<PlatformRow> {};

TEST_P(PlatformChoice, XwaylandFirstOnlyOnGnomeUnderWayland) {
    const auto environment = [](const char* name) {
        return GetParam().environment.value(QByteArray(name));
    };
    EXPECT_EQ(dravik::PreferredPlatform(environment), GetParam().expected);
}

const QByteArray kXwaylandFirst = "xcb;wayland";

INSTANTIATE_TEST_SUITE_P(
    Sessions, PlatformChoice,
    ::testing::Values(
        PlatformRow{
            "GnomeWayland",
            {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}},
            kXwaylandFirst},
        PlatformRow{"UbuntuSessionBySessionType",
                    {{"XDG_SESSION_TYPE", "wayland"},
                     {"DISPLAY", ":0"},
                     {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}},
                    kXwaylandFirst},
        PlatformRow{"UsersOwnChoiceKept",
                    {{"QT_QPA_PLATFORM", "wayland"},
                     {"WAYLAND_DISPLAY", "wayland-0"},
                     {"DISPLAY", ":0"},
                     {"XDG_CURRENT_DESKTOP", "GNOME"}},
                    ""},
        PlatformRow{"GnomeWithoutXwayland",
                    {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}},
                    ""},
        PlatformRow{"GnomeOnX11", {{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "GNOME"}}, ""},
        PlatformRow{
            "OtherCompositorsFrameTheirWindows",
            {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "KDE"}},
            ""},
        PlatformRow{"NameThatOnlyContainsGnome",
                    {{"WAYLAND_DISPLAY", "wayland-0"},
                     {"DISPLAY", ":0"},
                     {"XDG_CURRENT_DESKTOP", "NOTGNOME"}},
                    ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
