#pragma once
// Writes uncompressed 32-bit BMP files (BITMAPINFOHEADER, BI_RGB, bottom-up
// rows, bytes blue, green, red, 0). Qt's own BMP writer only makes 24-bit files.

#include <QImage>
#include <QString>

// Returns an empty string on success, else what failed.
QString WriteBmp32(const QImage& image, const QString& fileName);
