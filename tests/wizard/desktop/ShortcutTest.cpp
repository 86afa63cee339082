// Every shortcut and place goes to a temporary folder; no test touches the user's desktop or
// places or starts the real gio or xdg-open: stand-in scripts take their place (gio launch runs
// a stand-in xdg-open).
#include "desktop/DesktopShortcutWriter.h"
#include "desktop/ThreadedShortcutRunner.h"
#include "desktop/XdgAddressLauncher.h"
#include "process/BoundedProcess.h"
#include "support/HeldShortcutWriter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace tarvex {
namespace {

using namespace std::chrono_literals;
using Texts = std::tuple<const char*, const char*, const char*>;

class ShortcutFileNameRows : public ::testing::TestWithParam<Texts> {};

TEST_P(ShortcutFileNameRows, IsOneSafeName) {
    const auto [prefix, host, expected] = GetParam();
    EXPECT_EQ(ShortcutFileName(prefix, QString::fromUtf8(host), 255), QString::fromUtf8(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShortcutFileNameRows,
    ::testing::Values(Texts{"Setup My Dravik - ", "NAS", "Setup My Dravik - NAS.desktop"},
                      Texts{"Access My Dravik - ", "", "Access My Dravik - .desktop"},
                      Texts{"A - ", "../../etc/x", "A - .._.._etc_x.desktop"},
                      Texts{"A - ", "a\nb\tc\x7f\xc2\x85z", "A - a_b_c__z.desktop"},
                      Texts{"", ".hidden.", "_hidden..desktop"},
                      Texts{"", "Über 😀 NAS", "Über 😀 NAS.desktop"},
                      Texts{"A - ", "a\u202Eexe.knil", "A - a_exe.knil.desktop"},
                      Texts{"", "a\u2028b\u2029c\u200Bd\U000E0041e\u00ADf",
                            "a_b_c_d_e_f.desktop"}));

TEST(ShortcutFileName, NulIsReplacedAndLongNamesAreCutAtACharacterToLeaveRoomForTheTemporary) {
    EXPECT_EQ(ShortcutFileName("", QString::fromLatin1("a\0b", 3), 255), "a_b.desktop");
    for (const QString& unit : {QStringLiteral("a"), QStringLiteral("é"), QStringLiteral("😀")}) {
        const QByteArray name = ShortcutFileName("A - ", unit.repeated(1000), 255).toUtf8();
        EXPECT_LE(name.size() + 8, 255) << unit.toStdString();
        EXPECT_GT(name.size() + 8 + unit.toUtf8().size(), 255) << unit.toStdString();
        EXPECT_TRUE(name.endsWith(".desktop"));
        EXPECT_EQ(QString::fromUtf8(name).toUtf8(), name); // whole characters only
    }
}

class DesktopEntryValueRows : public ::testing::TestWithParam<std::pair<const char*, const char*>> {
};

TEST_P(DesktopEntryValueRows, StaysOneValue) {
    EXPECT_EQ(DesktopEntryValue(QString::fromUtf8(GetParam().first)),
              QString::fromUtf8(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(
    Values, DesktopEntryValueRows,
    ::testing::Values(std::pair{"IP=1.2.3.4  , Manage", "IP=1.2.3.4  , Manage"},
                      std::pair{"EVIL\nExec=/bin/sh", "EVIL\\nExec=/bin/sh"},
                      std::pair{"a\r\tb\\n", "a\\r\\tb\\\\n"}, std::pair{" both ", "\\sboth\\s"},
                      std::pair{"x\x01y", "x\xef\xbf\xbdy"},
                      std::pair{"a\u202Eb\u2028c\U000E0041d", "a\uFFFDb\uFFFDc\uFFFDd"}));

class DesktopExecArgumentRows
    : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(DesktopExecArgumentRows, IsQuotedOnlyWhereTheFormatAsks) {
    EXPECT_EQ(DesktopExecArgument(QString::fromUtf8(GetParam().first)),
              QString::fromUtf8(GetParam().second));
}

INSTANTIATE_TEST_SUITE_P(Arguments, DesktopExecArgumentRows,
                         ::testing::Values(std::pair{"http://192.168.0.5", "http://192.168.0.5"},
                                           std::pair{"a b\"$`\\;", "\"a b\\\"\\$\\`\\\\;\""},
                                           std::pair{"100%u", "100%%u"}, std::pair{"", "\"\""}));

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a tool to its end (10 s at most), `bin` first on PATH when given: its exit code and
// output, or nothing when the tool is not installed.
std::optional<std::pair<int, std::string>> RunTool(const char* tool, const QStringList& arguments,
                                                   const QString& bin = {}) {
    const QString found = QStandardPaths::findExecutable(tool);
    if (found.isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!bin.isEmpty()) {
        environment.insert("PATH", bin + ':' + environment.value("PATH"));
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(found, arguments);
    const bool finished = process.waitForFinished(10000);
    return std::pair{finished ? process.exitCode() : -1, process.readAll().toStdString()};
}

void ExpectValid(const QString& path) {
    const auto result = RunTool("desktop-file-validate", {path});
    if (!result) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    EXPECT_EQ(result->first, 0) << result->second;
}

// A desktop folder that does not exist yet, a gio stand-in that records each call with the
// number of files then in the folder, and fails: marking is not required; and the places files
// in a configuration folder of their own, the GTK one's folder missing.
struct Desktop {
    QTemporaryDir root;
    QString folder = root.filePath("Desktop");
    QStringList calls;
    QTemporaryDir config;
    PlacesFiles places{config.filePath("gtk-3.0/bookmarks"), config.filePath("user-places.xbel")};
    DesktopShortcutWriter writer{
        folder,
        [this](const QString& program, const QStringList& args) {
            calls << QString("%1 %2 (%3)").arg(program, args.join(' ')).arg(files().size());
            return false;
        },
        places};

    [[nodiscard]] QStringList files() const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                      QDir::System);
    }
};

const Ipv4Address kAppliance(0xc0a80005); // 192.168.0.5

QString Checksum(const QString& path) {
    return QCryptographicHash::hash(Read(path), QCryptographicHash::Sha256).toHex();
}

TEST(DesktopShortcutWriter, WritesTheManagementEntryThenTheAccessEntry) {
    Desktop desktop;
    ASSERT_FALSE(desktop.writer.CreateShortcuts(kAppliance, "NAS"));
    const QString manage = desktop.folder + "/Setup My Dravik - NAS.desktop";
    const QString access = desktop.folder + "/Access My Dravik - NAS.desktop";
    EXPECT_EQ(Read(manage), "[Desktop Entry]\nVersion=1.0\nType=Application\n"
                            "Name=Setup My Dravik - NAS\n"
                            "Comment=IP=192.168.0.5 , Manage your Dravik\n"
                            "Exec=xdg-open http://192.168.0.5\nIcon=web-browser\n");
    EXPECT_EQ(Read(access), "[Desktop Entry]\nVersion=1.0\nType=Application\n"
                            "Name=Access My Dravik - NAS\n"
                            "Comment=IP=192.168.0.5 , Access your Dravik\n"
                            "Exec=xdg-open smb://192.168.0.5\nIcon=folder-remote\n");
    EXPECT_EQ(desktop.calls,
              QStringList({"gio set " + manage + " metadata::trusted true (1)",
                           "gio set -t string " + manage + " metadata::xfce-exe-checksum " +
                               Checksum(manage) + " (1)",
                           "gio set " + access + " metadata::trusted true (2)",
                           "gio set -t string " + access + " metadata::xfce-exe-checksum " +
                               Checksum(access) + " (2)"}));
    for (const QString& path : {manage, access}) {
        EXPECT_TRUE(QFile::permissions(path) & QFile::ExeOwner);
    }
}

// A slow disk: the window's thread turns while a write is held, and a runner ended during the
// write (the program's end) lets it end whole and answers nothing.
TEST(ThreadedShortcutRunner, TheWindowTurnsWhileTheDiskHoldsAWriteAndAnEndLeavesItWhole) {
    const QTemporaryDir root;
    for (const bool endDuringTheWrite : {false, true}) {
        SCOPED_TRACE(endDuringTheWrite);
        const QString home = root.filePath(QString::number(endDuringTheWrite));
        auto gate = std::make_shared<testing::WriteGate>();
        auto runner = std::make_unique<ThreadedShortcutRunner>([gate, home] {
            return std::make_unique<testing::HeldShortcutWriter>(
                gate, std::make_unique<DesktopShortcutWriter>(
                          home + "/Desktop", [](const QString&, const QStringList&) {},
                          PlacesFiles{home + "/bookmarks", {}}));
        });
        std::optional<std::optional<ShortcutFailure>> answer;
        runner->start(kAppliance, "NAS", [&answer](const auto& failure) { answer = failure; });
        ASSERT_TRUE(gate->waitForWrite());
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
        tick.start(1);
        const auto turn = [](const std::function<bool()>& until) {
            QElapsedTimer clock;
            clock.start();
            while (!until() && clock.elapsed() < 5000) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
        };
        turn([&ticks] { return ticks >= 5; });
        EXPECT_GE(ticks, 5);
        EXPECT_FALSE(answer);
        if (endDuringTheWrite) {
            std::thread disk([gate] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                gate->open();
            });
            runner.reset();
            disk.join();
            QCoreApplication::processEvents(); // where an answer would be delivered
            EXPECT_FALSE(answer);
        } else {
            gate->open();
            turn([&answer] { return answer.has_value(); });
            EXPECT_TRUE(answer && !*answer);
        }
        EXPECT_EQ(QDir(home + "/Desktop").entryList(QDir::Files | QDir::Hidden),
                  QStringList({"Access My Dravik - NAS.desktop", "Setup My Dravik - NAS.desktop"}));
        EXPECT_TRUE(Read(home + "/Desktop/Access My Dravik - NAS.desktop")
                        .endsWith("Exec=xdg-open smb://192.168.0.5\nIcon=folder-remote\n"));
        EXPECT_EQ(Read(home + "/bookmarks"), "smb://192.168.0.5 Dravik - NAS\n");
    }
}

// Each entry as GLib's loader reads it: valid, and launched it hands xdg-open exactly its URL.
class EntryLaunch : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(EntryLaunch, IsValidAndGioLaunchHandsXdgOpenExactlyTheUrl) {
    Desktop desktop;
    ASSERT_FALSE(desktop.writer.CreateShortcuts(kAppliance, "NAS"));
    const QString path = QDir(desktop.folder).filePath(GetParam().first);
    ExpectValid(path);
    // A stand-in xdg-open that writes its arguments, one a line, beside itself.
    const QString bin = desktop.root.filePath("bin");
    QFile stub(bin + "/xdg-open");
    ASSERT_TRUE(QDir().mkpath(bin) && stub.open(QIODevice::WriteOnly));
    stub.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    stub.close();
    ASSERT_TRUE(stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const auto launched = RunTool("gio", {"launch", path}, bin);
    if (!launched) {
        GTEST_SKIP() << "gio (libglib2.0-bin) is not installed";
    }
    EXPECT_EQ(launched->first, 0) << launched->second;
    // The stand-in is started, not waited for.
    const QString arguments = stub.fileName() + ".args";
    for (int i = 0; i < 100 && !QFile::exists(arguments); ++i) {
        QThread::msleep(50);
    }
    EXPECT_EQ(Read(arguments), QByteArray(GetParam().second) + '\n');
}

INSTANTIATE_TEST_SUITE_P(
    BothFiles, EntryLaunch,
    ::testing::Values(std::pair{"Setup My Dravik - NAS.desktop", "http://192.168.0.5"},
                      std::pair{"Access My Dravik - NAS.desktop", "smb://192.168.0.5"}));

TEST(DesktopShortcutWriter, ReplacesAnExistingFileWholeAndKeepsOtherHosts) {
    Desktop desktop;
    ASSERT_TRUE(QDir().mkpath(desktop.folder));
    QFile old(desktop.folder + "/Setup My Dravik - NAS.desktop");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(4096, 'x')) == 4096);
    old.close();
    ASSERT_FALSE(desktop.writer.CreateShortcuts(Ipv4Address(0x0a000002), "NAS"));
    ASSERT_FALSE(desktop.writer.CreateShortcuts(Ipv4Address(0x0a000003), "Other"));
    EXPECT_TRUE(Read(old.fileName()).startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(desktop.files().size(), 4);
}

class HostileHostNames : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(HostileHostNames, GiveTwoValidEntriesInTheFolderWithNoKeyAdded) {
    Desktop desktop;
    const QString host = QString::fromUtf8(GetParam().first).repeated(GetParam().second);
    ASSERT_FALSE(desktop.writer.CreateShortcuts(kAppliance, host));
    ASSERT_EQ(desktop.files().size(), 2) << desktop.files().join('|').toStdString();
    EXPECT_EQ(QDir(desktop.root.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"Desktop"});
    for (const QString& file : desktop.files()) {
        const QString path = QDir(desktop.folder).filePath(file);
        QStringList keys;
        for (const QByteArray& line : Read(path).split('\n').mid(1)) {
            keys << line.left(line.indexOf('='));
        }
        EXPECT_EQ(keys, QStringList({"Version", "Type", "Name", "Comment", "Exec", "Icon", ""}));
        ExpectValid(path);
    }
    const QByteArray bookmarks = Read(desktop.places.gtkBookmarks);
    EXPECT_TRUE(bookmarks.startsWith("smb://192.168.0.5 Dravik - ")) << bookmarks.toStdString();
    EXPECT_EQ(bookmarks.count('\n'), 1);
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostileHostNames,
                         ::testing::Values(std::pair{"EVIL\nExec=/bin/sh\n[Desktop Action x]", 1},
                                           std::pair{"../../outside", 1}, std::pair{"/", 1000},
                                           std::pair{"é", 1000}, std::pair{" \\s\\ ", 1},
                                           std::pair{"\x01", 1000},
                                           std::pair{"a\u202Eexe.knil\u2029", 1}));

// Where a file manager's list of places stands before a run.
enum class Layout {
    File,             // at its place, or missing when `before` is null
    Link,             // a symbolic link to the list in another folder
    FolderIsAFile,    // a plain file where its folder should be made
    DirectoryInPlace, // a folder where the list should be: it cannot be read
    LinkIntoProc,     // a link to a file in /proc, beside which nothing can be created
    ReadOnly,         // the user took its write permission away
    AnotherOwner,     // another user's file (as root: a user's home)
};

struct PlacesRow {
    const char* name;
    bool kde; // KDE's places, else GTK's bookmarks
    Layout layout;
    std::string before; // "-": no file
    std::string after;  // "-": everything as it was
    const char* host = "NAS";
};

void PrintTo(const PlacesRow& row, std::ostream* os) {
    *os << row.name;
}

// Every entry under the folder: path, then the link's target or the file's content.
QStringList Snapshot(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << info.filePath() + " " +
                       (info.isSymLink() ? "-> " + info.symLinkTarget()
                                         : QString::fromUtf8(Read(info.filePath())));
    }
    entries.sort();
    return entries;
}

class PlacesRows : public ::testing::TestWithParam<PlacesRow> {};

TEST_P(PlacesRows, GetTheSharedFoldersOnceAndLoseNothingAndTheRunGoesOn) {
    const PlacesRow& row = GetParam();
    Desktop desktop;
    const QString list = row.kde ? desktop.places.kdePlaces : desktop.places.gtkBookmarks;
    QString file = list;
    if (row.layout == Layout::Link) {
        file = desktop.config.filePath("dotfiles/places");
        ASSERT_TRUE(QDir().mkpath(desktop.config.filePath("gtk-3.0")));
        ASSERT_TRUE(QFile::link("../dotfiles/places", list));
    } else if (row.layout == Layout::LinkIntoProc) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(list).path()) && QFile::link("/proc/version", list));
    } else if (row.layout == Layout::DirectoryInPlace) {
        ASSERT_TRUE(QDir().mkpath(list));
    } else if (row.layout == Layout::FolderIsAFile) {
        file = QFileInfo(list).path();
    }
    if (row.before != "-") {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(row.before.c_str());
        written.setPermissions(
            QFile::ReadOwner | QFile::ReadGroup |
            (row.layout == Layout::ReadOnly ? QFile::Permissions() : QFile::WriteOwner));
        if (row.layout == Layout::AnotherOwner &&
            chown(QFile::encodeName(file).constData(), 65534, 65534) != 0) {
            GTEST_SKIP() << "only root can give the list to another user";
        }
    }
    const QStringList before = Snapshot(desktop.config.path());

