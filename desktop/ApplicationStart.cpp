#include "ApplicationStart.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace dravik {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// Only while the application object is being created, on the one thread that creates it.
const char* startingProgram = nullptr;
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldOrGiveUp(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt's own words run over several lines and end in an abort; what failed is the display.
        std::fprintf(stderr, "%s: no display to open a window on (Wayland or X11).\n",
                     startingProgram);
        std::fflush(stderr);
        std::_Exit(kNoDisplayStatus);
    }
    heldMessages->push_back(
        {type, QByteArray(context.category != nullptr ? context.category : ""), text});
}

} // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, const char* program,
                                               const QString& desktopFileName) {
    std::vector<HeldMessage> held;
    startingProgram = program;
    heldMessages = &held;
    const QtMessageHandler previous = qInstallMessageHandler(&HoldOrGiveUp);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
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
