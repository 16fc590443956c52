#include "MouseEffectImage.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>

TMouseEffectImage::TMouseEffectImage(QWidget* parent)
    : TImage(parent)
{
    SetAutoSize(true);
}

void TMouseEffectImage::SetOriginPicture(const QImage& image)
{
    originPicture_ = image;
    SetPicture(originPicture_);
}

void TMouseEffectImage::SetOverPicture(const QImage& image)
{
    overPicture_ = image;
}

void TMouseEffectImage::SetDownPicture(const QImage& image)
{
    downPicture_ = image;
}

void TMouseEffectImage::PointerEntered()
{
    if (QWidget* owner = parentWidget())
        QCoreApplication::postEvent(owner, new QEvent(EnterNotice));
    SetPicture(overPicture_);
}

void TMouseEffectImage::PointerLeft()
{
    SetPicture(originPicture_);
}

void TMouseEffectImage::enterEvent(QEnterEvent* event)
{
    PointerEntered();
    TImage::enterEvent(event);
}

void TMouseEffectImage::leaveEvent(QEvent* event)
{
    PointerLeft();
    TImage::leaveEvent(event);
}

void TMouseEffectImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        held_ = true;
        heldOutside_ = false;
        SetPicture(downPicture_);
    }
    TImage::mousePressEvent(event);
}

void TMouseEffectImage::mouseMoveEvent(QMouseEvent* event)
{
    // While held this control gets every move (it has the capture), so it
    // sees the crossings of its own edge here.
    if (held_ && (event->buttons() & Qt::LeftButton)) {
        const bool inside = rect().contains(event->position().toPoint());
        if (!inside && !heldOutside_) {
            heldOutside_ = true;
            PointerLeft();
        } else if (inside && heldOutside_) {
            heldOutside_ = false;
            PointerEntered();
        }
    }
    TImage::mouseMoveEvent(event);
}

void TMouseEffectImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        held_ = false;
        heldOutside_ = false;
        if (!revertOnLeave_)
            SetPicture(originPicture_);
    }
    TImage::mouseReleaseEvent(event);
}

void TMouseEffectImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click shows no pressed picture, but it
    // holds the pointer like any press, so leaving while held still counts.
    if (event->button() == Qt::LeftButton) {
        held_ = true;
        heldOutside_ = false;
    }
    TImage::mouseDoubleClickEvent(event);
}
