#pragma once

#include "UserLanguageRule.h"
#include "core/Launcher.h"

#include <QImage>
#include <QVariant>
#include <QWidget>
#include <array>
#include <functional>

namespace quirra {

class ClickablePicture;

// The CD menu: the background picture with six clickable pictures on it. Five hand a file or an
// address to the shell, the sixth ends the program, as the close box does.
class MenuWindow final : public QWidget {
    Q_OBJECT

public:
    // Ends the program at once; the program quits its event loop, tests record the call.
    using EndProgram = std::function<void()>;

    // menuFolder: the folder that holds the running menu program; language: the one the
    // pictures' words are drawn in.
    MenuWindow(Launcher& launcher, QString menuFolder, EndProgram endProgram,
               dravik::Language language = dravik::Language::English, QWidget* parent = nullptr);

    void RunShellExecute(const QString& sTopic, const QVariant& sFile, const QVariant& sParams,
                         const QVariant& sDirectory, qint32 nShowCmd);

    void pageLoaded();
    void Image1_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
    void Image6_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Image6 and the close box alike end the program.
    void closeEvent(QCloseEvent* event) override;

private:
    void runAction(int imageNumber);

    Launcher& launcher_;
    QString menuFolder_;
    EndProgram endProgram_;
    dravik::Language language_;
    QImage picture_;
    std::array<ClickablePicture*, 6> images_{};
};

} // namespace quirra
