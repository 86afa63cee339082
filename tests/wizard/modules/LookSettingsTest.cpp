#include "modules/LookSettings.h"

#include "modules/Twips.h"

#include <gtest/gtest.h>

using namespace tarvex;

TEST(LookSettings, WelcomeLoadAssignsTheBlueAndWhiteLookAndTheEditionsTextBase) {
    // The colour numbers as the pages store them: red in the low byte.
    constexpr ColourNumber blue = 7944981; // red 21, green 59, blue 121: 0x793B15
    constexpr ColourNumber white = 0xFFFFFF;
    for (const qint16 textBase : {qint16(700), qint16(500)}) {
        WizardGlobals globals;
        globals.PageBackColor = globals.TextForeColor = 0x123456;
        assignLookSettings(globals, textBase);
        EXPECT_EQ(globals.TextBase, textBase);
        EXPECT_EQ(globals.PageBackColor, blue);
        EXPECT_EQ(globals.TextBackColor, blue);
        EXPECT_EQ(globals.OptionBackColor, blue);
        EXPECT_EQ(globals.LabelBackColor, blue);
        EXPECT_EQ(globals.TextForeColor, white);
        EXPECT_EQ(globals.LabelForeColor, white);
    }
}

TEST(LookSettings, LeavesTheRestOfTheSharedStateAlone) {
    WizardGlobals globals;
    globals.LastDeviceIndex = 2;
    globals.UserName = QStringLiteral("admin");
    globals.PcAddress = QStringLiteral("10.0.0.2");
    assignLookSettings(globals, 700);
    EXPECT_EQ(globals.LastDeviceIndex, 2);
    EXPECT_EQ(globals.UserName, QStringLiteral("admin"));
    EXPECT_EQ(globals.PcAddress, QStringLiteral("10.0.0.2"));
}

TEST(Twips, FifteenTwipsMakeOnePixelRoundedToTheNearest) {
    const struct {
        int twips;
        int pixels;
    } rows[] = {{0, 0},      {7, 0},      {8, 1},      {15, 1},     {120, 8},
                {255, 17},   {495, 33},   {1215, 81},  {5295, 353}, {7560, 504},
                {8232, 549}, {9816, 654}, {9855, 657}, {-15, -1}};
    for (const auto& row : rows) {
        EXPECT_EQ(twipsToPixels(row.twips), row.pixels) << row.twips;
    }
    EXPECT_EQ(twipsRect(480, 2280, 5055, 375), QRect(32, 152, 337, 25));
}
