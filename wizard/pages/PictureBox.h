#pragma once

#include <QImage>
#include <QWidget>

namespace tarvex {

// A picture area. Holds the catalog bitmap it was given unchanged; a bitmap larger than the
// area is drawn scaled down to fit (keeping its proportions) instead of being cut off.
class PictureBox final : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);

    void setPicture(const QImage& picture);
    [[nodiscard]] const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace tarvex
