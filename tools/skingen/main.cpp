// skingen: draws the skin's pictures and the application icon from code and
// writes them into the assets folder.
//   skingen <assets folder> [--preview <folder>]
// --preview also writes PNG sheets that put the pictures together the way the
// windows show them, for looking at the skin without building the program.

#include "Bmp32.h"
#include "Painting.h"
#include "Preview.h"
#include "SkinButtons.h"
#include "Words.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

using Paint::TGlyph;

namespace {

// Window face geometry, in pixels of the 598 x 422 main window.
constexpr QRect TimelineArea(12, 36, 364, 172); // dark area behind banner and timeline
constexpr QRect TransportPad(386, 36, 204, 172);
constexpr QPoint DialCentre(477, 118);
constexpr QRect HintStrip(390, 183, 196, 20);
constexpr QRect LeftColumn(10, 222, 142, 168);
constexpr QRect AudioPanel(176, 222, 198, 146);
constexpr QRect SegmentPanel(381, 222, 199, 146);
constexpr int PanelHeader = 28;
constexpr QRect AboutPlate(43, 362, 54, 21);
constexpr int StripTop = 396;

const QColor BodyTop(0x34, 0x43, 0x5f);
const QColor BodyBottom(0x1c, 0x24, 0x35);

// How each button of the table (SkinButtons.h) is drawn.
struct TButtonArt {
    const char* control;
    TGlyph glyph;
    enum TShape { Round, Bar, Small } shape;
    QString TSkinWords::*word; // OPEN/SAVE bars only
};

const TButtonArt ButtonArt[] = {
    {"btnOpen", TGlyph::Folder, TButtonArt::Bar, &TSkinWords::open},
    {"btnSave", TGlyph::Disk, TButtonArt::Bar, &TSkinWords::save},
    {"btnPlay", TGlyph::Play, TButtonArt::Round, nullptr},
    {"btnMarkStart", TGlyph::MarkStart, TButtonArt::Round, nullptr},
    {"btnMarkEnd", TGlyph::MarkEnd, TButtonArt::Round, nullptr},
    {"btnPlaySelected", TGlyph::PlaySelected, TButtonArt::Round, nullptr},
    {"btnMoveLeft", TGlyph::MoveLeft, TButtonArt::Round, nullptr},
    {"btnMoveRight", TGlyph::MoveRight, TButtonArt::Round, nullptr},
    {"MouseEffectImage1", TGlyph::Pause, TButtonArt::Round, nullptr},
    {"btnMenu", TGlyph::Menu, TButtonArt::Small, nullptr},
    {"btnMinimize", TGlyph::Minimise, TButtonArt::Small, nullptr},
    {"btnClose", TGlyph::Close, TButtonArt::Small, nullptr},
};

enum class TState { Normal, Hover, Down };

[[noreturn]] void Fail(const QString& what)
{
    throw std::runtime_error(what.toStdString());
}

const TButtonArt& ArtOf(const Skin::TButtonFace& face)
{
    for (const TButtonArt& art : ButtonArt)
        if (std::strcmp(art.control, face.control) == 0)
            return art;
    Fail(QStringLiteral("no artwork for the button %1").arg(QLatin1String(face.control)));
}

// The font at px pixels, narrowed to three quarters of its width and then
// made smaller a pixel at a time until the text fits the width; the English
// words always fit as they are.
QFont Fitted(qreal px, bool bold, const QString& text, qreal width, const TSkinWords& words)
{
    QFont font = Paint::Font(px, bold);
    const auto fits = [&] { return QFontMetricsF(font).horizontalAdvance(text) <= width; };
    if (fits())
        return font;
    if (words.code.isEmpty())
        Fail(QStringLiteral("\"%1\" does not fit %2 pixels").arg(text).arg(width));
    for (int stretch = 95; stretch >= 75 && !fits(); stretch -= 5)
        font.setStretch(stretch);
    const int stretch = font.stretch();
    while (!fits() && px > 7) {
        px -= 1;
        font = Paint::Font(px, bold);
        font.setStretch(stretch);
    }
    return font;
}

void WriteJpeg(const QImage& image, const QString& file)
{
    QImageWriter writer(file, "jpeg");
    writer.setQuality(92);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32)))
        Fail(QStringLiteral("writing %1 failed: %2").arg(file, writer.errorString()));
}

