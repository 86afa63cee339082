#include "artwork/Artwork.h"

#include "SvgDrawing.h"

namespace tarvex {
namespace {

struct PictureEntry {
    int number;
    const char* name; // of its source
    QSize size;
    bool worded; // drawn in the user's language
};

constexpr PictureEntry kPictures[] = {
    {101, "welcome", {652, 347}, true}, {102, "power", {652, 347}, true},
    {103, "cable", {652, 347}, true},   {104, "under-way", {57, 60}, false},
    {105, "done", {57, 60}, false},     {106, "failed", {57, 60}, false},
};

const PictureEntry* entryOf(int number) {
    for (const auto& entry : kPictures) {
        if (entry.number == number) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

QSize pictureSize(int number) {
    const PictureEntry* entry = entryOf(number);
    return entry != nullptr ? entry->size : QSize();
}

QImage CatalogPicture(int number, qreal devicePixelRatio, dravik::Language language) {
    const PictureEntry* entry = entryOf(number);
    if (entry == nullptr || !(devicePixelRatio > 0)) {
        return {};
    }
    const QString source = dravik::wordedPictureSource(
        QStringLiteral(":/tarvex/art"), QString::fromLatin1(entry->name),
        entry->worded ? language : dravik::Language::English);
    return dravik::drawPicture(source, entry->size, devicePixelRatio);
}

QIcon programIcon() {
    return dravik::programIconFrom(QStringLiteral(":/tarvex/art/icon.svg"));
}

} // namespace tarvex
