#include "pages/Twips.h"

#include <gtest/gtest.h>

using namespace tarvex;

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
