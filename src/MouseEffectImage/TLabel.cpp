#include "TLabel.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// The window layout is made for a bitmap font whose lines are one pixel taller
// than the skin font's (13 px at 11 px, 16 px at 13 px); the extra pixel goes
// above the text, so baselines land where the layout expects them.
constexpr int LeadingPixels = 1;

QFont WithoutAntialiasing(QFont font)
{
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));
    return font;
}

// The font as drawn on a screen with more device pixels than pixels.
QFont SmoothFont(QFont font)
{
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() & ~QFont::NoAntialias));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

TLabel::TLabel(QWidget* parent)
    : TLabel(QString(), parent)
{
}

TLabel::TLabel(const QString& caption, QWidget* parent)
    : TControl(parent)
    , caption_(caption)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    QWidget::setFont(WithoutAntialiasing(font()));
    FitToText();
}

QString TLabel::DisplayText(const QString& caption, QVector<int>* accessKeys)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        QChar c = caption.at(i);
        if (c == u'&') {
            // A '&' at the very end has no character to mark and is dropped.
            if (++i >= caption.size())
                break;
            c = caption.at(i);
            if (c != u'&' && accessKeys)
                accessKeys->append(int(text.size()));
        }
        // One line only: line breaks and tabs are drawn as blanks.
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
        text.append(c);
    }
    return text;
}

QSize TLabel::TextSize() const
{
    const QFontMetrics metrics(font());
    QString text = DisplayText(caption_);
    // An empty label keeps the size of one blank so it can still be found.
    if (text.isEmpty())
        text = QStringLiteral(" ");
    int width = metrics.horizontalAdvance(text);
    // Smoothed letters at a finer resolution take their unrounded widths,
    // which can run past the rounded ones: room for them, so none is cut off.
    if (devicePixelRatioF() != 1)
        width = qMax(width, int(std::ceil(QFontMetricsF(SmoothFont(font())).horizontalAdvance(text))) + 1);
    return {width, metrics.height() + LeadingPixels};
}

void TLabel::SetCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    FitToText();
    update();
    // Screen readers read a label by its text: tell them it changed.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TLabel::SetElidesPath(bool on)
{
    elidesPath_ = on;
    update();
}

TLabel::TElision TLabel::ElidePath(const QString& text, int width, const QFontMetrics& metrics)
{
    const QString ellipsis(QChar(0x2026));
    const qsizetype nameStart = text.lastIndexOf(u'/');
    if (metrics.horizontalAdvance(text) <= width || nameStart < 0)
        return {text};
    auto fits = [&](qsizetype cut, qsizetype resume) {
        return metrics.horizontalAdvance(text.left(cut) + ellipsis + text.mid(resume)) <= width;
    };
    // Whole folders out of the middle, as few as will do.
    const qsizetype root = text.indexOf(u'/');
    // (lastIndexOf from -1 would search from the end again.)
    auto slashBefore = [&](qsizetype at) { return at > 0 ? text.lastIndexOf(u'/', at - 1) : -1; };
    for (qsizetype slash = slashBefore(nameStart); slash >= root; slash = slashBefore(slash)) {
        if (fits(slash + 1, nameStart))
            return {text.left(slash + 1) + ellipsis + text.mid(nameStart), slash + 1, nameStart};
    }
    // The name alone is too long: what comes before the path, then as much of
    // the name's end (its type above all) as fits.
    for (qsizetype resume = nameStart; resume < text.size(); ++resume) {
        if (fits(root, resume))
            return {text.left(root) + ellipsis + text.mid(resume), root, resume};
    }
    return {text};
}

void TLabel::SetAutoSize(bool on)
{
    autoSize_ = on;
    FitToText();
}

void TLabel::SetTextColor(const QColor& color)
{
    textColor_ = color;
    update();
}

void TLabel::SetUnderline(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    SetFont(f);
}

void TLabel::SetFont(const QFont& font)
{
    QWidget::setFont(WithoutAntialiasing(font));
}

void TLabel::FitToText()
{
    if (autoSize_)
        resize(TextSize());
}

void TLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        // Fonts set through QWidget::setFont must draw the same exact pixels.
        if (!(font().styleStrategy() & QFont::NoAntialias))
            QWidget::setFont(WithoutAntialiasing(font()));
        FitToText();
        update();
    }
    QWidget::changeEvent(event);
}

void TLabel::paintEvent(QPaintEvent*)
{
    QVector<int> keys;
    QString text = DisplayText(caption_, &keys);
    if (text.isEmpty())
        return;
    if (elidesPath_) {
        const TElision shown = ElidePath(text, width(), QFontMetrics(font()));
        if (shown.Cut >= 0) {
            text = shown.Text;
            // Access keys left out go; those after the gap move with the text.
            QVector<int> kept;
            for (const int k : keys) {
                if (k < shown.Cut)
                    kept.append(k);
                else if (k >= shown.Resume)
                    kept.append(int(k - shown.Resume + shown.Cut + 1));
            }
            keys = kept;
        }
    }
    QPainter painter(this);
    painter.setClipRect(rect());
    // At scale 1 the letters are the same pixels on every machine. On a screen
    // with more device pixels per pixel Qt draws them at that resolution, and
    // smoothed, since the letters are no longer pixel-exact anyway.
    const bool exactPixels = devicePixelRatioF() == 1;
    painter.setRenderHint(QPainter::TextAntialiasing, !exactPixels);
    painter.setFont(exactPixels ? font() : SmoothFont(font()));
    painter.setPen(textColor_);
    const QFontMetrics metrics(font());
    const int baseline = LeadingPixels + metrics.ascent();
    painter.drawText(0, baseline, text);
    if (font().underline())
        return; // the whole text is underlined already
    // Access keys: a one-pixel line under the marked character, where the
    // font's own underline would be.
    const int y = baseline + qMax(1, metrics.underlinePos());
    for (const int k : keys) {
        const int x0 = metrics.horizontalAdvance(text.left(k));
        const int x1 = metrics.horizontalAdvance(text.left(k + 1));
        if (x1 > x0)
            painter.fillRect(QRect(x0, y, x1 - x0, qMax(1, metrics.lineWidth())), textColor_);
    }
}

void TLabel::leaveEvent(QEvent* event)
{
    emit MouseLeave();
    QWidget::leaveEvent(event);
}
