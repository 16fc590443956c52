#pragma once
// Preview sheets of the skin: the pictures put together the way the windows
// show them, for looking at the skin without building the program.

#include <QString>

// Writes main.png, main-hover.png, main-down.png, about.png and icons.png
// into `folder` from the pictures in `assets`; returns an error text, or
// empty when all were written.
QString WritePreviews(const QString& assets, const QString& folder);
