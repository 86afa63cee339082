#include "ApplicationStart.h"

#include "PlatformChoice.h"
#include "UserLanguageRule.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace dravik {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// %1: the program.
QString noDisplayText(Language language) {
    return language == Language::TraditionalChinese
               ? QString::fromUtf8("%1：沒有可開啟視窗的顯示環境（Wayland 或 X11）。")
               : QStringLiteral("%1: no display to open a window on (Wayland or X11).");
}

// Only while the application object is being created, on the one thread that creates it.
QByteArray noDisplayLine;
int realStandardError = -1;
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldOrGiveUp(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt's own words run over several lines and end in an abort; what failed is the display.
        // What the display's libraries wrote meanwhile was held too, and is dropped with them.
        (void)!write(realStandardError, noDisplayLine.constData(),
                     static_cast<std::size_t>(noDisplayLine.size()));
        std::_Exit(kNoDisplayStatus);
    }
    heldMessages->push_back(
        {type, QByteArray(context.category != nullptr ? context.category : ""), text});
}

// Holds what is written to the standard error meanwhile (libwayland writes there itself, not
// through Qt) and gives it back on release, to the real standard error.
class HeldStandardError {
public:
    HeldStandardError()
        : real_(dup(STDERR_FILENO)), held_(memfd_create("start-messages", MFD_CLOEXEC)) {
        std::fflush(stderr);
        if (real_ >= 0 && held_ >= 0) {
            (void)dup2(held_, STDERR_FILENO);
        }
    }
    ~HeldStandardError() {
        if (real_ < 0 || held_ < 0) {
            return;
        }
        std::fflush(stderr);
        (void)dup2(real_, STDERR_FILENO);
        char buffer[4096];
        ssize_t got = 0;
        off_t offset = 0;
        while ((got = pread(held_, buffer, sizeof buffer, offset)) > 0) {
            (void)!write(STDERR_FILENO, buffer, static_cast<std::size_t>(got));
            offset += got;
        }
        close(held_);
        close(real_);
    }
    HeldStandardError(const HeldStandardError&) = delete;
    HeldStandardError& operator=(const HeldStandardError&) = delete;

    // Where the program's own line goes while the rest is held.
    [[nodiscard]] int real() const { return real_ >= 0 && held_ >= 0 ? real_ : STDERR_FILENO; }

private:
    int real_;
    int held_;
};

} // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, const char* program,
                                               const QString& desktopFileName,
                                               const QString& noDisplay) {
    std::vector<HeldMessage> held;
    noDisplayLine =
        (noDisplay.isEmpty() ? noDisplayText(UserLanguage()).arg(QString::fromLocal8Bit(program))
                             : noDisplay)
            .toLocal8Bit() +
        '\n';
    heldMessages = &held;
    ChoosePlatformForDesktop();
    std::unique_ptr<QApplication> application;
    {
        const HeldStandardError standardError;
        realStandardError = standardError.real();
        const QtMessageHandler previous = qInstallMessageHandler(&HoldOrGiveUp);
        application = std::make_unique<QApplication>(argc, argv);
        qInstallMessageHandler(previous);
    }
    heldMessages = nullptr;
    // The messages of a start that went well, such as a plugin tried before the one that works.
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    QGuiApplication::setDesktopFileName(desktopFileName);
    return application;
}

} // namespace dravik
