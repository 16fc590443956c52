#include "Bmp32.h"

#include <QByteArray>
#include <QSaveFile>

#include <cstdint>

namespace {

void Put16(QByteArray& out, std::uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void Put32(QByteArray& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

QString WriteBmp32(const QImage& image, const QString& fileName)
{
    if (image.isNull())
        return QStringLiteral("no picture to write to %1").arg(fileName);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t w = std::uint32_t(rgb.width());
    const std::uint32_t h = std::uint32_t(rgb.height());
    const std::uint32_t pixelBytes = w * h * 4;
    constexpr std::uint32_t headerBytes = 14 + 40;

    QByteArray out;
    out.reserve(int(headerBytes + pixelBytes));
    // BITMAPFILEHEADER
    out.append("BM", 2);
    Put32(out, headerBytes + pixelBytes);
    Put32(out, 0);
    Put32(out, headerBytes);
    // BITMAPINFOHEADER
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h); // positive: rows run bottom-up
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0); // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 3780); // 96 pixels per inch, in pixels per metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = int(h) - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (std::uint32_t x = 0; x < w; ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
            out.append(char(0)); // no alpha: the fourth byte is always 0
        }
    }

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot create %1: %2").arg(fileName, file.errorString());
    if (file.write(out) != out.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
    return {};
}
