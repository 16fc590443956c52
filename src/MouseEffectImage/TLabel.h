#pragma once
// The skin's text label: transparent (the picture behind shows between the
// letters), one line, left-aligned, drawn without antialiasing at scale 1 so
// its pixels are the same on every machine (smoothed, at the screen's
// resolution, on high-density screens). '&' marks an access key: a single
// '&' is not drawn and underlines the next character; "&&" draws one '&'.
//
// With AutoSize on (the default) the label's width follows its text, growing
// or shrinking from its fixed left edge, and its height is the font's line
// height plus one pixel of leading above the text. With AutoSize off the label keeps its size and clips the
// text.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QVector>

#include "TControl.h"

class TLabel : public TControl {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr);
    TLabel(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

    QColor TextColor() const { return textColor_; }
    void SetTextColor(const QColor& color);

    // Underlines the whole text (the About link's highlight).
    bool Underline() const { return font().underline(); }
    void SetUnderline(bool on);

    // The font, forced to draw without antialiasing; resizes an auto-sized label.
    void SetFont(const QFont& font);

    // What the label draws for a caption, and which characters of that text
    // are underlined as access keys.
    static QString DisplayText(const QString& caption, QVector<int>* accessKeys = nullptr);

    // The size an auto-sized label takes for its current caption and font.
    QSize TextSize() const;

    // A label showing a path that does not fit keeps the path's end (the
    // file's own name) and gives up folders from the middle:
    // "File Name: /home/…/Ring Song.mp3". Off: the text is clipped.
    bool ElidesPath() const { return elidesPath_; }
    void SetElidesPath(bool on);

    // A display text as drawn within width pixels. Text keeps [0, Cut) and
    // [Resume, end) of the full text with "…" between; Cut < 0: nothing left out.
    struct TElision {
        QString Text;
        qsizetype Cut = -1;
        qsizetype Resume = -1;
    };
    static TElision ElidePath(const QString& text, int width, const QFontMetrics& metrics);

signals:
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void FitToText();

    QString caption_;
    QColor textColor_{Qt::black};
    bool autoSize_ = true;
    bool elidesPath_ = false;
};