void WritePng(const QImage& image, const QString& file)
{
    QImageWriter writer(file, "png");
    if (!writer.write(image))
        Fail(QStringLiteral("writing %1 failed: %2").arg(file, writer.errorString()));
}

void WriteBmp(const QImage& image, const QString& file)
{
    const QString error = WriteBmp32(image, file);
    if (!error.isEmpty())
        Fail(error);
}

// ---------------------------------------------------------------- main face

void DrawTitle(QPainter& p, QPointF at, int px, int logo)
{
    // The icon is drawn at the canvas's own resolution, never scaled up.
    const qreal scale = p.device()->devicePixelRatio();
    QImage icon = Paint::Icon(int(std::lround(logo * scale)));
    icon.setDevicePixelRatio(scale);
    p.drawImage(QPointF(at.x(), at.y() - logo + qreal(logo) / 5), icon);
    const qreal x = at.x() + logo + 7;
    const QFont bold = Paint::Font(px, true);
    const QFont plain = Paint::Font(px);
    Paint::ShadowText(p, QPointF(x, at.y()), QStringLiteral("Velumo"), bold, Qt::white, QColor(0, 0, 0, 140));
    const qreal w = QFontMetricsF(bold).horizontalAdvance(QStringLiteral("Velumo "));
    Paint::ShadowText(p, QPointF(x + w, at.y()), QStringLiteral("MP3 Ringtone Maker"), plain,
        QColor(0xff, 0xc2, 0x5c), QColor(0, 0, 0, 140));
}

void DrawPanel(QPainter& p, const QRect& r, const QString& heading, TGlyph icon, const QVector<int>& rules,
    const TSkinWords& words)
{
    // Drop shadow, body, header band.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(r).translated(2, 2), 8, 8);
    p.restore();
    Paint::Panel(p, r, 8, QColor(0xff, 0xff, 0xff), QColor(0xf1, 0xf4, 0xf9), QColor(0x0e, 0x16, 0x24));
    QPainterPath header;
    const QRectF hr(r.x() + 1, r.y() + 1, r.width() - 2, PanelHeader);
    header.addRoundedRect(hr, 7, 7);
    QPainterPath squareBottom;
    squareBottom.addRect(hr.adjusted(0, hr.height() / 2, 0, 0));
    header = header.united(squareBottom);
    QLinearGradient g(hr.topLeft(), hr.bottomLeft());
    g.setColorAt(0, QColor(0x4a, 0x86, 0xe0));
    g.setColorAt(1, QColor(0x1d, 0x4f, 0xa6));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(header, g);
    p.setPen(QColor(0x12, 0x36, 0x78));
    p.drawLine(QPointF(hr.left(), hr.bottom() + 0.5), QPointF(hr.right(), hr.bottom() + 0.5));
    p.restore();
    Paint::Glyph(p, icon, QRectF(r.x() + 10, r.y() + 8, 13, 13), QColor(0xff, 0xc2, 0x5c));
    Paint::ShadowText(p, QPointF(r.x() + 29, r.y() + 19), heading,
        Fitted(12, true, heading, r.width() - 37, words), Qt::white, QColor(0, 0, 0, 120));
    // Faint rules between the rows of labels.
    p.setPen(QColor(0xdf, 0xe5, 0xee));
    for (int y : rules)
        Paint::PixelLine(p, r.x() + 8, y, r.right() - 8, y);
}

