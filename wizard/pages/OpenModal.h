#pragma once

class QDialog;

namespace tarvex {

// Shows the dialog application-modal and returns at once; it answers through its finished
// signal. QDialog::open() would make it modal to its parent window only, which leaves the other
// windows of the program clickable.
void openApplicationModal(QDialog& dialog);

} // namespace tarvex
