#include "window/MenuArtwork.h"

#include "SvgDrawing.h"

#include <QPixmap>

namespace quirra {
namespace {

struct PictureEntry {
    int number;
    const char* name; // of its source
    QSize size;
    // The label the picture shows, in English and in Traditional Chinese (UTF-8).
    const char* english;
    const char* chinese;
};

constexpr PictureEntry kPictures[] = {
    {100, "background", {640, 480}, "", ""},
    {101, "setup-wizard", {254, 30}, "Quick Setup Wizard", "快速設定精靈"},
    {102, "installation-guide", {257, 32}, "Quick Installation Guide", "快速安裝指南"},
    {103, "manual", {256, 30}, "User's Manual", "使用手冊"},
    {104, "pdf-reader", {257, 33}, "Install PDF Reader", "安裝 PDF 閱讀程式"},
    {105, "web-site", {258, 31}, "Visit the Dravik Web Site", "造訪 Dravik 網站"},
    {106, "exit", {82, 28}, "Exit", "結束"},
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

QSize menuPictureSize(int number) {
    const PictureEntry* entry = entryOf(number);
    return entry != nullptr ? entry->size : QSize();
}

QString menuPictureLabel(int number, dravik::Language language) {
    const PictureEntry* entry = entryOf(number);
    if (entry == nullptr) {
        return {};
    }
    return QString::fromUtf8(language == dravik::Language::TraditionalChinese ? entry->chinese
                                                                              : entry->english);
}

QImage menuPicture(int number, qreal devicePixelRatio, dravik::Language language) {
    const PictureEntry* entry = entryOf(number);
    if (entry == nullptr || !(devicePixelRatio > 0)) {
        return {};
    }
    return dravik::drawPicture(dravik::wordedPictureSource(QStringLiteral(":/quirra"),
                                                           QString::fromLatin1(entry->name),
                                                           language),
                               entry->size, devicePixelRatio);
}

QCursor menuCursor() {
    const QImage hand = dravik::drawTransparent(QStringLiteral(":/quirra/cursor.svg"), kCursorSide);
    return QCursor(QPixmap::fromImage(hand), kCursorHotSpot.x(), kCursorHotSpot.y());
}

QIcon menuIcon() {
    return dravik::programIconFrom(QStringLiteral(":/quirra/icon.svg"));
}

} // namespace quirra
