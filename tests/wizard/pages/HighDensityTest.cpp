// The pages on a screen of device pixel ratio 2.
#include "PageTestSupport.h"
#include "artwork/Artwork.h"
#include "pages/Fonts.h"
#include "pages/PageDesign.h"
#include "pages/PictureBox.h"
#include "support/SanitizerOptions.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Whether the picture appears pixel for pixel somewhere in the shown image.
bool showsPixelForPixel(const QImage& shown, const QImage& picture) {
    QImage screen = shown.convertToFormat(QImage::Format_RGB32);
    QImage wanted = picture.convertToFormat(QImage::Format_RGB32);
    screen.setDevicePixelRatio(1.0);
    wanted.setDevicePixelRatio(1.0);
    for (int y = 0; y + wanted.height() <= screen.height(); ++y) {
        for (int x = 0; x + wanted.width() <= screen.width(); ++x) {
            if (screen.copy(QRect(QPoint(x, y), wanted.size())) == wanted) {
                return true;
            }
        }
    }
    return false;
}

struct DensityRow {
    PageId page;
    StepPicture picture;
};

class HighDensity : public ::testing::TestWithParam<DensityRow> {};

TEST_P(HighDensity, PicturesAreDrawnSharpAtTheirLogicalSize) {
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0);
    testing::Wizard wizard(700);
    StepPage* page = wizard.open(GetParam().page);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->size(), design::stepPageSize());
    auto* box = page->findChild<PictureBox*>(QStringLiteral("pic1"));
    ASSERT_NE(box, nullptr);

    const QImage picture = box->picture();
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    EXPECT_EQ(picture.size(), pictureSize(GetParam().picture) * 2);
    EXPECT_EQ(picture, CatalogPicture(GetParam().picture, 2.0));

    const QImage shown = box->grab().toImage();
    EXPECT_EQ(shown.size(), box->size() * 2);
    if (picture.width() <= shown.width() && picture.height() <= shown.height()) {
        EXPECT_TRUE(showsPixelForPixel(shown, picture));
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, HighDensity,
                         ::testing::Values(DensityRow{PageId::WelcomePage, StepPicture::Welcome},
                                           DensityRow{PageId::PowerPage, StepPicture::Power},
                                           DensityRow{PageId::CablePage, StepPicture::Cable},
                                           DensityRow{PageId::RunningStatusPage,
                                                      StepPicture::UnderWay}));

} // namespace
} // namespace tarvex

int main(int argc, char* argv[]) {
    // Every screen scaled by 2, as on a 4K laptop; off screen like the other widget tests.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    tarvex::registerFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
