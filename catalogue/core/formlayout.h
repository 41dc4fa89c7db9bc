#pragma once

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace tv {

// The row of command buttons at the foot of a window, right-aligned in the order given.
QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons);

// The usual "OK" (the default button) and "Abbrechen" pair, named cmdOk and cmdCancel so the
// translation and the window placement find them.
void MakeOkCancelButtons(QWidget* owner, QPushButton*& ok, QPushButton*& cancel);

} // namespace tv
