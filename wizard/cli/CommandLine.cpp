#include "cli/CommandLine.h"

#include "cli/HelpText.h"
#include "cli/ScanCommand.h"
#include "cli/TerminalWrap.h"
#include "diagnosis/Diagnosis.h"
#include "instance/WizardLock.h"
#include "net/AdapterReader.h"
#include "net/BroadcastSender.h"
#include "net/UdpReplyListener.h"
#include "probe/IcmpProber.h"
#include "texts/AddedTexts.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>
#include <unistd.h>

#ifndef TARVEX_VERSION
#define TARVEX_VERSION "0"
#endif

namespace tarvex {

bool IsCommandLine(int argc, const char* const* argv) {
    static constexpr std::string_view kOwnOptions[] = {
        "--scan", "--json", "--diagnose", "--help", "-h", "--version", "-v"};
    for (int i = 1; i < argc; ++i) {
        if (std::ranges::find(kOwnOptions, std::string_view(argv[i])) != std::end(kOwnOptions)) {
            return true;
        }
    }
    return false;
}

namespace {

// The command line's own options, described in the language of the text base.
struct OwnOptions {
    QCommandLineOption scan;
    QCommandLineOption json;
    QCommandLineOption diagnose;
    QCommandLineOption help;
    QCommandLineOption version;

    [[nodiscard]] QList<QCommandLineOption> all() const {
        return {scan, json, diagnose, help, version};
    }
};

OwnOptions AddOwnOptions(QCommandLineParser& parser, int textBase) {
    const auto text = [textBase](AddedText id) {
        return AddedCatalogText(textBase, id);
    };
    OwnOptions options{
        {QStringLiteral("scan"), text(AddedText::OptionScan)},
        {QStringLiteral("json"), text(AddedText::OptionJson)},
        {QStringLiteral("diagnose"), text(AddedText::OptionDiagnose)},
        {{QStringLiteral("h"), QStringLiteral("help")}, text(AddedText::OptionHelp)},
        {{QStringLiteral("v"), QStringLiteral("version")}, text(AddedText::OptionVersion)},
    };
    parser.addOptions(options.all());
    return options;
}

// Qt's help counts characters, so a line of Chinese runs to twice the terminal's width.
QString Help(const QStringList& arguments, const OwnOptions& options, int textBase) {
    return HelpText(QFileInfo(arguments.value(0)).fileName(),
                    AddedCatalogText(textBase, AddedText::CommandLineAbout), options.all());
}

// What a scan uses while the event loop runs it.
struct ScanJob {
    UdpReplyListener listener;
    BroadcastSender broadcaster;
    IcmpProber prober;
    QTextStream out{stdout};
    QTextStream err{stderr};
};

} // namespace

std::optional<int> RunCommandLine(const QStringList& arguments,
                                  const LiveSystemView::BusNameCheck& busNameCheck, int textBase,
                                  ProgramEnd& end) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto text = [textBase](AddedText id) {
        return AddedCatalogText(textBase, id);
    };
    QCommandLineParser parser;
    const OwnOptions options = AddOwnOptions(parser, textBase);
    const auto& [scan, json, diagnose, help, version] = options;

    const auto usage = [&](const QString& problem) {
        err << problem << '\n' << Help(arguments, options, textBase);
        return 2;
    };
    if (!parser.parse(arguments)) {
        return usage(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usage(text(AddedText::UnexpectedArgument).arg(parser.positionalArguments().first()));
    }
    const int commands = int(parser.isSet(scan)) + int(parser.isSet(diagnose)) +
                         int(parser.isSet(help)) + int(parser.isSet(version));
    if (commands != 1 || (parser.isSet(json) && !parser.isSet(scan))) {
        return usage(text(AddedText::OneCommandOnly));
    }
    if (parser.isSet(help)) {
        out << Help(arguments, options, textBase) << '\n'
            << WrapToWidth(text(AddedText::HelpNotes), kTerminalLineWidth).join('\n') << '\n';
        return 0;
    }
    if (parser.isSet(version)) {
        out << "Tarvex " << TARVEX_VERSION << '\n';
        return 0;
    }
    if (parser.isSet(diagnose)) {
        LiveSystemView system(busNameCheck);
        for (const QString& line : DiagnosisLines(Diagnose(system, textBase), textBase)) {
            out << line << '\n';
        }
        out << ProbeWayLine(system.probeWay(), textBase) << '\n';
        return 0;
    }
    if (WizardLock::WizardIsOpen(UserInstancePlace())) {
        // Its scan needs the reply port, now or once the user gets there: one would take the
        // replies of the other.
        err << text(AddedText::ScanWizardOpen).arg(kReplyPort) << '\n';
        return kWizardOpenStatus;
    }
    out.flush();
    auto job = std::make_shared<ScanJob>();
    // The job goes with the last call that holds it, once the status is handed on.
    return StartScan(ReadPcAdapters(), {job->listener, job->broadcaster, job->prober},
                     {parser.isSet(json), textBase, isatty(STDOUT_FILENO) == 1}, job->out, job->err,
                     [job, &end](int status) { end.endProgram(status); });
}

std::optional<int> StrayWizardArguments(const QStringList& arguments, int textBase,
                                        QTextStream& err) {
    if (arguments.size() <= 1) {
        return std::nullopt;
    }
    QCommandLineParser parser;
    const OwnOptions options = AddOwnOptions(parser, textBase);
    err << AddedCatalogText(textBase, AddedText::UnexpectedArgument).arg(arguments[1]) << '\n'
        << Help(arguments, options, textBase);
    err.flush();
    return 2;
}

} // namespace tarvex
