#include "TImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void TImage::SetPicture(const QImage& image)
{
    picture_ = image;
    PictureChanged();
}

void TImage::PictureChanged()
{
    FitToPicture();
    update();
}

void TImage::PictureChanged(const QRect& area)
{
    update(area);
}

void TImage::SetAutoSize(bool on)
{
    autoSize_ = on;
    FitToPicture();
}

void TImage::FitToPicture()
{
    if (autoSize_ && !picture_.isNull() && size() != picture_.size())
        resize(picture_.size());
}

void TImage::paintEvent(QPaintEvent* event)
{
    if (picture_.isNull())
        return;
    // Only the exposed part: the timeline picture can be hundreds of MB wide.
    const QRect area = event->rect() & picture_.rect();
    if (area.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(area.topLeft(), picture_, area);
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        clickPending_ = true;
    emit MouseDown(event->button(), event->buttons(), event->position().toPoint());
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(event->buttons(), event->position().toPoint());
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click
        = event->button() == Qt::LeftButton && clickPending_ && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        clickPending_ = false;
    if (click)
        emit Click();
    emit MouseUp(event->button(), event->buttons(), event->position().toPoint());
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is not a new press: no click follows it.
    emit MouseDown(event->button(), event->buttons(), event->position().toPoint());
}
