#pragma once

#include <QString>
#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace tv {

// The row of command buttons at the foot of a window, right-aligned in the order given.
QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons);

// The usual "OK" (the default button) and "Abbrechen" pair, named cmdOk and cmdCancel so the
// translation and the window placement find them.
void MakeOkCancelButtons(QWidget* owner, QPushButton*& ok, QPushButton*& cancel);

// The first control of `container` that Tab reaches in `window`'s order, taking the keys; null
// when it has none. A window gives it the focus so that the keys go to a page or step at once.
QWidget* FirstTabStop(QWidget* window, QWidget* container);

// An editable combo box that completes what is typed: Return takes the completion and reaches
// the window's default button with the same press. Left to itself, the box uses up the first
// Return to accept the completion, and a second one is needed for OK.
void ReturnTakesCompletion(QComboBox* box);

} // namespace tv
