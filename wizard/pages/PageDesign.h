#pragma once

#include "pages/PageSettings.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <initializer_list>

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tarvex {

class PictureBox;

// Building blocks of the window designs: the controls every step page shares, placed from
// their twip measures, and the colour and font rules of the pages.
namespace design {

// Client area of every step page.
[[nodiscard]] QSize stepPageSize();

[[nodiscard]] QColor toColor(ColourNumber colour);

// A font as the designs name it: family, size in points, weight.
[[nodiscard]] QFont font(const QString& family, double points, bool bold = false);
[[nodiscard]] QFont pageTextFont(); // "MS Sans Serif", 12 points
[[nodiscard]] QFont versionFont();  // "Verdana", 8.4 points

// Paints a control's background and text colour (a text box's base and text too).
void colour(QWidget* control, ColourNumber back, ColourNumber fore);

// A command button at the common button row, left position in twips.
[[nodiscard]] QPushButton* commandButton(QWidget* page, const QString& name, int leftTwips);
// A label with word wrap at the given design rectangle (pixels).
[[nodiscard]] QLabel* label(QWidget* page, const QString& name, QRect geometry, const QFont& font);
// The version label lblVersion at the given top (twips).
[[nodiscard]] QLabel* versionLabel(QWidget* page, int topTwips = 7800);
// The picture area pic1 of the explaining pages.
[[nodiscard]] PictureBox* pagePicture(QWidget* page);
// The read-only page text txt1 of the explaining pages.
[[nodiscard]] QPlainTextEdit* pageText(QWidget* page);

// Places a window centred on the primary screen by its own size, as before any frame is known.
void centreOnScreen(QWidget* window);
// Places a window's frame, as a window manager drew it, centred on the primary screen.
void centreFrameOnScreen(QWidget* window);

// Fills a window's background with the colour.
void paintWindow(QWidget* window, ColourNumber colour);

// The button a key press stands for: Enter (main or keypad) the default button, Esc the cancel
// button, both only without other modifiers and only when the button is enabled; else none.
[[nodiscard]] QPushButton* buttonForKey(const QKeyEvent* event, QPushButton* defaultButton,
                                        QPushButton* cancelButton);

// Enter on the option button goes on to its page, whose default button it presses. Desktops whose
// buttons press on Enter (GNOME's) would otherwise let the option take it, and Enter would do
// nothing on the page.
void passEnterToPage(QAbstractButton* option);

// Sets the order in which Tab visits the controls and gives the first one the focus.
void focusOrder(std::initializer_list<QWidget*> controls);

} // namespace design
} // namespace tarvex