QImage DrawBack(int scale, const TSkinWords& words)
{
    QImage img = Paint::Canvas(598, 422, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Body.
    QLinearGradient body(0, 0, 0, 422);
    body.setColorAt(0, BodyTop);
    body.setColorAt(1, BodyBottom);
    p.fillRect(img.rect(), body);
    // A soft diagonal sheen across the body.
    QLinearGradient sheen(0, 0, 598, 422);
    sheen.setColorAt(0, QColor(255, 255, 255, 18));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    sheen.setColorAt(1, QColor(255, 255, 255, 10));
    p.fillRect(img.rect(), sheen);

    // Title band.
    QLinearGradient title(0, 0, 0, 30);
    title.setColorAt(0, QColor(0x45, 0x63, 0x98));
    title.setColorAt(1, QColor(0x24, 0x36, 0x5c));
    p.fillRect(QRect(0, 0, 598, 30), title);
    p.setPen(QColor(0x6f, 0x8f, 0xc7));
    Paint::PixelLine(p, 0, 30, 597, 30);
    p.setPen(QColor(0x10, 0x18, 0x28));
    Paint::PixelLine(p, 0, 31, 597, 31);
    DrawTitle(p, QPointF(10, 21), 15, 20);
    // Places of the two window buttons, a pixel wider all round.
    for (const Skin::TButtonFace& b : {Skin::MinimizeButton, Skin::CloseButton})
        Paint::Sunken(p, QRectF(b.place).adjusted(-1, -1, 1, 1), 4, QColor(0x1a, 0x27, 0x40));

    // Timeline frame: a sunken dark well.
    Paint::Panel(p, QRectF(TimelineArea).adjusted(-5, -5, 5, 5), 7, QColor(0x4b, 0x5c, 0x7e),
        QColor(0x2a, 0x35, 0x4c), QColor(0x0d, 0x12, 0x1c));
    p.fillRect(TimelineArea.adjusted(-1, -1, 1, 1), QColor(0x05, 0x08, 0x0e));
    p.fillRect(TimelineArea, QColor(0x0b, 0x10, 0x19));
    // A faint grid so the empty well reads as a timeline.
    p.setPen(QColor(0x16, 0x1e, 0x2c));
    for (int x = TimelineArea.left() + 25; x < TimelineArea.right(); x += 25)
        Paint::PixelLine(p, x, TimelineArea.top() + 1, x, TimelineArea.bottom() - 1);
    Paint::PixelLine(
        p, TimelineArea.left(), TimelineArea.center().y(), TimelineArea.right(), TimelineArea.center().y());

    // Transport pad: blue, glossy, with a round dial under the buttons.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawRoundedRect(QRectF(TransportPad).translated(2, 2), 12, 12);
    p.restore();
    Paint::Panel(
        p, TransportPad, 12, QColor(0x35, 0x7c, 0xe6), QColor(0x0e, 0x36, 0x82), QColor(0x08, 0x1c, 0x46));
    Paint::Gloss(p, TransportPad, 12, 60);
    {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient dial(DialCentre, 72);
        dial.setColorAt(0, QColor(0x0d, 0x2f, 0x70));
        dial.setColorAt(0.85, QColor(0x14, 0x40, 0x92));
        dial.setColorAt(1, QColor(0x2a, 0x66, 0xc8));
        p.setBrush(dial);
        p.setPen(QPen(QColor(0x7f, 0xb4, 0xff, 150), 1));
        p.drawEllipse(QPointF(DialCentre), 71, 68);
        p.setPen(QPen(QColor(0x06, 0x1a, 0x42, 200), 1));
        p.drawEllipse(QPointF(DialCentre), 69.5, 66.5);
        p.restore();
    }
    Paint::Sunken(p, HintStrip, 5, QColor(0x07, 0x1f, 0x4c));

    // Left column: grey, with a dark plate behind the white About link.
    Paint::Panel(
        p, LeftColumn, 8, QColor(0xa7, 0xaf, 0xba), QColor(0x6a, 0x73, 0x80), QColor(0x0e, 0x14, 0x20));
    Paint::Gloss(p, LeftColumn.adjusted(0, 0, 0, -100), 8, 40);
    const QString column = words.ringtoneFile;
    Paint::ShadowText(p, QPointF(LeftColumn.x() + 12, LeftColumn.y() + 19), column,
        Fitted(11, true, column, LeftColumn.width() - 20, words), QColor(0x24, 0x2c, 0x3a),
        QColor(255, 255, 255, 90));
    p.setPen(QColor(0x5a, 0x62, 0x6e));
    Paint::PixelLine(p, LeftColumn.x() + 10, 347, LeftColumn.right() - 10, 347);
    p.setPen(QColor(0xc4, 0xca, 0xd2));
    Paint::PixelLine(p, LeftColumn.x() + 10, 348, LeftColumn.right() - 10, 348);
    Paint::Sunken(p, AboutPlate, 5, QColor(0x27, 0x30, 0x40));
    Paint::Glyph(
        p, TGlyph::Info, QRectF(AboutPlate.x() + 4, AboutPlate.y() + 5, 11, 11), QColor(0x5f, 0xa8, 0xff));

    // The two white information panels.
    DrawPanel(p, AudioPanel, words.audioInfo, TGlyph::Note, {279, 300, 320, 340}, words);
    DrawPanel(p, SegmentPanel, words.segmentInfo, TGlyph::PlaySelected, {279, 300, 320, 340}, words);

    // Bottom strip behind the status line.
    QLinearGradient strip(0, StripTop, 0, 422);
    strip.setColorAt(0, QColor(0xee, 0xf1, 0xf5));
    strip.setColorAt(1, QColor(0xcf, 0xd6, 0xdf));
    p.fillRect(QRect(0, StripTop, 598, 422 - StripTop), strip);
    p.setPen(QColor(0x0e, 0x14, 0x20));
    Paint::PixelLine(p, 0, StripTop - 1, 597, StripTop - 1);
    p.setPen(QColor(0x9a, 0xa6, 0xb5));
    Paint::PixelLine(p, 480, StripTop + 4, 480, 417);
    p.setFont(Paint::Font(10));
    p.setPen(QColor(0x5d, 0x69, 0x7a));
    p.drawText(QRect(482, StripTop, 108, 422 - StripTop), Qt::AlignRight | Qt::AlignVCenter,
        QStringLiteral("MP3 \u00b7 AMR  v1.20"));

    // Window edge.
    p.setPen(QColor(0x07, 0x0b, 0x12));
    p.setBrush(Qt::NoBrush);
    Paint::PixelFrame(p, QRect(0, 0, 598, 422));
    p.setPen(QColor(0x6f, 0x8f, 0xc7, 120));
    Paint::PixelLine(p, 1, 1, 596, 1);
    return img;
}

// ------------------------------------------------------------------ banner

QImage DrawAd(int scale, const TSkinWords& words)
{
    QImage img = Paint::Canvas(361, 169, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 361, 169);
    bg.setColorAt(0, QColor(0x17, 0x2a, 0x52));
    bg.setColorAt(0.6, QColor(0x2c, 0x1f, 0x5c));
    bg.setColorAt(1, QColor(0x4a, 0x1d, 0x58));
    p.fillRect(img.rect(), bg);
    // Light rays behind the phone.
    QRadialGradient glow(QPointF(52, 80), 110);
    glow.setColorAt(0, QColor(0x5f, 0xa8, 0xff, 110));
    glow.setColorAt(1, QColor(0x5f, 0xa8, 0xff, 0));
    p.fillRect(img.rect(), glow);

    // The phone.
    const QRectF phone(24, 20, 58, 112);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(phone.translated(3, 3), 10, 10);
    Paint::Panel(p, phone, 10, QColor(0x3a, 0x42, 0x52), QColor(0x16, 0x1a, 0x22), QColor(0x9a, 0xa6, 0xb8));
    const QRectF screen = phone.adjusted(5, 12, -5, -16);
    Paint::Panel(p, screen, 3, QColor(0x4f, 0x9c, 0xff), QColor(0x12, 0x3f, 0xa0), QColor(0x0a, 0x1a, 0x3a));
    Paint::Glyph(p, TGlyph::Note, QRectF(screen.x() + 9, screen.y() + 22, 30, 32), Qt::white);
    p.setBrush(QColor(0x9a, 0xa6, 0xb8));
    p.drawRoundedRect(QRectF(phone.center().x() - 6, phone.bottom() - 11, 12, 6), 3, 3);
    // Ring waves from the phone.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 12 + 9 * i;
        p.setPen(QPen(QColor(0xff, 0xa8, 0x2e, 230 - 60 * i), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(phone.right() - 4 - r, phone.top() + 8 - r, 2 * r, 2 * r), -10 * 16, 80 * 16);
    }

    // Lettering.
    Paint::ShadowText(p, QPointF(104, 48), QStringLiteral("Velumo"), Paint::Font(32, true), Qt::white,
        QColor(0, 0, 0, 150));
    Paint::ShadowText(p, QPointF(106, 70), QStringLiteral("MP3 Ringtone Maker"), Paint::Font(17, true),
        QColor(0xff, 0xc2, 0x5c), QColor(0, 0, 0, 150));
    const QString slogan = words.adSlogan;
    p.setFont(Fitted(11, false, slogan, 361 - 106 - 6, words));
    p.setPen(QColor(0xd4, 0xdf, 0xff));
    p.drawText(QPointF(106, 88), slogan);

    // A waveform with a marked segment, the program's work in one picture.
    const QRectF wave(106, 98, 236, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(wave.adjusted(-4, -3, 4, 3), 5, 5);
    const qreal selFrom = wave.x() + wave.width() * 0.38, selTo = wave.x() + wave.width() * 0.66;
    p.setBrush(QColor(0xff, 0xa8, 0x2e, 60));
    p.drawRect(QRectF(selFrom, wave.y() - 3, selTo - selFrom, wave.height() + 6));
    for (int i = 0; i * 3 < int(wave.width()); ++i) {
        const qreal x = wave.x() + i * 3;
        const qreal a = 0.25 + 0.75 * std::fabs(std::sin(i * 0.21) * 0.6 + std::sin(i * 0.057 + 1.3) * 0.4);
        const qreal h = std::max<qreal>(2, a * wave.height() * 0.9);
        const bool inside = x >= selFrom && x < selTo;
        p.setBrush(inside ? QColor(0xff, 0xc2, 0x5c) : QColor(0x7f, 0xb4, 0xff));
        p.drawRect(QRectF(x, wave.center().y() - h / 2, 2, h));
    }
    p.setBrush(QColor(0xff, 0x6a, 0x3d));
    for (qreal x : {selFrom, selTo}) {
        p.drawRect(QRectF(x - 1, wave.y() - 5, 2, wave.height() + 10));
        p.drawPolygon(QPolygonF(
            {QPointF(x - 4, wave.y() - 7), QPointF(x + 4, wave.y() - 7), QPointF(x, wave.y() - 2)}));
    }
    const QString action = words.adAction;
    p.setFont(Fitted(11, true, action, 361 - 106 - 6, words));
    p.setPen(Qt::white);
    p.drawText(QPointF(106, 158), action);
    p.setPen(QColor(255, 255, 255, 50));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 360, 168));
    return img;
}

