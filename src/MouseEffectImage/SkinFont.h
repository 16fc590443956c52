#pragma once
// The skin's font: Liberation Sans, bundled as a resource under ":/fonts/", so
// every machine draws the same text.

#include <QFont>

// The skin's font at a character height in pixels. Text drawn with it is meant
// to be drawn without antialiasing.
QFont SkinFont(int pixelSize, QFont::Weight weight = QFont::Normal);
