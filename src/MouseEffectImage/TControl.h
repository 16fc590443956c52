#pragma once
// The mouse behaviour every skin control shares: press, move and release
// signals, and the click rule — a left press captures the mouse, and a click
// is reported when the button is released inside the control it was pressed
// on. The second press of a double click is not a new press.

#include <QWidget>

class TControl : public QWidget {
    Q_OBJECT
public:
    explicit TControl(QWidget* parent = nullptr);

    // A click from the keyboard or a screen reader: the mouse click's handlers.
    void PerformClick() { emit Click(); }

signals:
    void MouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);
    void MouseMove(Qt::MouseButtons buttons, QPoint pos);
    void MouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool clickPending_ = false;
};
