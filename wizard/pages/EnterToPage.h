#pragma once

#include <QObject>

class QWidget;

namespace tarvex {

// Hands Enter pressed on the control it watches (its parent) on to the control's page.
class EnterToPage final : public QObject {
public:
    explicit EnterToPage(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tarvex
