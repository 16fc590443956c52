// The skin on a screen with two device pixels per pixel (run with
// QT_SCALE_FACTOR=2; the timeline test also at 1.5): pictures come from their
// copies drawn at twice the size, at least as sharp as the picture at its own
// size doubled; the timeline is scaled without blending pixels.

#include "SkinPictures.h"
#include "TImage.h"

#include <QApplication>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage Shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Doubled(const QImage& picture)
{
    return picture.scaled(picture.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

// Sum of the squared colour steps between neighbouring pixels that are big
// enough to be edges (small steps are gradients and JPEG noise): blurring
// spreads an edge's step over more pixels and brings it down by half or more.
double EdgeEnergy(const QImage& image)
{
    constexpr double EdgeStep = 40; // length of an RGB difference
    const auto step = [](QRgb a, QRgb b) {
        const double r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
        return r * r + g * g + bl * bl;
    };
    double energy = 0;
    for (int y = 0; y + 1 < image.height(); ++y)
        for (int x = 0; x + 1 < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            for (const double d : {step(p, image.pixel(x + 1, y)), step(p, image.pixel(x, y + 1))})
                if (d > EdgeStep * EdgeStep)
                    energy += d;
        }
    return energy;
}

// Mean difference per colour channel, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

QStringList SkinPicturePaths()
{
    QStringList paths = {QString::fromLatin1(Skin::Back), QString::fromLatin1(Skin::Ad),
        QString::fromLatin1(Skin::About)};
    for (const QString& control : Skin::ButtonControls())
        for (const auto state : {Skin::TButtonState::Normal, Skin::TButtonState::Hover, Skin::TButtonState::Down})
            paths << Skin::ButtonPicturePath(control, state);
    return paths;
}

TEST(HiDpi, SkinPicturesAreDrawnSharpAtTwiceTheSize)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";
    QList<QImage> pictures;
    for (const QString& path : SkinPicturePaths())
        pictures << Skin::Load(path).convertToFormat(QImage::Format_RGB32);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QString path = SkinPicturePaths().at(i);
        SCOPED_TRACE(path.toStdString());
        const QImage& picture = pictures.at(i);
        ASSERT_FALSE(picture.isNull());
        TImage image;
        image.SetAutoSize(true);
        image.SetPicture(Skin::Load(path));
        EXPECT_EQ(image.size(), picture.size()) << "the layout keeps its pixel sizes";
        const QImage shown = Shown(image);
        ASSERT_EQ(shown.size(), picture.size() * 2);
        const QImage doubled = Doubled(picture);
        EXPECT_NE(shown, doubled) << "the picture at its own size, only doubled";
        // Finer gradients lose the staircase steps a doubled picture has, so a
        // fifth of slack; a blurred picture keeps under half.
        EXPECT_GE(EdgeEnergy(shown), 0.8 * EdgeEnergy(doubled)) << "edges blurred";
        // The same artwork: brought back to its own size it is closer to its
        // own picture than to any other state of the same size.
        const QImage back = shown.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double own = MeanDifference(back, picture);
        for (const QImage& other : pictures) {
            if (other.size() == picture.size() && other != picture) {
                EXPECT_LT(own, MeanDifference(back, other));
            }
        }
    }
}

// One-pixel columns of the timeline's colours: on screen every device pixel
// has one of them, none blended from two.
TEST(HiDpi, TimelineIsScaledWithoutBlendingPixels)
{
    const qreal ratio = qApp->devicePixelRatio();
    ASSERT_GT(ratio, 1.0) << "run with QT_SCALE_FACTOR above 1";
    const QRgb colours[] = {qRgb(0, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)};
    QImage timeline(60, 20, QImage::Format_RGB32);
    for (int x = 0; x < timeline.width(); ++x)
        for (int y = 0; y < timeline.height(); ++y)
            timeline.setPixel(x, y, colours[(x + (y / 5)) % 4]);
    TImage image;
    image.SetAutoSize(true);
    image.SetPicture(timeline);
    const QImage shown = Shown(image);
    ASSERT_EQ(shown.size(), (QSizeF(timeline.size()) * ratio).toSize());
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_TRUE(std::find(std::begin(colours), std::end(colours), shown.pixel(x, y)) != std::end(colours))
                << "blended pixel at " << x << "," << y;
    if (ratio == 2.0) {
        EXPECT_EQ(shown, Doubled(timeline)) << "every pixel a 2 x 2 block";
    }
}

} // namespace
