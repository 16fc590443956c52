// The window's own chrome, since it has no system frame: close, minimise,
// dragging by the background, the hint line and the About link; and the
// binding of every control's events to its handler.

#include "TMainForm.h"

#include "ErrorGuard.h"
#include "MouseEffectImage.h"
#include "TImage.h"
#include "TLabel.h"
#include "aboutUnit.h"

#include <QTimer>

namespace {

const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);

} // namespace

void TMainForm::BindEvents()
{
    using Buttons = Qt::MouseButtons;

    drag_ = std::make_unique<TWindowDrag>(this);
    drag_->Watch(imgBack);
    drag_->Watch(imgAd);
    connect(imgBack, &TImage::MouseMove, this,
        [this](Buttons b, QPoint p) { Guarded([&] { imgBackMouseMove(b, p); }); });
    connect(imgAd, &TImage::MouseMove, this,
        [this](Buttons b, QPoint p) { Guarded([&] { imgAdMouseMove(b, p); }); });

    auto click = [this](TMouseEffectImage* button, void (TMainForm::*handler)()) {
        connect(button, &TImage::Click, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    click(btnOpen, &TMainForm::btnOpenClick);
    click(btnSave, &TMainForm::btnSaveClick);
    click(btnPlay, &TMainForm::btnPlayClick);
    click(btnMarkStart, &TMainForm::btnMarkStartClick);
    click(btnMarkEnd, &TMainForm::btnMarkEndClick);
    click(btnPlaySelected, &TMainForm::btnPlaySelectedClick);
    click(btnMoveLeft, &TMainForm::btnMoveLeftClick);
    click(btnMoveRight, &TMainForm::btnMoveRightClick);
    click(btnMenu, &TMainForm::btnMenuClick);
    click(btnMinimize, &TMainForm::btnMinimizeClick);
    click(btnClose, &TMainForm::btnCloseClick);
    click(MouseEffectImage1, &TMainForm::MouseEffectImage1Click);

    using HoverHandler = void (TMainForm::*)(TMouseEffectImage*, Buttons, QPoint);
    auto hover = [this](TMouseEffectImage* button, HoverHandler handler) {
        connect(button, &TImage::MouseMove, this, [this, button, handler](Buttons b, QPoint p) {
            Guarded([&] { (this->*handler)(button, b, p); });
        });
    };
    hover(btnPlay, &TMainForm::btnPlayMouseMove);
    hover(btnMarkStart, &TMainForm::btnMarkStartMouseMove);
    hover(btnMarkEnd, &TMainForm::btnMarkEndMouseMove);
    hover(btnPlaySelected, &TMainForm::btnPlaySelectedMouseMove);
    hover(btnMoveLeft, &TMainForm::btnMoveLeftMouseMove);
    hover(btnMoveRight, &TMainForm::btnMoveRightMouseMove);
    hover(MouseEffectImage1, &TMainForm::MouseEffectImage1MouseMove);
    hover(btnMenu, &TMainForm::btnMenuMouseMove);

    connect(lblAbout, &TLabel::MouseMove, this,
        [this](Buttons b, QPoint p) { Guarded([&] { lblAboutMouseMove(b, p); }); });
    connect(lblAbout, &TLabel::MouseLeave, this, [this] { Guarded([&] { lblAboutMouseLeave(); }); });
    connect(lblAbout, &TLabel::Click, this, [this] { Guarded([&] { lblAboutClick(); }); });

    connect(imgWave, &TImage::MouseDown, this, [this](Qt::MouseButton button, Buttons b, QPoint p) {
        Guarded([&] { imgWaveMouseDown(button, b, p); });
    });
    connect(imgWave, &TImage::MouseMove, this,
        [this](Buttons b, QPoint p) { Guarded([&] { imgWaveMouseMove(b, p); }); });
    connect(imgWave, &TImage::MouseUp, this, [this](Qt::MouseButton button, Buttons b, QPoint p) {
        Guarded([&] { imgWaveMouseUp(button, b, p); });
    });

    connect(Timer2, &QTimer::timeout, this, [this] { Guarded([&] { Timer2Timer(); }); });
    Timer2->start();
}

void TMainForm::btnCloseClick()
{
    close();
}

void TMainForm::btnMinimizeClick()
{
    showMinimized();
}

void TMainForm::imgBackMouseMove(Qt::MouseButtons buttons, QPoint)
{
    if (buttons & Qt::LeftButton)
        drag_->Start();
}

void TMainForm::imgAdMouseMove(Qt::MouseButtons buttons, QPoint)
{
    if (buttons & Qt::LeftButton)
        drag_->Start();
}

void TMainForm::ShowHint(const TMouseEffectImage* sender)
{
    if (sender)
        lbl_status->SetCaption(sender->Hint());
}

void TMainForm::btnPlayMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::btnMarkStartMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::btnMarkEndMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::btnPlaySelectedMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::btnMoveLeftMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::btnMoveRightMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::MouseEffectImage1MouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::lblAboutMouseMove(Qt::MouseButtons, QPoint)
{
    lblAbout->SetUnderline(true);
    lblAbout->SetTextColor(Yellow);
}

void TMainForm::lblAboutMouseLeave()
{
    lblAbout->SetUnderline(false);
    lblAbout->SetTextColor(White);
}

void TMainForm::lblAboutClick()
{
    TAboutForm::ShowModalOver(this);
}
