#pragma once

#include "artwork/Artwork.h"
#include "pages/StepPage.h"
#include "texts/AddedTexts.h"

#include <array>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class PictureBox;

// What tells the explaining steps apart: their text, their picture, where Previous and Next
// lead, and the order in which Tab visits the controls.
struct Instructions {
    enum class Control { Picture, Text, Previous, Next, Exit };

    PageId page;
    int text; // catalog text number
    StepPicture picture;
    AddedText pictureName;
    PageId previous;
    PageId next;
    std::array<Control, 5> tabOrder;
};

// Step 1: how to power the appliance on.
extern const Instructions kPowerInstructions;
// Step 2: how to cable the appliance to the network.
extern const Instructions kCableInstructions;

// An explaining step: a picture, a text under it, and Previous, Next and Exit.
class InstructionPage final : public StepPage {
    Q_OBJECT
public:
    InstructionPage(PageFlow& flow, const Instructions& instructions);
    void pageLoaded() override;

private:
    [[nodiscard]] QWidget* control(Instructions::Control which) const;
    void nextClicked();
    void previousClicked();
    void exitClicked();

    const Instructions& instructions_;
    PictureBox* pic1;
    QPlainTextEdit* txt1;
    QPushButton* previousButton;
    QPushButton* nextButton;
    QPushButton* exitButton;
    QLabel* lblVersion;
};

} // namespace tarvex