    ASSERT_FALSE(desktop.writer.CreateShortcuts(kAppliance, QString::fromUtf8(row.host)));
    EXPECT_EQ(desktop.files().size(), 2);
    const QStringList after = Snapshot(desktop.config.path());
    EXPECT_FALSE(after.join('\n').contains("/.")) << "a temporary file was left";
    if (row.after == "-") {
        if (row.kde) {
            EXPECT_EQ(after.filter("user-places.xbel"), before.filter("user-places.xbel"));
        } else {
            EXPECT_EQ(after, before);
        }
        return;
    }
    EXPECT_EQ(QFileInfo(list).isSymLink(), row.layout == Layout::Link);
    EXPECT_EQ(Read(file).toStdString(), row.after);
    // The user's mode kept; a new list private.
    const auto owner = QFile::ReadOwner | QFile::WriteOwner;
    EXPECT_EQ(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              row.before == "-" ? owner : owner | QFile::ReadGroup);
    if (!row.kde) {
        // GTK's reading: one "URI label" a line, the URI percent-encoded.
        for (const QByteArray& line : Read(file).split('\n')) {
            const QByteArray uri = line.left(line.indexOf(' '));
            EXPECT_EQ(QUrl::fromEncoded(uri, QUrl::StrictMode).toEncoded(), uri);
        }
    }
}

