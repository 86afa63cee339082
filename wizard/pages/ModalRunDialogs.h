#pragma once

#include "run/RunDialogs.h"

#include <QPointer>
#include <QWidget>

namespace tarvex {

class PageFlow;

// The setup run's modal pages as real dialogs over Step 4, each built afresh, centred on the
// screen and application-modal (under Wayland drawn inside the wizard's window, over the page);
// they answer from the program's one event loop.
class ModalRunDialogs final : public RunDialogs {
public:
    // owner: Step 4, which the dialogs stay above. It may go while a dialog is up (the program
    // ended); nothing is shown over a page that is gone, and nothing is answered.
    ModalRunDialogs(QWidget* owner, PageFlow& flow);

    void showDeviceList(const QList<ApplianceRow>& rows, bool nameAdapters, qsizetype unlisted,
                        std::function<void(std::optional<qsizetype> chosen)> done) override;
    void showCredentials(std::function<void(std::optional<Credentials> credentials)> done) override;

private:
    QPointer<QWidget> owner_;
    PageFlow& flow_;
};

} // namespace tarvex
