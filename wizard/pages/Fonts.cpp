#include "pages/Fonts.h"

#include <QFont>
#include <QStringList>

namespace tarvex {

void registerFontSubstitutes() {
    // The Ming face comes second for the Latin faces so that Chinese captions in a sans serif
    // control fall back to a deliberate CJK face rather than whatever fontconfig finds first.
    const QString ming = QStringLiteral("AR PL UMing TW");
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), ming});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), ming});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans"), ming});
    // The Ming face's Latin letters are all of one width, unlike the proportional ones of the
    // face it stands in for; a proportional serif face draws the Latin letters and the Ming face
    // every CJK glyph, which the serif face lacks.
    QFont::insertSubstitutions(QStringLiteral("新細明體"),
                               {QStringLiteral("Liberation Serif"), ming});
}

} // namespace tarvex
