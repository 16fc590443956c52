#pragma once
// A picture control: paints its picture unscaled at its top-left corner and,
// with AutoSize on, takes the picture's size. An empty picture paints nothing,
// so whatever lies behind the control shows through.

#include "TControl.h"

#include <QImage>

class TImage : public TControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // The displayed picture. Code that draws into it directly calls
    // PictureChanged() afterwards.
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& image);
    void PictureChanged();
    // Repaints only the given part of the picture.
    void PictureChanged(const QRect& area);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FitToPicture();

    QImage picture_;
    bool autoSize_ = false;
};
