#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const char* path) {
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Output of a poppler tool run on the manual, or an empty text when it could not run.
QString popplerOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(BuiltGuides, ManualIsAPdfOfSeveralPages) {
    ASSERT_TRUE(readAll(USERS_MANUAL).startsWith("%PDF-"));
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {QStringLiteral(USERS_MANUAL)});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    ASSERT_TRUE(match.hasMatch()) << info.toStdString();
    EXPECT_GE(match.captured(1).toInt(), 4);
    EXPECT_TRUE(info.contains(QStringLiteral("User's Manual")));
}

class ManualText : public ::testing::TestWithParam<const char*> {};

TEST_P(ManualText, ReadsBackFromThePdf) {
    static const QString text =
        popplerOutput(QStringLiteral("pdftotext"),
                      {QStringLiteral("-raw"), QStringLiteral(USERS_MANUAL), QStringLiteral("-")})
            .simplified();
    EXPECT_TRUE(text.contains(QString::fromUtf8(GetParam()))) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Phrases, ManualText,
                         ::testing::Values("Step 3: Express Setup", "qorvu",
                                           "Are you sure of exiting program?",
                                           "Scan error. There is no Dravik I can find.",
                                           "Please input the Username and Password.",
                                           "ping_group_range", "sudo apt install iputils-ping",
                                           "Page 1 of", "sudo ufw allow \"Dravik Setup\"",
                                           "firewalld: the service dravik-setup"));

class QuickGuideText : public ::testing::TestWithParam<const char*> {};

TEST_P(QuickGuideText, IsInTheRtf) {
    static const QByteArray rtf = readAll(QUICK_GUIDE);
    ASSERT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains(GetParam())) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Phrases, QuickGuideText,
                         ::testing::Values("Quick Installation Guide", "AC IN", "qorvu",
                                           "Quick Setup Wizard", "Access My Dravik"));

} // namespace
