#include "texts/TextCatalog.h"

#include "texts/AddedTexts.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tarvex;

namespace {

struct ExpectedText {
    int n;
    QString english;
    QString chinese;
};

// The catalog as the product's text table has it, one line per offset: n, English, Chinese.
QList<ExpectedText> expectedTexts() {
    QFile file(QStringLiteral(CATALOG_EXPECTED_TSV));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<ExpectedText> texts;
    const QString content = QString::fromUtf8(file.readAll());
    for (const QString& line : content.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() == 3) {
            texts.append({cells[0].toInt(), cells[1], cells[2]});
        }
    }
    return texts;
}

} // namespace

TEST(TextCatalog, EveryEntryOfBothSetsMatchesTheTable) {
    const auto expected = expectedTexts();
    ASSERT_EQ(expected.size(), kCatalogSize);
    for (const auto& entry : expected) {
        EXPECT_EQ(CatalogText(kEnglishTextBase, entry.n), entry.english)
            << "text " << 700 + entry.n;
        EXPECT_EQ(CatalogText(kChineseTextBase, entry.n), entry.chinese)
            << "text " << 500 + entry.n;
    }
}

TEST(TextCatalog, KeepsQuotesAndDoubleSpaces) {
    EXPECT_TRUE(
        CatalogText(700, 5).contains(QStringLiteral("(AC IN).  Push the \"Start\" button")));
    EXPECT_TRUE(CatalogText(700, 23).endsWith(QStringLiteral("are \"qorvu\" in lower case.")));
    EXPECT_TRUE(CatalogText(500, 23).contains(QStringLiteral("\"qorvu\"")));
    EXPECT_EQ(CatalogText(700, 58), QStringLiteral("Version v2.2  2004/10/08"));
    EXPECT_EQ(CatalogText(500, 58), QStringLiteral("版本 v2.0  2004/04/29"));
}

TEST(TextCatalog, PairsThatDifferOnlyInOneSet) {
    EXPECT_EQ(CatalogText(700, 43), CatalogText(700, 44));
    EXPECT_NE(CatalogText(500, 43), CatalogText(500, 44));
    EXPECT_NE(CatalogText(700, 45), CatalogText(700, 49));
    EXPECT_EQ(CatalogText(500, 45), CatalogText(500, 49));
    EXPECT_EQ(CatalogText(700, 46), CatalogText(700, 50));
    EXPECT_EQ(CatalogText(500, 46), CatalogText(500, 50));
}

TEST(TextCatalog, OffsetsAndBasesOutsideTheTableGiveNothing) {
    for (int n : {-1, 0, 59, 100}) {
        EXPECT_TRUE(CatalogText(700, n).isEmpty()) << n;
        EXPECT_TRUE(CatalogText(500, n).isEmpty()) << n;
    }
    EXPECT_TRUE(CatalogText(0, 1).isEmpty());
    EXPECT_TRUE(CatalogText(600, 1).isEmpty());
}

// Every added text exists in both editions, really translated, with the same placeholders, so
// that an argument lands in both.
TEST(AddedTexts, BothEditionsWithTheSamePlaceholders) {
    const QRegularExpression placeholder(QStringLiteral("%[0-9]"));
    for (int i = 0; i < static_cast<int>(AddedText::Count); ++i) {
        const QString english = AddedCatalogText(700, static_cast<AddedText>(i));
        const QString chinese = AddedCatalogText(500, static_cast<AddedText>(i));
        EXPECT_FALSE(english.isEmpty()) << i;
        EXPECT_NE(english, chinese) << i;
        EXPECT_TRUE(std::any_of(chinese.begin(), chinese.end(), [](QChar c) {
            return c.unicode() >= 0x4e00;
        })) << i;
        QStringList inEnglish;
        QStringList inChinese;
        for (const auto& match : placeholder.globalMatch(english)) {
            inEnglish.append(match.captured());
        }
        for (const auto& match : placeholder.globalMatch(chinese)) {
            inChinese.append(match.captured());
        }
        EXPECT_EQ(inEnglish, inChinese) << i;
    }
}
