#include "cli/HelpText.h"

#include "cli/TerminalWrap.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace tarvex {

namespace {

// Qt's own texts, and with them its translations.
QString QtText(const char* text) {
    return QCoreApplication::translate("QCommandLineParser", text);
}

QString OptionNames(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names()) {
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

QString HelpText(const QString& program, const QString& description,
                 const QList<QCommandLineOption>& options) {
    QString text = QtText("Usage: %1").arg(program + QLatin1Char(' ') + QtText("[options]")) +
                   QLatin1Char('\n');
    for (const QString& line : WrapToWidth(description, kTerminalLineWidth)) {
        text += line + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + QtText("Options:") + QLatin1Char('\n');
    int namesWidth = 0;
    for (const QCommandLineOption& option : options) {
        namesWidth = std::max(namesWidth, DisplayWidth(OptionNames(option)));
    }
    const QString indent(2 + namesWidth + 2, QLatin1Char(' '));
    for (const QCommandLineOption& option : options) {
        const QString names = OptionNames(option);
        QString lead = QStringLiteral("  ") + names +
                       QString(namesWidth - DisplayWidth(names) + 2, QLatin1Char(' '));
        for (const QString& line :
             WrapToWidth(option.description(), kTerminalLineWidth - int(indent.size()))) {
            text += lead + line + QLatin1Char('\n');
            lead = indent;
        }
    }
    return text;
}

} // namespace tarvex
