#include "TControl.h"

#include <QKeyEvent>
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

void TControl::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool activates = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (activates && (focusPolicy() & Qt::TabFocus)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !event->isAutoRepeat()) {
        event->accept();
        emit Click();
        return;
    }
    // Everything else goes on to the window's keys.
    QWidget::keyPressEvent(event);
}
