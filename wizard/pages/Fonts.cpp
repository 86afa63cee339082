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
    QFont::insertSubstitutions(QStringLiteral("新細明體"),
                               {ming, QStringLiteral("Liberation Sans")});
}

} // namespace tarvex
