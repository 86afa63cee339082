#include "RecordingLauncher.h"
#include "StandIn.h"
#include "core/MenuFolder.h"
#include "core/ShellExecute.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quirra {
namespace {

using testing::RecordingLauncher;
using Call = RecordingLauncher::Call;

struct JoinCase {
    const char* folder;
    const char* name;
    const char* joined;
};

class JoinMenuFolder : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinMenuFolder, KeepsOneSeparator) {
    const JoinCase& row = GetParam();
    EXPECT_EQ(joinMenuFolder(QString::fromUtf8(row.folder), QString::fromUtf8(row.name)),
              QString::fromUtf8(row.joined));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JoinMenuFolder,
    ::testing::Values(JoinCase{"/media/cdrom", "/Tarvex", "/media/cdrom/Tarvex"},
                      JoinCase{"/media/cdrom/", "/Tarvex", "/media/cdrom/Tarvex"},
                      JoinCase{"/media/cdrom//", "/Tarvex", "/media/cdrom/Tarvex"},
                      JoinCase{"/", "/Documents/User's Manual.pdf", "/Documents/User's Manual.pdf"},
                      JoinCase{"/media/My CD", "Documents/Quick Installation Guide.doc",
                               "/media/My CD/Documents/Quick Installation Guide.doc"}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

struct ArgumentCase {
    const char* name;
    QVariant value;
    const char* text;
};

class ShellArgumentText : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ShellArgumentText, NoneNeverBecomesZero) {
    EXPECT_EQ(shellArgumentText(GetParam().value), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShellArgumentText,
    ::testing::Values(ArgumentCase{"NumberZero", QVariant(0), ""},
                      ArgumentCase{"DoubleZero", QVariant(0.0), ""},
                      ArgumentCase{"NoValue", QVariant(), ""},
                      ArgumentCase{"EmptyText", QVariant(QString()), ""},
                      ArgumentCase{"OtherNumber", QVariant(12), "12"},
                      ArgumentCase{"TextZeroIsText", QVariant(QStringLiteral("0")), "0"},
                      ArgumentCase{"Text", QVariant(QStringLiteral("--lang en")), "--lang en"}),
    [](const auto& info) { return std::string(info.param.name); });

// How "Open" reaches the launcher for each kind of file or address.
struct DispatchCase {
    const char* name;
    const char* verb;
    const char* fileName; // created in a scratch folder unless it is an address
    QByteArray content;   // empty: the file does not exist
    bool executable;
    QVariant params;
    QVariant directory;
    Call::Kind kind; // meaningful when handedOver
    bool handedOver;
    QStringList arguments;
    bool folderIsScratch;
};

class RunShellExecuteDispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(RunShellExecuteDispatch, HandsOverLikeTheShell) {
    const DispatchCase& row = GetParam();
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    QString file = QString::fromUtf8(row.fileName);
    if (!file.isEmpty() && !file.contains(QLatin1String("://"))) {
        file = scratch.filePath(file);
        if (!row.content.isEmpty()) {
            const auto permissions = QFile::ReadOwner | QFile::WriteOwner |
                                     (row.executable ? QFile::ExeOwner : QFile::Permissions());
            ASSERT_TRUE(testing::writeFile(file, row.content, permissions));
        }
    }
    const QVariant directory = row.folderIsScratch ? QVariant(scratch.path()) : row.directory;
    RecordingLauncher launcher;

    RunShellExecute(launcher, QString::fromUtf8(row.verb), file, row.params, directory, 1);

    if (!row.handedOver) {
        EXPECT_TRUE(launcher.calls.isEmpty());
        return;
    }
    ASSERT_EQ(launcher.calls.size(), 1);
    const QString folder = row.folderIsScratch ? scratch.path() : QString();
    EXPECT_EQ(launcher.calls.front(),
              (Call{row.kind, file, row.arguments,
                    row.kind == Call::Kind::StartDetached ? folder : QString()}));
}

const QByteArray kElf = QByteArrayLiteral("\x7f"
                                          "ELF\x02\x01\x01");
const QByteArray kScript = QByteArrayLiteral("#!/bin/sh\nexit 0\n");
const QByteArray kPdf = QByteArrayLiteral("%PDF-1.4\n");

INSTANTIATE_TEST_SUITE_P(
    Rows, RunShellExecuteDispatch,
    ::testing::Values(DispatchCase{"ProgramStarts",
                                   "Open",
                                   "Tarvex",
                                   kElf,
                                   true,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::StartDetached,
                                   true,
                                   {},
                                   false},
                      DispatchCase{"ScriptStarts",
                                   "open",
                                   "Tarvex",
                                   kScript,
                                   true,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::StartDetached,
                                   true,
                                   {},
                                   false},
                      DispatchCase{"ParametersAndFolderReachTheProgram", "Open", "Tarvex", kElf,
                                   true, QVariant(QStringLiteral("-a \"b c\"")), QVariant(),
                                   Call::Kind::StartDetached, true,
                                   QStringList{QStringLiteral("-a"), QStringLiteral("b c")}, true},
                      DispatchCase{"ProgramWithoutExecuteBitIsADocument",
                                   "Open",
                                   "Tarvex",
                                   kElf,
                                   false,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::OpenWithDesktop,
                                   true,
                                   {},
                                   false},
                      DispatchCase{"ExecutableDocumentIsADocument",
                                   "Open",
                                   "User's Manual.pdf",
                                   kPdf,
                                   true,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::OpenWithDesktop,
                                   true,
                                   {},
                                   false},
                      DispatchCase{"MissingFileGoesToTheHandler",
                                   "Open",
                                   "Documents/Quick Installation Guide.doc",
                                   QByteArray(),
                                   false,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::OpenWithDesktop,
                                   true,
                                   {},
                                   false},
                      DispatchCase{"AddressGoesToTheHandler",
                                   "Open",
                                   "http://www.dravik.example/",
                                   QByteArray(),
                                   false,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::OpenWithDesktop,
                                   true,
                                   {},
                                   false},
                      DispatchCase{"OtherVerbDoesNothing",
                                   "Print",
                                   "User's Manual.pdf",
                                   kPdf,
                                   false,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::OpenWithDesktop,
                                   false,
                                   {},
                                   false},
                      DispatchCase{"EmptyFileNameDoesNothing",
                                   "Open",
                                   "",
                                   QByteArray(),
                                   false,
                                   QVariant(0),
                                   QVariant(0),
                                   Call::Kind::OpenWithDesktop,
                                   false,
                                   {},
                                   false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quirra
