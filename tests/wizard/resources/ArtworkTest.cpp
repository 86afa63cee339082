#include "resources/Artwork.h"

#include <gtest/gtest.h>

using namespace tarvex;

TEST(Artwork, EveryPictureHasItsExactSizeAndDepth) {
    const struct {
        int number;
        QSize size;
    } rows[] = {
        {101, {652, 347}}, {102, {652, 347}}, {103, {652, 347}},
        {104, {57, 60}},   {105, {57, 60}},   {106, {57, 60}},
    };
    for (const auto& row : rows) {
        const QImage picture = CatalogPicture(row.number);
        ASSERT_FALSE(picture.isNull()) << row.number;
        EXPECT_EQ(picture.size(), row.size) << row.number;
        EXPECT_EQ(picture.depth(), 24) << row.number;
    }
}

TEST(Artwork, UnknownNumbersGiveNoPicture) {
    for (int number : {0, 100, 107}) {
        EXPECT_TRUE(CatalogPicture(number).isNull()) << number;
    }
}

TEST(Artwork, StatusPicturesStandOnTheBlueGround) {
    // The corners of the three status pictures are the page blue (red 21, green 59, blue 121).
    for (int number : {104, 105, 106}) {
        const QImage picture = CatalogPicture(number);
        EXPECT_EQ(QColor(picture.pixel(0, 0)), QColor(21, 59, 121)) << number;
        EXPECT_EQ(QColor(picture.pixel(56, 59)), QColor(21, 59, 121)) << number;
    }
}

TEST(Artwork, ProgramIconComesInBothSizes) {
    const QIcon icon = programIcon();
    const auto sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}
