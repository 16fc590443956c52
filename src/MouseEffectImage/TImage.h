#pragma once
// A picture control: paints its picture unscaled at its top-left corner and,
// with AutoSize on, takes the picture's size. An empty picture paints nothing,
// so whatever lies behind the control shows through.

#include <QImage>
#include <QWidget>

class TImage : public QWidget {
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

signals:
    void MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);
    void MouseMove(Qt::MouseButtons buttons, QPoint pos);
    void MouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FitToPicture();

    QImage picture_;
    bool autoSize_ = false;
    bool clickPending_ = false;
};
