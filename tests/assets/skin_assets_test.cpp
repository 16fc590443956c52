// Every skin picture as compiled into the program: its kind, pixel size and,
// for bitmaps, the zero fourth byte; and that the buttons blend into the face.

#include "SkinPictures.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

int Be16(const QByteArray& b, qsizetype at)
{
    return (std::uint8_t(b[at]) << 8) | std::uint8_t(b[at + 1]);
}

std::uint32_t Le(const QByteArray& b, qsizetype at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | std::uint8_t(b[at + i]);
    return v;
}

// Walks the JPEG markers up to the frame header. Baseline means SOF0.
void ExpectBaselineJpeg(const QString& path, QSize size)
{
    SCOPED_TRACE(path.toStdString());
    const QByteArray b = Bytes(path);
    ASSERT_GT(b.size(), 4);
    ASSERT_EQ(Be16(b, 0), 0xFFD8) << "no JPEG start mark";
    EXPECT_EQ(b.mid(6, 5), QByteArray("JFIF\0", 5)) << "no JFIF header";
    qsizetype at = 2;
    while (at + 4 <= b.size()) {
        ASSERT_EQ(std::uint8_t(b[at]), 0xFF) << "broken marker chain at " << at;
        const int marker = std::uint8_t(b[at + 1]);
        const int length = Be16(b, at + 2);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            EXPECT_EQ(marker, 0xC0) << "not a baseline frame";
            ASSERT_LE(at + 10, b.size());
            EXPECT_EQ(std::uint8_t(b[at + 4]), 8) << "sample precision";
            EXPECT_EQ(Be16(b, at + 5), size.height());
            EXPECT_EQ(Be16(b, at + 7), size.width());
            EXPECT_EQ(std::uint8_t(b[at + 9]), 3) << "colour components";
            return;
        }
        at += 2 + length;
    }
    FAIL() << "no frame header";
}

void ExpectBmp32(const QString& path, QSize size)
{
    SCOPED_TRACE(path.toStdString());
    const QByteArray b = Bytes(path);
    ASSERT_GE(b.size(), 54);
    ASSERT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(Le(b, 2, 4), std::uint32_t(b.size()));
    const std::uint32_t offset = Le(b, 10, 4);
    EXPECT_EQ(Le(b, 14, 4), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(std::int32_t(Le(b, 18, 4)), size.width());
    const auto height = std::int32_t(Le(b, 22, 4));
    EXPECT_EQ(height < 0 ? -height : height, size.height());
    EXPECT_EQ(Le(b, 26, 2), 1u) << "planes";
    EXPECT_EQ(Le(b, 28, 2), 32u) << "bits per pixel";
    EXPECT_EQ(Le(b, 30, 4), 0u) << "BI_RGB";
    const qsizetype pixels = qsizetype(size.width()) * size.height() * 4;
    ASSERT_GE(b.size(), qsizetype(offset) + pixels);
    for (qsizetype i = offset + 3; i < offset + pixels; i += 4)
        ASSERT_EQ(b[i], 0) << "fourth byte of pixel " << (i - offset) / 4;
}

void ExpectDecodes(const QString& path, QSize size)
{
    const QImage img = Skin::Load(path);
    ASSERT_FALSE(img.isNull()) << path.toStdString();
    EXPECT_EQ(img.size(), size) << path.toStdString();
    // A zero fourth byte is no alpha: the picture must come out opaque.
    EXPECT_FALSE(img.hasAlphaChannel()) << path.toStdString();
}

TEST(SkinAssets, FacesAreBaselineJpegsOfTheirSizes)
{
    const std::pair<const char*, QSize> faces[]
        = {{Skin::Back, {598, 422}}, {Skin::Ad, {361, 169}}, {Skin::About, {300, 266}}};
    for (const auto& [path, size] : faces) {
        ExpectBaselineJpeg(QString::fromLatin1(path), size);
        ExpectDecodes(QString::fromLatin1(path), size);
    }
}

// Each button's pictures have the kinds the button table gives and the size of
// the button's place.
TEST(SkinAssets, ButtonPicturesHaveTheirKindsAndSizes)
{
    for (const Skin::TButtonFace& face : Skin::Buttons) {
        const QString control = QString::fromLatin1(face.control);
        const std::pair<Skin::TButtonState, Skin::TPictureKind> pictures[] = {
            {Skin::TButtonState::Normal, face.normal},
            {Skin::TButtonState::Hover, face.hover},
            {Skin::TButtonState::Down, face.down},
        };
        for (const auto& [state, kind] : pictures) {
            const QString path = Skin::ButtonPicturePath(control, state);
            ASSERT_FALSE(path.isEmpty()) << face.control;
            if (kind == Skin::TPictureKind::Jpeg)
                ExpectBaselineJpeg(path, face.place.size());
            else
                ExpectBmp32(path, face.place.size());
            ExpectDecodes(path, face.place.size());
        }
        // A button that shows no change when pressed has its hover file again.
        const QByteArray hover = Bytes(Skin::ButtonPicturePath(control, Skin::TButtonState::Hover));
        const QByteArray down = Bytes(Skin::ButtonPicturePath(control, Skin::TButtonState::Down));
        EXPECT_EQ(hover == down, face.downIsHover) << face.control;
    }
    EXPECT_TRUE(Skin::ButtonPicturePath(QStringLiteral("btnNone"), Skin::TButtonState::Normal).isEmpty());
}

TEST(SkinAssets, StatesDifferAndButtonsBlendIntoTheFace)
{
    const QImage back = Skin::Load(QString::fromLatin1(Skin::Back));
    ASSERT_FALSE(back.isNull());
    for (const Skin::TButtonFace& face : Skin::Buttons) {
        const QString control = QString::fromLatin1(face.control);
        SCOPED_TRACE(face.control);
        const QImage normal = Skin::Load(Skin::ButtonPicturePath(control, Skin::TButtonState::Normal));
        const QImage hover = Skin::Load(Skin::ButtonPicturePath(control, Skin::TButtonState::Hover));
        const QImage down = Skin::Load(Skin::ButtonPicturePath(control, Skin::TButtonState::Down));
        EXPECT_NE(normal, hover);
        EXPECT_NE(normal, down);
        // The round buttons' corners are the face itself.
        if (normal.width() >= 30 && normal.width() < 100) {
            const QColor a = normal.pixelColor(0, 0);
            const QColor b = back.pixelColor(face.place.topLeft());
            EXPECT_LE(
                std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()),
                30)
                << "corner does not match the face";
        }
    }
}

TEST(SkinAssets, IconsInEverySizeAndOneBlackAndWhite)
{
    for (const int size : Skin::IconSizes()) {
        const QImage icon(Skin::IconPath(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    EXPECT_EQ(Skin::IconSizes(), QList<int>({16, 24, 32, 48, 64, 72, 96, 128}));
    const QImage mono(Skin::MonochromeIconPath());
    ASSERT_EQ(mono.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb p = mono.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            ASSERT_TRUE(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)) << x << "," << y;
        }
    EXPECT_FALSE(Skin::ApplicationIcon().availableSizes().isEmpty());
}

} // namespace