// ----------------------------------------------------------------- buttons

void DrawRound(QPainter& p, const QSize& size, TGlyph glyph, TState state, bool accent)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = std::min(size.width(), size.height()) - 3;
    const QPointF c(size.width() / 2.0 - 0.5, size.height() / 2.0 - 0.5);
    const QRectF disc(c.x() - d / 2, c.y() - d / 2, d, d);
    // Hover: a cyan halo around the disc.
    if (state == TState::Hover) {
        QRadialGradient halo(c, d / 2 + 2);
        halo.setColorAt(0.80, QColor(0x6f, 0xe0, 0xff, 220));
        halo.setColorAt(1.0, QColor(0x6f, 0xe0, 0xff, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, d / 2 + 2, d / 2 + 2);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, state == TState::Down ? 40 : 90));
        p.drawEllipse(disc.translated(1, 1.5));
    }
    QLinearGradient face(disc.topLeft(), disc.bottomLeft());
    switch (state) {
    case TState::Normal:
        face.setColorAt(0, QColor(0xf2, 0xf6, 0xfd));
        face.setColorAt(1, QColor(0xa9, 0xbc, 0xdc));
        break;
    case TState::Hover:
        face.setColorAt(0, QColor(0xff, 0xff, 0xff));
        face.setColorAt(1, QColor(0xcb, 0xea, 0xff));
        break;
    case TState::Down:
        face.setColorAt(0, QColor(0x7d, 0x93, 0xb8));
        face.setColorAt(1, QColor(0xc6, 0xd3, 0xe8));
        break;
    }
    p.setBrush(face);
    p.setPen(QPen(state == TState::Hover ? QColor(0x2f, 0x9c, 0xe8) : QColor(0x0a, 0x22, 0x52), 1));
    p.drawEllipse(disc);
    if (state != TState::Down)
        Paint::Gloss(p, disc, d / 2, state == TState::Hover ? 160 : 120);
    QColor ink = accent ? QColor(0x1d, 0x9a, 0x3c) : QColor(0x16, 0x3d, 0x7c);
    if (state == TState::Hover)
        ink = accent ? QColor(0x14, 0xb8, 0x3e) : QColor(0x06, 0x6a, 0xde);
    if (state == TState::Down)
        ink = accent ? QColor(0x0f, 0x6a, 0x28) : QColor(0x0a, 0x25, 0x55);
    const qreal g = d * (glyph == TGlyph::Play ? 0.44 : 0.50);
    QRectF box(c.x() - g / 2, c.y() - g / 2, g, g);
    if (glyph == TGlyph::Play)
        box.translate(d * 0.04, 0); // a triangle looks centred a little right of centre
    if (state == TState::Down)
        box.translate(1, 1);
    Paint::Glyph(p, glyph, box, ink);
}

