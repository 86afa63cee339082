#include "RtfExport.h"

#include "GuideStyle.h"

#include <QTextDocument>
#include <gtest/gtest.h>

namespace guides {
namespace {

QByteArray rtfOf(const char* markdown) {
    QTextDocument document;
    loadGuide(document, QString::fromUtf8(markdown));
    return toRtf(document, QStringLiteral("Guide"));
}

// Braces that are not escaped must pair up, or word processors reject the file.
bool bracesBalance(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

struct EscapeCase {
    const char* name;
    const char* text; // UTF-8
    const char* rtf;
};

class RtfEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(RtfEscape, WritesSevenBitText) {
    EXPECT_EQ(rtfEscaped(QString::fromUtf8(GetParam().text)), QByteArray(GetParam().rtf));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RtfEscape,
    ::testing::Values(EscapeCase{"Plain", "User's Manual", "User's Manual"},
                      EscapeCase{"Specials", "a{b}\\c", "a\\{b\\}\\\\c"},
                      EscapeCase{"Latin1", "caf\xc3\xa9", "caf\\u233?"},
                      EscapeCase{"AboveSignedRange", "\xef\xbc\x81", "\\u-255?"},
                      EscapeCase{"Chinese", "\xe4\xb8\xad", "\\u20013?"},
                      EscapeCase{"SurrogatePair", "\xf0\x9f\x98\x80", "\\u-10179?\\u-8704?"},
                      EscapeCase{"Tab", "a\tb", "a\\tab b"},
                      EscapeCase{"LineBreak",
                                 "a\xe2\x80\xa8"
                                 "b",
                                 "a\\line b"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BlockCase {
    const char* name;
    const char* markdown;
    const char* expected; // a piece the RTF must contain
};

class RtfBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(RtfBlocks, KeepsTheStructure) {
    const QByteArray rtf = rtfOf(GetParam().markdown);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1")) << rtf.constData();
    EXPECT_TRUE(bracesBalance(rtf)) << rtf.constData();
    EXPECT_TRUE(rtf.contains(GetParam().expected)) << rtf.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RtfBlocks,
    ::testing::Values(BlockCase{"HeadingInBlue", "# Title", "\\b\\cf1\\fs40 {\\b Title}\\par"},
                      BlockCase{"SubHeading", "## Step 1", "\\cf1\\fs28 {\\b Step 1}\\par"},
                      BlockCase{"Paragraph", "Plain words.", "\\sa120 Plain words.\\par"},
                      BlockCase{"Bold", "Use **qorvu** here.", "Use {\\b qorvu} here."},
                      BlockCase{"Italic", "An *emphasis*.", "{\\i emphasis}"},
                      BlockCase{"Code", "Run `autorun.sh` now.", "{\\f1 autorun.sh}"},
                      BlockCase{"Bullets", "- one\n- two\n", "\\u8226?\\tab two\\par"},
                      BlockCase{"Numbers", "1. first\n2. second\n", "2.\\tab second\\par"},
                      BlockCase{"Link", "[site](http://www.dravik.example/)",
                                "HYPERLINK \"http://www.dravik.example/\""},
                      BlockCase{"BracesInText", "A {curly} word.", "A \\{curly\\} word."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace guides