const std::string kOurs = "smb://192.168.0.5 Dravik - NAS\n";
// As KDE writes it: its own metadata first, then the places.
const std::string kXbelHome =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xbel>\n"
    "<xbel xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
    "xmlns:kdepriv=\"http://www.kde.org/kdepriv\">\n <info>\n  <metadata "
    "owner=\"http://www.kde.org\">\n   <kde_places_version>4</kde_places_version>\n"
    "  </metadata>\n </info>\n <bookmark href=\"file:///home/u\">\n  <title>Home</title>\n"
    "  <info>\n   <metadata owner=\"http://www.kde.org\">\n    <ID>1700000000/0</ID>\n"
    "   </metadata>\n  </info>\n </bookmark>\n";
const std::string kXbelOurs =
    " <bookmark href=\"smb://192.168.0.5\">\n  <title>Dravik - NAS</title>\n"
    "  <info>\n   <metadata owner=\"http://freedesktop.org\">\n"
    "    <bookmark:icon name=\"folder-remote\"/>\n   </metadata>\n"
    "  </info>\n </bookmark>\n";
const std::string kGtkUsers = "file:///home/u/Music\n\n# kept\nsftp://h/My%20Files My files\n"
                              "x-unknown:zz Über\n";

INSTANTIATE_TEST_SUITE_P(
    Lists, PlacesRows,
    ::testing::Values(
        PlacesRow{"GtkMissingWithItsFolder", false, Layout::File, "-", kOurs},
        PlacesRow{"GtkKeepsEveryLine", false, Layout::File, kGtkUsers, kGtkUsers + kOurs},
        PlacesRow{"GtkWithoutFinalNewline", false, Layout::File, "file:///a A",
                  "file:///a A\n" + kOurs},
        PlacesRow{"GtkHoldsItWithASlash", false, Layout::File, "file:///a\nSMB://192.168.0.5/ Mine",
                  "-"},
        PlacesRow{"GtkLinkFollowed", false, Layout::Link, "file:///a\n", "file:///a\n" + kOurs},
        PlacesRow{"GtkFolderCannotBeMade", false, Layout::FolderIsAFile, "x", "-"},
        PlacesRow{"GtkUnreadable", false, Layout::DirectoryInPlace, "-", "-"},
        PlacesRow{"GtkUnwritable", false, Layout::LinkIntoProc, "-", "-"},
        PlacesRow{"KdeMissingStaysMissing", true, Layout::File, "-", "-"},
        PlacesRow{"KdeAddsBeforeTheEnd", true, Layout::File, kXbelHome + "</xbel>",
                  kXbelHome + kXbelOurs + "</xbel>"},
        PlacesRow{"KdeHoldsIt", true, Layout::File,
                  kXbelHome + " <folder><bookmark href=\"smb://192.168.0.5\"/></folder>\n</xbel>\n",
                  "-"},
        PlacesRow{"KdeEndTagOnlyInAComment", true, Layout::File,
                  "<xbel><bookmark href=\"a:b\"/></xbel\n>\n<!-- </xbel> -->\n", "-"},
        PlacesRow{"KdeNotWellFormed", true, Layout::File, kXbelHome, "-"},
        PlacesRow{"GtkHoldsItOnACrlfLine", false, Layout::File,
                  "file:///a\r\nsmb://192.168.0.5\r\n", "-"},
        PlacesRow{"GtkReadOnlyStays", false, Layout::ReadOnly, "file:///a\n", "-"},
        PlacesRow{"GtkOfAnotherUserStays", false, Layout::AnotherOwner, "file:///a\n", "-"},
        PlacesRow{"KdeReadOnlyStays", true, Layout::ReadOnly, kXbelHome + "</xbel>", "-"},
        // Earlier runs for the appliance, at addresses it has left: one bookmark stays, moved.
        PlacesRow{"GtkMovesOursWhereItStands", false, Layout::File,
                  "smb://10.0.0.7 Dravik - NAS\n" + kGtkUsers +
                      "smb://10.0.0.7 Dravik - NAS2\nsmb://10.0.0.8 My NAS\n"
                      "smb://10.0.0.8/ Dravik - NAS\r\n",
                  kOurs + kGtkUsers + "smb://10.0.0.7 Dravik - NAS2\nsmb://10.0.0.8 My NAS\n"},
        PlacesRow{"GtkKeepsTheOneOfFourRunsAtTheAddress", false, Layout::File,
                  "smb://10.0.0.7 Dravik - NAS\nsmb://10.0.0.8 Dravik - NAS\n" + kOurs +
                      "smb://10.0.0.9 Dravik - NAS",
                  kOurs},
        PlacesRow{"GtkUsersOwnPlaceTakesOurs", false, Layout::File,
                  "smb://10.0.0.7 Dravik - NAS\nsmb://192.168.0.5 Mine\n",
                  "smb://192.168.0.5 Mine\n"},
        PlacesRow{
            "KdeMovesOurs", true, Layout::File,
            kXbelHome +
                QString::fromStdString(kXbelOurs).replace("192.168.0.5", "10.0.0.7").toStdString() +
                "</xbel>",
            kXbelHome + kXbelOurs + "</xbel>"},
        PlacesRow{"KdeLabelWithoutNonCharacters", true, Layout::File, kXbelHome + "</xbel>",
                  kXbelHome +
                      QString::fromStdString(kXbelOurs).replace("NAS", "N_S_").toStdString() +
                      "</xbel>",
                  "N\uFFFES\U0001FFFF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DesktopShortcutWriter, TellsWhichFileFailedAndWhy) {
    // Both failures hold for root too: a folder under a plain file, a folder in a file's place.
    QTemporaryDir root;
    QFile plain(root.filePath("file"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    const auto noFolder = DesktopShortcutWriter(plain.fileName() + "/Desktop", [](auto&&...) {
                              return true;
                          }).CreateShortcuts(kAppliance, "NAS");
    ASSERT_TRUE(noFolder);
    EXPECT_EQ(noFolder->file, plain.fileName() + "/Desktop");
    EXPECT_EQ(noFolder->reason, "Not a directory");

    const QString access = root.filePath("Access My Dravik - NAS.desktop");
    ASSERT_TRUE(QDir().mkpath(access + "/inside"));
    const auto occupied = DesktopShortcutWriter(root.path(), [](auto&&...) {
                              return true;
                          }).CreateShortcuts(kAppliance, "NAS");
    ASSERT_TRUE(occupied);
    EXPECT_EQ(occupied->file, access);
    EXPECT_FALSE(occupied->reason.isEmpty());
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary
    EXPECT_TRUE(QFile::exists(root.filePath("Setup My Dravik - NAS.desktop")));
}

// A folder of stand-in programs that is the whole PATH while it lives, so that neither the
// real gio nor the real xdg-open can be found. The scripts name every other program by path.
class StubPath {
public:
    StubPath() : saved_(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(dir_.path())); }
    ~StubPath() { qputenv("PATH", saved_); }
    StubPath(const StubPath&) = delete;
    StubPath& operator=(const StubPath&) = delete;

    void add(const QString& name, const QString& body) const {
        QFile script(dir_.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // What the scripts wrote to "$LOG", one word a line.
    [[nodiscard]] QStringList log() const {
        QFile file(dir_.filePath("log"));
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                   : QStringList{};
    }
    [[nodiscard]] QString logPath() const { return dir_.filePath("log"); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};

// Running and not a zombie: a zombie whose parent is gone waits only for its reaper.
bool Alive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
}

// Lets events run for `duration`; the longest gap between two turns of a 10 ms timer.
qint64 TurnFor(std::chrono::milliseconds duration, const std::function<bool()>& until = {}) {
    QTimer tick;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    tick.start(10);
    while (clock.elapsed() < duration.count() && !(until && until())) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return longest;
}

// True once none of them runs; a killed process takes a moment to go.
bool AllGone(const QList<pid_t>& pids) {
    TurnFor(500ms, [&] { return std::none_of(pids.begin(), pids.end(), Alive); });
    return std::none_of(pids.begin(), pids.end(), Alive);
}

QList<pid_t> Pids(const QStringList& lines) {
    QList<pid_t> pids;
    for (const QString& line : lines) {
        pids.append(line.toInt());
    }
    return pids;
}

TEST(TrustCall, ReturnsAtOnceAndEndsTheWholeGroupAtTheLimitOrAtTheEnd) {
    const StubPath path;
    // gio that starts a child and waits for it: both write their ids and hang.
    path.add("gio", "/bin/sleep 60 &\necho $$ >> '" + path.logPath() + "'\necho $! >> '" +
                        path.logPath() + "'\nwait");
    QTemporaryDir root;
    // A blocking call would hold the window for the whole limit, once a file.
    auto programs = std::make_shared<BackgroundPrograms>(500ms);
    DesktopShortcutWriter writer(root.path(),
                                 [programs](const QString& program, const QStringList& arguments) {
                                     programs->run(program, arguments);
                                 });
    QElapsedTimer clock;
    clock.start();
    ASSERT_FALSE(writer.CreateShortcuts(Ipv4Address(0x0a000002), "NAS"));
    EXPECT_LT(clock.elapsed(), 250);
    // Two marks a file (GNOME/MATE and Xfce), each call with its child.
    EXPECT_LT(TurnFor(400ms, [&] { return path.log().size() == 8; }), 250);
    const QList<pid_t> pids = Pids(path.log());
    ASSERT_EQ(pids.size(), 8);
    EXPECT_EQ(programs->runningIds().size(), 4);
    EXPECT_LT(TurnFor(1500ms, [&] { return programs->runningIds().isEmpty(); }), 250);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_TRUE(AllGone(pids));

    // Still running when the program ends: ended with its child, shortly.
    auto ending = std::make_unique<BackgroundPrograms>(10s);
    ending->run("gio", {});
    TurnFor(2000ms, [&] { return path.log().size() == 10; });
    ASSERT_EQ(path.log().size(), 10);
    clock.restart();
    ending.reset();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(AllGone(Pids(path.log().mid(8))));
}

// A stand-in xdg-open (none when empty) and xdg-mime, and what opening 10.0.0.5 comes to.
struct OpenerRow {
    const char* name;
    const char* script;
    bool missing;
    QList<OpenFailure> failed;
    const char* mime =
        "echo handler.desktop"; // run as "xdg-mime query default x-scheme-handler/..."
};

void PrintTo(const OpenerRow& row, std::ostream* os) {
    *os << row.name;
}

class OpenerRows : public ::testing::TestWithParam<OpenerRow> {};

TEST_P(OpenerRows, ReportOnceFromTheEventLoopInOrder) {
    const OpenerRow& row = GetParam();
    const StubPath path;
    if (*row.script != '\0') {
        path.add("xdg-open", "echo \"$1 $$\" >> '" + path.logPath() + "'\n" + row.script);
        path.add("xdg-mime", row.mime);
    }
    XdgAddressLauncher launcher(300ms);
    std::optional<OpenReport> report;
    int reports = 0;
    QElapsedTimer clock;
    clock.start();
    launcher.OpenDevice(Ipv4Address(0x0a000005), [&](const OpenReport& given) {
        report = given;
        ++reports;
    });
    EXPECT_FALSE(report.has_value());
    EXPECT_LT(TurnFor(3000ms, [&] { return report.has_value(); }), 250);
    // Both run at once: the wait is one bound, not one for each.
    EXPECT_LT(clock.elapsed(), 550);
    TurnFor(50ms);
    ASSERT_EQ(reports, 1);
    EXPECT_EQ(report->openerMissing, row.missing);
    EXPECT_EQ(report->failures, row.failed);
    QStringList urls;
    for (const QString& line : path.log()) {
        const pid_t pid = line.section(' ', 1).toInt();
        urls << line.section(' ', 0, 0);
        if (Alive(pid)) {
            // Left running at the bound, in a session of its own; ended here by its id, and
            // reaped by the launcher that still watches it, not left a zombie.
            EXPECT_EQ(getsid(pid), pid);
            kill(pid, SIGKILL);
            const QString entry = QStringLiteral("/proc/%1").arg(pid);
            TurnFor(1000ms, [&] { return !QFile::exists(entry); });
            EXPECT_FALSE(QFile::exists(entry)) << "not reaped";
        }
    }
    urls.sort(); // started together, they log in either order
    EXPECT_EQ(urls,
              row.missing ? QStringList{} : QStringList({"http://10.0.0.5", "smb://10.0.0.5"}));
}

INSTANTIATE_TEST_SUITE_P(
    Openers, OpenerRows,
    ::testing::Values(OpenerRow{"Missing", "", true, {}}, OpenerRow{"Opens", "exit 0", false, {}},
                      OpenerRow{"Fails", "exit 4", false, {{"smb", false, 4}, {"http", false, 4}}},
                      OpenerRow{"SharedFoldersFail",
                                "case \"$1\" in smb:*) exit 4;; esac",
                                false,
                                {{"smb", false, 4}}},
                      OpenerRow{"NoApplicationForSharedFolders",
                                "case \"$1\" in smb:*) exit 3;; esac",
                                false,
                                {{"smb", true, 3}},
                                "case \"$3\" in *http) echo firefox.desktop;; esac"},
                      OpenerRow{"KilledAndNoAnswerFromTheRegistry",
                                "kill -KILL $$",
                                false,
                                {{"smb", false, std::nullopt}, {"http", false, std::nullopt}},
                                "exit 1"},
                      OpenerRow{"HangsBeyondTheBound", "exec /bin/sleep 5", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvex
