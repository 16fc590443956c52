#pragma once
// The skin's image button: a picture that behaves as a button. It keeps a
// normal, a hover and a pressed picture of its own and copies one of them into
// the displayed picture as the pointer enters and leaves and as the left
// button goes down and up. It draws nothing else: no frame, text or focus mark.

#include "TImage.h"

#include <QEvent>
#include <QImage>

class QEnterEvent;

class TMouseEffectImage : public TImage {
    Q_OBJECT
public:
    // Posted (never sent) to the parent on every pointer entry. Nothing in the
    // application acts on it; it exists for owners that want to know.
    static constexpr QEvent::Type EnterNotice = static_cast<QEvent::Type>(QEvent::User + 1001);

    explicit TMouseEffectImage(QWidget* parent = nullptr);

    // The control's own holders, not copies.
    QImage& OriginPicture() { return originPicture_; }
    const QImage& OriginPicture() const { return originPicture_; }
    QImage& OverPicture() { return overPicture_; }
    const QImage& OverPicture() const { return overPicture_; }
    QImage& DownPicture() { return downPicture_; }
    const QImage& DownPicture() const { return downPicture_; }

    // Shows the new normal picture at once, whatever the pointer is doing.
    void SetOriginPicture(const QImage& image);
    // These two only fill their holders; the display changes at the next
    // entry or press.
    void SetOverPicture(const QImage& image);
    void SetDownPicture(const QImage& image);

    // False: releasing the left button brings back the normal picture at once.
    // True: the pressed picture stays until the pointer leaves.
    bool RevertOnLeave() const { return revertOnLeave_; }
    void SetRevertOnLeave(bool on) { revertOnLeave_ = on; }

    // The tooltip text; empty switches the tooltip off.
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

protected:
    // Each handler changes the picture first and then runs the base handling,
    // so the owner's handlers already see the new picture on screen.
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PointerEntered();
    void PointerLeft();

    QImage overPicture_;
    QImage originPicture_;
    QImage downPicture_;
    bool revertOnLeave_ = false;
    // Qt holds enter and leave back while a button is down; the control that
    // was pressed still has to see the pointer leave and come back.
    bool held_ = false;
    bool heldOutside_ = false;
};
