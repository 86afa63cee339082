#pragma once

#include "pages/ButtonKeys.h"
#include "pages/PageSettings.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tarvex {

class Dialogs;
class PageFlow;

// What every page of the wizard has, whether it is a step page in the line's window (Window is
// QWidget) or a modal page over Step 4 (QDialog): its name, English caption, the program's icon
// and a fixed size; the flow and the look it reads; the catalog at the wizard's text base; the
// version label; and the keys, Enter pressing the default button and Esc the cancel button.
template <typename Window> class PageFrame : public Window {
public:
    [[nodiscard]] QPushButton* defaultButton() const { return keys_.defaultButton(); }
    [[nodiscard]] QPushButton* cancelButton() const { return keys_.cancelButton(); }

protected:
    PageFrame(PageFlow& flow, QWidget* parent, Qt::WindowFlags flags, const QString& name,
              const QString& caption, QSize size);

    [[nodiscard]] PageFlow& flow() const { return flow_; }
    [[nodiscard]] PageSettings& settings() const;
    [[nodiscard]] Dialogs& dialogs() const;
    // Text TextBase + n of the catalog.
    [[nodiscard]] QString catalogText(int n) const;

    // Makes the button the default one and takes the role from the one before.
    void setDefaultButton(QPushButton* button);
    void setCancelButton(QPushButton* button);
    void paintBackground(ColourNumber colour);
    // The version label in the look's label colours, with the catalog's version.
    void showVersion(QLabel* label);

    void keyPressEvent(QKeyEvent* event) override;

private:
    PageFlow& flow_;
    ButtonKeys keys_;
};

extern template class PageFrame<QWidget>;
extern template class PageFrame<QDialog>;

} // namespace tarvex
