#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

namespace tarvex::testing {

// A desktop session's language settings and the text set the wizard must take under them.
struct LanguageRow {
    const char* name;
    QStringList environment; // NAME=value, on top of an environment without any language setting
    int textBase;
};

// The languages the pages, the boxes and the command line are tried in.
inline const std::vector<LanguageRow>& languageRows() {
    static const std::vector<LanguageRow> rows{
        {"LANG_en_US", {"LANG=en_US.UTF-8"}, 700},
        {"LANG_zh_TW", {"LANG=zh_TW.UTF-8"}, 500},
        {"LANG_zh_HK", {"LANG=zh_HK.UTF-8"}, 500},
        {"LANG_zh_CN", {"LANG=zh_CN.UTF-8"}, 700}, // no Simplified set: English
        {"LANG_de_DE", {"LANG=de_DE.UTF-8"}, 700},
        {"LANGUAGE_zh_TW_en", {"LANGUAGE=zh_TW:en", "LANG=en_US.UTF-8"}, 500},
    };
    return rows;
}

// This process's environment with the row's language settings instead of its own.
inline QProcessEnvironment environmentOf(const LanguageRow& row) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name == "LANG" || name == "LANGUAGE" || name.startsWith("LC_")) {
            environment.remove(name);
        }
    }
    for (const QString& setting : row.environment) {
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
    }
    return environment;
}

#ifdef TARVEX_USER_TEXT_BASE
// The text base the wizard decides at start under the row's settings. Qt reads the language
// settings once a process, so a fresh one is asked; -1 when it cannot be.
inline int textBaseUnder(const LanguageRow& row) {
    static std::map<std::string, int> decided;
    if (const auto found = decided.find(row.name); found != decided.end()) {
        return found->second;
    }
    QProcess program;
    program.setProcessEnvironment(environmentOf(row));
    program.start(QStringLiteral(TARVEX_USER_TEXT_BASE), {});
    if (!program.waitForFinished(10000) || program.exitCode() != 0) {
        return -1;
    }
    bool ok = false;
    const int textBase = program.readAllStandardOutput().trimmed().toInt(&ok);
    return decided[row.name] = ok ? textBase : -1;
}
#endif

} // namespace tarvex::testing
