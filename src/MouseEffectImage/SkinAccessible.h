#pragma once
// How screen readers meet the skin's controls: an image button is a push
// button named for its command, with a press action; a label is static text
// read as it shows; a picture is a graphic with the name it is given. A
// control reachable by Tab can be pressed by the screen reader too.

#include <QAccessible>

class QWidget;

namespace Skin {

// Installs the skin's accessible-interface factory; later calls do nothing.
void InstallAccessibility();

// Gives one control another role than its kind's (the status line is a
// status bar, the About link a link).
void SetAccessibleRole(QWidget* control, QAccessible::Role role);

} // namespace Skin
