#pragma once

#include <QLabel>

namespace quirra {

// A picture that works as a button: a click (the left button pressed and released over it),
// Enter or Space start it; Tab and the arrow keys move between the pictures; the one with the
// focus is framed. Screen readers see a button named by the picture's label.
class ClickablePicture final : public QLabel {
    Q_OBJECT

public:
    explicit ClickablePicture(QWidget* parent = nullptr);

    // Starts the picture's action, as a click does.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace quirra
