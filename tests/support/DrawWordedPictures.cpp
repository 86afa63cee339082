// Draws every picture that has words, of both programs and in both languages, into the folder
// given, as PNG files, under this process's language settings, as a program starts: what a
// picture looks like must depend on the language of its words alone.
#include "FontLanguage.h"
#include "artwork/Artwork.h"
#include "support/SanitizerOptions.h"
#include "window/MenuArtwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3 || (qstrcmp(argv[1], "en") != 0 && qstrcmp(argv[1], "zh_TW") != 0)) {
        std::fprintf(stderr, "usage: %s en|zh_TW FOLDER\n", argv[0]);
        return 2;
    }
    const auto language = qstrcmp(argv[1], "en") == 0 ? dravik::Language::English
                                                      : dravik::Language::TraditionalChinese;
    if (qEnvironmentVariableIsEmpty("DRAW_AS_BEFORE"))
        dravik::orderFontsFor(language);
    QGuiApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    bool written = true;
    for (qreal ratio : {1.0, 2.0}) {
        const QString suffix = QStringLiteral("@%1.png").arg(ratio);
        for (int number = 100; number <= 106; ++number) {
            written &= quirra::menuPicture(number, ratio, language)
                           .save(folder.filePath(QStringLiteral("menu-%1").arg(number) + suffix));
        }
        const tarvex::StepPicture steps[] = {
            tarvex::StepPicture::Welcome, tarvex::StepPicture::Power, tarvex::StepPicture::Cable};
        for (tarvex::StepPicture step : steps) {
            written &=
                tarvex::CatalogPicture(step, ratio, language)
                    .save(folder.filePath(QStringLiteral("step-%1").arg(int(step)) + suffix));
        }
    }
    return written ? 0 : 1;
}
