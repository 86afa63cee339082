// Builds one guide from its Markdown source: a PDF when the output ends in ".pdf", otherwise
// Rich Text (the CD's ".doc").
#include "GuideStyle.h"
#include "PdfExport.h"
#include "RtfExport.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Builds a guide of the setup CD."));
    parser.addHelpOption();
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("Guide title."),
                                         QStringLiteral("title"));
    parser.addOption(titleOption);
    parser.addPositionalArgument(QStringLiteral("source"), QStringLiteral("Markdown source."));
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral(".pdf or .doc file."));
    parser.process(application);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 2) {
        parser.showHelp(2);
    }

    QFile source(arguments.at(0));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "guide_builder: cannot read %s\n", qPrintable(arguments.at(0)));
        return 1;
    }
    QTextDocument document;
    guides::loadGuide(document, QString::fromUtf8(source.readAll()));
    const QString title = parser.value(titleOption);
    const QString output = arguments.at(1);

    if (output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        const QString failure = guides::writePdf(document, title, output);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "guide_builder: %s\n", qPrintable(failure));
            return 1;
        }
        return 0;
    }
    QSaveFile rtf(output);
    if (!rtf.open(QIODevice::WriteOnly) || rtf.write(guides::toRtf(document, title)) < 0 ||
        !rtf.commit()) {
        std::fprintf(stderr, "guide_builder: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
