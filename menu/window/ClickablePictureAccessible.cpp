#include "window/ClickablePictureAccessible.h"

#include "window/ClickablePicture.h"

namespace quirra {
namespace {

QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    if (className == QLatin1String(ClickablePicture::staticMetaObject.className())) {
        return new ClickablePictureAccessible(static_cast<ClickablePicture*>(object));
    }
    return nullptr;
}

} // namespace

ClickablePictureAccessible::ClickablePictureAccessible(ClickablePicture* picture)
    : QAccessibleWidget(picture, QAccessible::Button) {}

void ClickablePictureAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

QStringList ClickablePictureAccessible::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void ClickablePictureAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        static_cast<ClickablePicture*>(widget())->click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

} // namespace quirra
