#pragma once

#include <QLabel>

namespace quirra {

// A picture that reports a click: the left button pressed and released over it.
class ClickablePicture final : public QLabel {
    Q_OBJECT

public:
    explicit ClickablePicture(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace quirra
