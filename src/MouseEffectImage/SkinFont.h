#pragma once
// The skin's font: Liberation Sans, bundled as a resource under ":/fonts/", so
// every machine draws the same text.

#include <QFont>

// The skin's font at a character height in pixels. Text drawn with it is meant
// to be drawn without antialiasing.
QFont SkinFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// Loads the system's font configuration and checks whether the installed
// Liberation Sans files are byte for byte the bundled ones. Needs no
// application object and may run on any thread, before the first SkinFont;
// SkinFont then takes the installed files, which the font cache has already
// indexed, instead of reading the bundled copies. Without this call, or when
// the files differ, the bundled copies are used.
void PrepareSkinFonts();
