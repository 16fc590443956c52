#include "Preview.h"

#include "Painting.h"
#include "SkinButtons.h"

#include <QImageWriter>

namespace {

void Label(QPainter& p, int x, int y, const QString& text, const QFont& font, const QColor& c)
{
    p.setFont(font);
    p.setPen(c);
    p.drawText(QPointF(x, y + QFontMetrics(font).ascent()), text);
}

QImage PreviewMain(const QImage& back, const QImage& ad, const QString& assets, const char* stateSuffix)
{
    QImage img = back.copy();
    QPainter p(&img);
    p.drawImage(13, 38, ad);
    for (const Skin::TButtonFace& b : Skin::Buttons) {
        QString file = QStringLiteral("%1/buttons/%2_%3")
                           .arg(assets, QLatin1String(b.control), QLatin1String(stateSuffix));
        QImage pic(file + QStringLiteral(".jpg"));
        if (pic.isNull())
            pic = QImage(file + QStringLiteral(".bmp"));
        p.drawImage(b.place.topLeft(), pic);
    }
    QFont f = Paint::Font(11);
    f.setStyleStrategy(QFont::NoAntialias);
    QFont bold = Paint::Font(11, true);
    bold.setStyleStrategy(QFont::NoAntialias);
    const char* left[] = {"File Name: Summer Song.mp3", "Bitrate: 192 kbps", "Channels: Joint Stereo",
        "Sample Rate: 44100 Hz", "Length: 00:03:42"};
    const int ys[] = {262, 282, 304, 324, 344};
    for (int i = 0; i < 5; ++i)
        Label(p, 188, ys[i], QString::fromLatin1(left[i]), f, Qt::black);
    const char* right[]
        = {"Begin Pos: 00:00:20", "End Pos: 00:00:30", "Length: 00:00:10", "Current Pos: 00:00:04"};
    for (int i = 0; i < 4; ++i)
        Label(p, 393, ys[i], QString::fromLatin1(right[i]), f, Qt::black);
    Label(p, 395, 186, QStringLiteral("Play the selected segment"), bold, QColor(255, 255, 0));
    Label(p, 60, 367, QStringLiteral("About"), f, Qt::white);
    Label(p, 1, 400, QStringLiteral("Completed."), f, Qt::black);
    return img;
}

QImage PreviewAbout(const QImage& about)
{
    QImage img = about.copy();
    QPainter p(&img);
    QFont f = Paint::Font(11);
    f.setStyleStrategy(QFont::NoAntialias);
    QFont big = Paint::Font(13, true);
    big.setStyleStrategy(QFont::NoAntialias);
    Label(p, 97, 68, QStringLiteral("( Version 1.20 )"), big, QColor(128, 0, 128));
    Label(p, 47, 165, QStringLiteral("www.velumo-soft.com"), f, Qt::black);
    Label(p, 49, 188, QStringLiteral("support@velumo-soft.com"), f, Qt::black);
    p.setFont(f);
    p.setPen(QColor(128, 0, 0));
    p.drawText(QRect(189, 230, 67, 20), Qt::AlignCenter, QStringLiteral("Continue"));
    return img;
}

} // namespace

QString WritePreviews(const QString& assets, const QString& folder)
{
    const QImage back(assets + QStringLiteral("/back.jpg"));
    const QImage ad(assets + QStringLiteral("/ad.jpg"));
    if (back.isNull() || ad.isNull())
        return QStringLiteral("reading the window face from %1 failed").arg(assets);
    QImage icons(600, 280, QImage::Format_RGB32);
    icons.fill(QColor(0xe0, 0xe4, 0xea));
    {
        QPainter p(&icons);
        int x = 4;
        for (int size : {16, 24, 32, 48, 64, 72, 96, 128}) {
            p.drawImage(x, 4, QImage(QStringLiteral("%1/icon/velumo-%2.png").arg(assets).arg(size)));
            x += size + 6;
        }
        p.drawImage(4, 140, QImage(assets + QStringLiteral("/icon/velumo-32-mono.png")));
    }
    const std::pair<QImage, const char*> sheets[] = {
        {PreviewMain(back, ad, assets, "normal"), "main.png"},
        {PreviewMain(back, ad, assets, "hover"), "main-hover.png"},
        {PreviewMain(back, ad, assets, "down"), "main-down.png"},
        {PreviewAbout(QImage(assets + QStringLiteral("/about.jpg"))), "about.png"},
        {icons, "icons.png"},
    };
    for (const auto& [image, name] : sheets) {
        const QString file = folder + u'/' + QLatin1String(name);
        QImageWriter writer(file, "png");
        if (!writer.write(image))
            return QStringLiteral("writing %1 failed: %2").arg(file, writer.errorString());
    }
    return {};
}
