#pragma once

#include <QAccessibleWidget>

namespace quirra {

class ClickablePicture;

// What a screen reader sees of a clickable picture: a button, named by the picture's accessible
// name, that its press action starts.
class ClickablePictureAccessible final : public QAccessibleWidget {
public:
    explicit ClickablePictureAccessible(ClickablePicture* picture);

    // Makes every clickable picture report itself so; safe to call more than once.
    static void install();

    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
};

} // namespace quirra
