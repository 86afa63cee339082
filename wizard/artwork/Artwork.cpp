#include "artwork/Artwork.h"

#include "SvgDrawing.h"

namespace tarvex {
namespace {

struct PictureEntry {
    StepPicture picture;
    const char* name; // of its source
    QSize size;
    bool worded; // drawn in the user's language
};

constexpr PictureEntry kPictures[] = {
    {StepPicture::Welcome, "welcome", {652, 347}, true},
    {StepPicture::Power, "power", {652, 347}, true},
    {StepPicture::Cable, "cable", {652, 347}, true},
    {StepPicture::UnderWay, "under-way", {57, 60}, false},
    {StepPicture::Done, "done", {57, 60}, false},
    {StepPicture::Failed, "failed", {57, 60}, false},
};

const PictureEntry* entryOf(StepPicture picture) {
    for (const auto& entry : kPictures) {
        if (entry.picture == picture) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

QSize pictureSize(StepPicture picture) {
    const PictureEntry* entry = entryOf(picture);
    return entry != nullptr ? entry->size : QSize();
}

QImage CatalogPicture(StepPicture picture, qreal devicePixelRatio, dravik::Language language) {
    const PictureEntry* entry = entryOf(picture);
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
