#include "ApplicationStart.h"

#include "PlatformChoice.h"
#include "UserLanguageRule.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
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

// %1: the program, %2: Qt's words.
QString failedText(Language language) {
    return language == Language::TraditionalChinese
               ? QString::fromUtf8("%1：視窗系統無法啟動：%2")
               : QStringLiteral("%1: the window system did not start: %2");
}

// Only while the application object is being created, on the one thread that creates it.
StartFailureTexts failureTexts;
int realStandardError = -1;
std::vector<HeldMessage>* heldMessages = nullptr;

// What to say of a start that Qt gave up: that there is no display where none is named and the
// plugins tried found none, else what Qt said on the way, in one line. The plugins' words are
// matched as Qt writes them; worded otherwise, they are only repeated, which is still true.
QString failureLine(const std::vector<HeldMessage>& held, const QString& fatal) {
    bool unreachable = false;
    bool pluginMissing = false;
    QStringList words;
    for (const HeldMessage& message : held) {
        words.append(message.text.simplified());
        unreachable |= message.text.startsWith(QLatin1String("could not connect to display")) ||
                       message.text.startsWith(QLatin1String("Failed to create wl_display"));
        pluginMissing |= message.text.startsWith(QLatin1String("Could not find the Qt platform"));
    }
    if (unreachable && !pluginMissing && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return failureTexts.noDisplay;
    }
    const QStringList fatalLines = fatal.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        words.append(fatalLines.value(0).simplified());
    }
    if (pluginMissing) { // the plugins that could have been named
        words.append(fatalLines.filter(QLatin1String("Available platform plugins")).value(0));
    }
    words.removeAll(QString());
    return failureTexts.failed.arg(words.join(QStringLiteral("; ")));
}

void HoldOrGiveUp(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt's own words run over several lines and end in an abort; one line says what failed.
        // What the display's libraries wrote meanwhile was held too, and is dropped with them.
        const QByteArray line = failureLine(*heldMessages, text).toLocal8Bit() + '\n';
        (void)!write(realStandardError, line.constData(), static_cast<std::size_t>(line.size()));
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
                                               const StartFailureTexts& texts) {
    std::vector<HeldMessage> held;
    const QString name = QString::fromLocal8Bit(program);
    failureTexts = {texts.noDisplay.isEmpty() ? noDisplayText(UserLanguage()).arg(name)
                                              : texts.noDisplay,
                    texts.failed.isEmpty() ? failedText(UserLanguage()).arg(name) : texts.failed};
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
