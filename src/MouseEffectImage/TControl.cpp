#include "TControl.h"

#include <QMouseEvent>

TControl::TControl(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void TControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        clickPending_ = true;
    emit MouseDown(event->button(), event->buttons(), event->position().toPoint());
}

void TControl::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(event->buttons(), event->position().toPoint());
}

void TControl::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click
        = event->button() == Qt::LeftButton && clickPending_ && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        clickPending_ = false;
    if (click)
        emit Click();
    emit MouseUp(event->button(), event->buttons(), event->position().toPoint());
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->buttons(), event->position().toPoint());
}
