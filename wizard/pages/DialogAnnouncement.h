#pragma once

class QDialog;

namespace tarvex {

// A dialog drawn inside the wizard's window is never activated as a window of its own is, and
// it is the activation's focus that tells a screen reader a dialog came, in its context (the
// dialog's name and role, its text). Tells the focus the dialog holds now it is up.
void announceDialogOpened(QDialog& dialog);

} // namespace tarvex
