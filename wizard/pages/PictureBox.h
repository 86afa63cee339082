#pragma once

#include "UserLanguageRule.h"
#include "artwork/Artwork.h"

#include <QImage>
#include <QWidget>
#include <optional>

namespace tarvex {

// A picture area. Shows one of the wizard's pictures, drawn from its vector source at the
// device pixel ratio of the screen it is painted on (so it stays sharp on a high-density
// screen), or a given image unchanged. A picture larger than the area is drawn scaled down to
// fit (keeping its proportions) instead of being cut off.
// Screen readers see it as a graphic: its accessible name says what it shows, its accessible
// description (when set) the state it stands for.
class PictureBox final : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);

    // The words of a picture that has any are drawn in the language given.
    void setPicture(StepPicture picture, dravik::Language language = dravik::Language::English);
    void setPicture(const QImage& picture);
    // What the area shows on its current screen; null when it shows nothing.
    [[nodiscard]] QImage picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<StepPicture> shown_;
    dravik::Language language_ = dravik::Language::English;
    QImage picture_;
};

} // namespace tarvex