void DrawBar(
    QPainter& p, const QSize& size, TGlyph glyph, const QString& word, TState state, const TSkinWords& words)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bar(0, 0, size.width() - 1, size.height() - 1);
    QColor top, bottom, border;
    switch (state) {
    case TState::Normal:
        top = QColor(0xff, 0xb8, 0x4d), bottom = QColor(0xe8, 0x6c, 0x0c), border = QColor(0x8e, 0x3f, 0x04);
        break;
    case TState::Hover:
        top = QColor(0xff, 0xdb, 0x85), bottom = QColor(0xff, 0x91, 0x24), border = QColor(0xff, 0xf1, 0xb0);
        break;
    case TState::Down:
        top = QColor(0xa8, 0x18, 0x16), bottom = QColor(0xe2, 0x3d, 0x34), border = QColor(0x5c, 0x08, 0x08);
        break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    if (state != TState::Down)
        p.drawRoundedRect(bar.adjusted(1, 1.5, 1, 1), 9, 9);
    Paint::Panel(p, bar, 9, top, bottom, border);
    if (state != TState::Down)
        Paint::Gloss(p, bar, 9, state == TState::Hover ? 150 : 110);
    else {
        // Pressed in: a shadow along the upper inside edge.
        p.setPen(QPen(QColor(0, 0, 0, 110), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(bar.adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
    }
    const qreal shift = state == TState::Down ? 1 : 0;
    Paint::Glyph(p, glyph, QRectF(15 + shift, 8 + shift, 17, 16), QColor(0, 0, 0, 70));
    Paint::Glyph(p, glyph, QRectF(14 + shift, 7 + shift, 17, 16), Qt::white);
    const QFont font = Fitted(15, true, word, size.width() - 42 - 5, words);
    Paint::ShadowText(p, QPointF(42 + shift, 21 + shift), word, font, Qt::white,
        state == TState::Down ? QColor(0x4a, 0x05, 0x05) : QColor(0x8e, 0x3f, 0x04));
}

void DrawSmall(QPainter& p, const QSize& size, TGlyph glyph, TState state)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    const bool close = glyph == TGlyph::Close;
    QColor top, bottom;
    switch (state) {
    case TState::Normal:
        top = QColor(0x4c, 0x68, 0x9e), bottom = QColor(0x24, 0x37, 0x5e);
        break;
    case TState::Hover:
        top = close ? QColor(0xff, 0x7a, 0x6e) : QColor(0x7c, 0xb4, 0xff);
        bottom = close ? QColor(0xd0, 0x24, 0x1c) : QColor(0x2f, 0x6c, 0xd6);
        break;
    case TState::Down:
        top = close ? QColor(0x7a, 0x10, 0x0c) : QColor(0x12, 0x26, 0x50);
        bottom = close ? QColor(0xa8, 0x20, 0x18) : QColor(0x22, 0x3c, 0x72);
        break;
    }
    Paint::Panel(p, r, 3, top, bottom, QColor(0x0a, 0x12, 0x22));
    const qreal shift = state == TState::Down ? 1 : 0;
    Paint::Glyph(p, glyph, r.adjusted(1 + shift, 1 + shift, -1 + shift, -1 + shift), Qt::white);
}

QImage DrawButton(const QImage& back, const Skin::TButtonFace& face, TState state, const TSkinWords& words)
{
    // The button's own rectangle of the window face is its base, so its
    // corners blend with what lies around it.
    const int scale = int(back.devicePixelRatio());
    QImage img = back.copy(QRect(face.place.topLeft() * scale, face.place.size() * scale))
                     .convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    QPainter p(&img);
    const TButtonArt& art = ArtOf(face);
    const QSize size = face.place.size();
    switch (art.shape) {
    case TButtonArt::Round:
        DrawRound(p, size, art.glyph, state, art.glyph == TGlyph::Play);
        break;
    case TButtonArt::Bar:
        DrawBar(p, size, art.glyph, words.*art.word, state, words);
        break;
    case TButtonArt::Small:
        DrawSmall(p, size, art.glyph, state);
        break;
    }
    return img;
}

// ------------------------------------------------------------ About window

QImage DrawAbout(int scale, const TSkinWords& words)
{
    QImage img = Paint::Canvas(300, 266, scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, 266);
    bg.setColorAt(0, QColor(0x3a, 0x5d, 0x98));
    bg.setColorAt(1, QColor(0x1b, 0x2b, 0x4d));
    p.fillRect(img.rect(), bg);
    DrawTitle(p, QPointF(26, 28), 15, 22);

    const QRectF panel(10, 42, 280, 214);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawRoundedRect(panel.translated(2, 2), 12, 12);
    Paint::Panel(p, panel, 12, QColor(0xff, 0xff, 0xff), QColor(0xe2, 0xea, 0xf6), QColor(0x9f, 0xb3, 0xd1));

    Paint::CentredText(p, 150, 62, QStringLiteral("Velumo MP3 Ringtone Maker"), Paint::Font(12, true),
        QColor(0x1d, 0x3f, 0x7c));
    const QColor grey(0x4d, 0x58, 0x6a);
    for (const auto& [text, baseline] : {std::pair{words.aboutLine1, 106}, {words.aboutLine2, 120}})
        Paint::CentredText(p, 150, baseline, text, Fitted(11, false, text, 264, words), grey);
    const QString rights = words.rights;
    Paint::CentredText(p, 150, 141, rights, Fitted(10, false, rights, 264, words), QColor(0x7a, 0x85, 0x96));
    p.setPen(QColor(0xc3, 0xcf, 0xe2));
    p.drawLine(QPointF(26, 152.5), QPointF(274, 152.5));
    p.setPen(QColor(0xff, 0xff, 0xff));
    p.drawLine(QPointF(26, 153.5), QPointF(274, 153.5));
    Paint::Glyph(p, TGlyph::Globe, QRectF(29, 165, 12, 12), QColor(0x2f, 0x6c, 0xd6));
    Paint::Glyph(p, TGlyph::Envelope, QRectF(29, 189, 14, 10), QColor(0x2f, 0x6c, 0xd6));
    // A quiet plate under the flat Continue button so it reads as a button at rest.
    Paint::Panel(p, QRectF(189, 230, 67, 20), 4, QColor(0xf6, 0xf8, 0xfc), QColor(0xd9, 0xe2, 0xef),
        QColor(0xb3, 0xc2, 0xda));
    return img;
}

void MakeFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        Fail(QStringLiteral("creating folder %1 failed").arg(path));
}

// "" for the pictures at their own size, "@2x" for those at twice the size,
// the names Qt looks for on screens with two device pixels per pixel.
QString AtScale(int scale)
{
    return scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
}

// Writes the faces and the buttons drawn at the given scale. Another
// language gets only the pictures that carry words, in assets/<code>/.
void GenerateSkin(QString assets, int scale, const TSkinWords& words)
{
    const bool english = words.code.isEmpty();
    if (!english) {
        assets += u'/' + words.code;
        MakeFolder(assets + QStringLiteral("/buttons"));
    }
    const QString at = AtScale(scale);
    const QString backFile = QStringLiteral("%1/back%2.jpg").arg(assets, at);
    WriteJpeg(DrawBack(scale, words), backFile);
    // Buttons are cut from the face as it will be decoded, so they match it.
    QImage backDecoded(backFile);
    if (backDecoded.isNull())
        Fail(QStringLiteral("reading back %1 failed").arg(backFile));
    backDecoded.setDevicePixelRatio(scale);
    WriteJpeg(DrawAd(scale, words), QStringLiteral("%1/ad%2.jpg").arg(assets, at));
    WriteJpeg(DrawAbout(scale, words), QStringLiteral("%1/about%2.jpg").arg(assets, at));

    for (const Skin::TButtonFace& b : Skin::Buttons) {
        if (!english && !ArtOf(b).word)
            continue;
        const QString base = QStringLiteral("%1/buttons/%2_").arg(assets, QLatin1String(b.control));
        const auto file = [&](const char* suffix, Skin::TPictureKind kind) {
            return base + QLatin1String(suffix) + at + u'.' + QLatin1String(Skin::Extension(kind));
        };
        auto write = [&](TState state, const char* suffix, Skin::TPictureKind kind) {
            const QImage image = DrawButton(backDecoded, b, state, words);
            if (kind == Skin::TPictureKind::Jpeg)
                WriteJpeg(image, file(suffix, kind));
            else
                WriteBmp(image, file(suffix, kind));
        };
        write(TState::Normal, "normal", b.normal);
        write(TState::Hover, "hover", b.hover);
        if (b.downIsHover) {
            // No further change when pressed: the very file of the hover picture.
            const QString hover = file("hover", b.hover);
            const QString down = file("down", b.down);
            QFile::remove(down);
            if (!QFile::copy(hover, down))
                Fail(QStringLiteral("copying %1 to %2 failed").arg(hover, down));
        } else {
            write(TState::Down, "down", b.down);
        }
    }
}

void Generate(const QString& assets, const QString& preview)
{
    MakeFolder(assets + QStringLiteral("/buttons"));
    MakeFolder(assets + QStringLiteral("/icon"));

    // The translations lie beside the assets folder.
    QStringList skipped;
    const std::vector<TSkinWords> languages
        = SkinLanguages(assets + QStringLiteral("/../translations"), skipped);
    for (const QString& code : skipped)
        std::fprintf(stderr,
            "skingen: %s keeps the English pictures: its skin words are not all translated\n",
            qPrintable(code));
    for (const TSkinWords& words : languages) {
        GenerateSkin(assets, 1, words);
        GenerateSkin(assets, 2, words);
    }

    for (int size : {16, 24, 32, 48, 64, 72, 96, 128, 256})
        WritePng(Paint::Icon(size), QStringLiteral("%1/icon/velumo-%2.png").arg(assets).arg(size));
    WritePng(Paint::Icon(32, true), assets + QStringLiteral("/icon/velumo-32-mono.png"));

    if (preview.isEmpty())
        return;
    MakeFolder(preview);
    const QString error = WritePreviews(assets, preview);
    if (!error.isEmpty())
        Fail(error);
}

} // namespace

int main(int argc, char** argv)
{
    // Offscreen: the generator needs fonts and painting, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--preview"))) {
        std::fprintf(stderr, "usage: skingen <assets folder> [--preview <folder>]\n");
        return 2;
    }
    const QString fontError = Paint::LoadFonts();
    if (!fontError.isEmpty()) {
        std::fprintf(stderr, "skingen: %s\n", qPrintable(fontError));
        return 1;
    }
    try {
        Generate(QDir(args[1]).absolutePath(), args.size() == 4 ? QDir(args[3]).absolutePath() : QString());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
    return 0;
}
