#include "artwork/Artwork.h"

#include "FontLanguage.h"
#include "support/UserLanguages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace tarvex;

namespace {

const struct {
    StepPicture number;
    QSize size;
    bool worded; // drawn in the user's language
} kPictureRows[] = {
    {StepPicture::Welcome, {652, 347}, true}, {StepPicture::Power, {652, 347}, true},
    {StepPicture::Cable, {652, 347}, true},   {StepPicture::UnderWay, {57, 60}, false},
    {StepPicture::Done, {57, 60}, false},     {StepPicture::Failed, {57, 60}, false},
};

} // namespace

TEST(Artwork, EveryPictureHasItsExactSizeAndDepth) {
    for (const auto& row : kPictureRows) {
        const QImage picture = CatalogPicture(row.number);
        ASSERT_FALSE(picture.isNull()) << static_cast<int>(row.number);
        EXPECT_EQ(picture.size(), row.size) << static_cast<int>(row.number);
        EXPECT_EQ(picture.devicePixelRatio(), 1.0) << static_cast<int>(row.number);
        EXPECT_EQ(picture.depth(), 24) << static_cast<int>(row.number);
        const QImage chinese =
            CatalogPicture(row.number, 1.0, dravik::Language::TraditionalChinese);
        EXPECT_EQ(chinese.size(), row.size) << static_cast<int>(row.number);
        EXPECT_EQ(chinese != picture, row.worded) << static_cast<int>(row.number);
    }
}

TEST(Artwork, AtRatioTwoEveryPictureIsDrawnWithTwiceThePixels) {
    for (const auto& row : kPictureRows) {
        const QImage sharp = CatalogPicture(row.number, 2.0);
        ASSERT_FALSE(sharp.isNull()) << static_cast<int>(row.number);
        EXPECT_EQ(sharp.size(), row.size * 2) << static_cast<int>(row.number);
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0) << static_cast<int>(row.number);
        EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(row.size)) << static_cast<int>(row.number);
        EXPECT_EQ(sharp.depth(), 24) << static_cast<int>(row.number);
        // Drawn from the source, not the 96 dpi bitmap blown up.
        QImage pixels = sharp.convertToFormat(QImage::Format_RGB32);
        pixels.setDevicePixelRatio(1.0);
        EXPECT_NE(
            pixels,
            CatalogPicture(row.number).convertToFormat(QImage::Format_RGB32).scaled(row.size * 2))
            << static_cast<int>(row.number);
    }
}

TEST(Artwork, StatusPicturesStandOnTheBlueGround) {
    // The corners of the three status pictures are the page blue (red 21, green 59, blue 121).
    for (const StepPicture status :
         {StepPicture::UnderWay, StepPicture::Done, StepPicture::Failed}) {
        const QImage picture = CatalogPicture(status);
        EXPECT_EQ(QColor(picture.pixel(0, 0)), QColor(21, 59, 121));
        EXPECT_EQ(QColor(picture.pixel(56, 59)), QColor(21, 59, 121));
    }
}

TEST(Artwork, ProgramIconComesInBothSizes) {
    const QIcon icon = programIcon();
    const auto sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

// The words of a picture come out alike under every language setting of their language: each
// Chinese one draws as zh_TW does, each English one as en_US, for both programs' pictures.
TEST(Artwork, EveryLanguageSettingDrawsThePicturesOfItsLanguageAlike) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::map<int, QString> firstDrawn; // by text base
    for (const tarvex::testing::LanguageRow& row : tarvex::testing::languageRows()) {
        SCOPED_TRACE(row.name);
        const QString drawn = folder.filePath(QString::fromLatin1(row.name));
        ASSERT_TRUE(QDir().mkpath(drawn));
        QProcess program;
        program.setProcessEnvironment(tarvex::testing::environmentOf(row));
        program.start(
            QStringLiteral(DRAW_WORDED_PICTURES),
            {row.textBase == 500 ? QStringLiteral("zh_TW") : QStringLiteral("en"), drawn});
        ASSERT_TRUE(program.waitForFinished(60000));
        ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        const auto [reference, first] = firstDrawn.emplace(row.textBase, drawn);
        const QStringList pictures = QDir(drawn).entryList(QDir::Files);
        ASSERT_EQ(pictures.size(), 20);
        for (const QString& name : pictures) {
            QFile mine(QDir(drawn).filePath(name));
            QFile theirs(QDir(reference->second).filePath(name));
            ASSERT_TRUE(mine.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
            EXPECT_TRUE(mine.readAll() == theirs.readAll()) << name.toStdString();
        }
    }
}

// The language set for the fonts is the programs' own: what they start gets the user's.
TEST(FontLanguage, LeavesTheEnvironmentAsItWas) {
    qunsetenv("FC_LANG");
    dravik::orderFontsFor(dravik::Language::TraditionalChinese);
    EXPECT_FALSE(qEnvironmentVariableIsSet("FC_LANG"));
    qputenv("FC_LANG", "de");
    dravik::orderFontsFor(dravik::Language::English);
    EXPECT_EQ(qgetenv("FC_LANG"), "de");
    qunsetenv("FC_LANG");
}
