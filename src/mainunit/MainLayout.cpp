// The main window's controls at their fixed pixel places, and the settings of
// its invisible components.

#include "TMainForm.h"

#include "ErrorGuard.h"
#include "MediaDevice.h"
#include "MouseEffectImage.h"
#include "SkinFont.h"
#include "SkinPictures.h"
#include "StartupStamp.h"
#include "TImage.h"
#include "TLabel.h"
#include "WaveRender.h"
#include "appDefine.h"
#include "workThread.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QtDebug>

namespace {

constexpr QSize WindowSize(598, 422);
// The window's and the labels' character height, in pixels.
constexpr int FontPixels = 11;
// Where imgWave sits inside the scroll box's client area.
constexpr QPoint WaveOrigin = TMainForm::WaveOrigin;

const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

// A label at its place in the skin's font; a fixed-size one keeps the place's size.
TLabel* AddLabel(QWidget* parent, const char* name, QRect place, const QString& text, bool fixedSize)
{
    auto* field = new TLabel(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->SetFont(SkinFont(FontPixels));
    field->move(place.topLeft());
    if (fixedSize) {
        field->SetAutoSize(false);
        field->resize(place.size());
    }
    return field;
}

// A button with its place, hint and pictures from the skin's button table.
TMouseEffectImage* AddButton(QWidget* parent, const Skin::TButtonFace& face)
{
    auto* field = new TMouseEffectImage(parent);
    const QString control = QString::fromLatin1(face.control);
    field->setObjectName(control);
    field->SetRevertOnLeave(false);
    field->setGeometry(face.place);
    field->SetHint(*face.hint ? QCoreApplication::translate("Skin", face.hint) : QString());
    // A missing picture leaves the button its place, empty.
    if (!Skin::ApplyButtonPictures(*field, control))
        qWarning("Loading the pictures of %s failed", face.control);
    return field;
}

void ShowPicture(TImage* image, const char* path)
{
    const QImage face = Skin::Load(QString::fromLatin1(path));
    if (face.isNull())
        qWarning("Loading the skin picture %s failed", path);
    image->SetPicture(face);
}

// The steps below run in this order: each control is created above the ones
// before it.

void SetUpWindow(TMainForm& form)
{
    form.setObjectName(QStringLiteral("MainForm"));
    form.setWindowTitle(QString::fromUtf8(ApplicationTitle));
    form.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // Read after the first paint: nobody sees the icon before the window,
    // and its nine pictures cost the window's first paint 2-3 ms.
    AfterFirstPaint(&form, [&form] {
        QApplication::setWindowIcon(Skin::ApplicationIcon());
        form.setWindowIcon(Skin::ApplicationIcon());
    });
    form.setFont(SkinFont(FontPixels));
    form.setFixedSize(WindowSize);
}

void AddBackground(TMainForm& form)
{
    form.imgBack = new TImage(&form);
    form.imgBack->setObjectName(QStringLiteral("imgBack"));
    form.imgBack->setGeometry(QRect(QPoint(0, 0), WindowSize));
    form.imgBack->SetAutoSize(true);
    ShowPicture(form.imgBack, Skin::Back);
}

void AddPropertyLabels(TMainForm& form)
{
    const struct {
        TLabel*& field;
        const char* name;
        QRect place;
        const char* text;
    } labels[] = {
        {form.lblFilename, "lblFilename", {188, 262, 176, 13}, QT_TRANSLATE_NOOP("MainForm", "File Name:")},
        {form.lblBitrate, "lblBitrate", {188, 282, 176, 16}, QT_TRANSLATE_NOOP("MainForm", "Bitrate:")},
        {form.lblChannel, "lblChannel", {188, 304, 176, 13}, QT_TRANSLATE_NOOP("MainForm", "Channels:")},
        {form.lblSampleRate, "lblSampleRate", {188, 324, 176, 13},
            QT_TRANSLATE_NOOP("MainForm", "Sample Rate:")},
        {form.lblLength, "lblLength", {188, 344, 176, 13}, QT_TRANSLATE_NOOP("MainForm", "Length:")},
        {form.lblBeginPos, "lblBeginPos", {393, 262, 175, 13}, QT_TRANSLATE_NOOP("MainForm", "Begin Pos: ")},
        {form.lblEndPos, "lblEndPos", {393, 282, 175, 16}, QT_TRANSLATE_NOOP("MainForm", "End Pos:")},
        {form.lblSelectedLength, "lblSelectedLength", {393, 304, 175, 13},
            QT_TRANSLATE_NOOP("MainForm", "Length: ")},
    };
    for (const auto& label : labels)
        label.field = AddLabel(
            &form, label.name, label.place, QCoreApplication::translate("MainForm", label.text), true);
}

void AddCommandButtons(TMainForm& form)
{
    form.btnOpen = AddButton(&form, Skin::OpenButton);
    form.btnSave = AddButton(&form, Skin::SaveButton);
    form.btnPlay = AddButton(&form, Skin::PlayButton);
    form.btnMarkStart = AddButton(&form, Skin::MarkStartButton);
    form.btnMarkEnd = AddButton(&form, Skin::MarkEndButton);
    form.btnPlaySelected = AddButton(&form, Skin::PlaySelectedButton);
    form.btnMoveLeft = AddButton(&form, Skin::MoveLeftButton);
    form.btnMoveRight = AddButton(&form, Skin::MoveRightButton);
}

void AddBanner(TMainForm& form)
{
    // The banner keeps its 363 x 170 place; its 361 x 169 picture sits at the
    // top-left, and the background shows in the rest.
    form.imgAd = new TImage(&form);
    form.imgAd->setObjectName(QStringLiteral("imgAd"));
    form.imgAd->SetAutoSize(false);
    form.imgAd->setGeometry(13, 38, 363, 170);
    ShowPicture(form.imgAd, Skin::Ad);
}

// The title-bar buttons, the status line, the pause button, the hint line,
// the About link and the current position.
void AddChrome(TMainForm& form)
{
    form.btnMenu = AddButton(&form, Skin::MenuButton);
    form.btnMinimize = AddButton(&form, Skin::MinimizeButton);
    form.btnClose = AddButton(&form, Skin::CloseButton);

    // Auto-sized: the export's status texts make it grow.
    form.sb_status = AddLabel(&form, "sb_status", {1, 400, 90, 13}, QString(30, u' '), false);
    form.sb_status->SetTextColor(Black);

    form.MouseEffectImage1 = AddButton(&form, Skin::PauseButton);

    // The hint line grows and shrinks from its left edge at x = 395.
    form.lbl_status = AddLabel(
        &form, "lbl_status", {395, 186, 25, 13}, QCoreApplication::translate("Skin", "Play"), false);
    form.lbl_status->SetFont(SkinFont(FontPixels, QFont::Bold));
    form.lbl_status->SetTextColor(Yellow);

    form.lblAbout = AddLabel(
        &form, "lblAbout", {60, 367, 28, 13}, QCoreApplication::translate("MainForm", "About"), false);
    form.lblAbout->SetTextColor(White);

    form.lblCurrentPos = AddLabel(&form, "lblCurrentPos", {393, 324, 175, 13},
        QCoreApplication::translate("MainForm", "Current Pos: "), true);
}

// The timeline's scroll box and its picture; the caller fits the scrolled
// extent and keeps it fitted.
void AddTimeline(TMainForm& form)
{
    // A flat one-pixel border round a 361 x 169 client area, the banner's place.
    QScrollArea* box = form.ScrollBoxWave = new QScrollArea(&form);
    box->setObjectName(QStringLiteral("ScrollBoxWave"));
    box->setGeometry(12, 36, 363, 171);
    box->setFrameShape(QFrame::Box);
    box->setFrameShadow(QFrame::Plain);
    box->setLineWidth(1);
    box->setWidgetResizable(false);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    form.ScrollBoxWaveContent = new QWidget;
    form.ScrollBoxWaveContent->setObjectName(QStringLiteral("ScrollBoxWaveContent"));
    form.imgWave = new TImage(form.ScrollBoxWaveContent);
    form.imgWave->setObjectName(QStringLiteral("imgWave"));
    form.imgWave->SetPicture(QImage(276, 152, QImage::Format_RGB32));
    form.imgWave->Picture().fill(Qt::black);
    form.imgWave->setGeometry(QRect(WaveOrigin, QSize(276, 152)));
    box->setWidget(form.ScrollBoxWaveContent);
}

// The device, the dialogs' settings, the position timer and the idle hook.
void SetUpComponents(TMainForm& form)
{
    form.MediaPlayer1 = std::make_unique<TMediaDevice>();
    form.MediaPlayer1->AutoOpen = false;
    form.MediaPlayer1->AutoRewind = true;
    form.MediaPlayer1->Shareable = false;

    form.dlgOpen.Filter = QCoreApplication::translate("MainForm", "Mp3 Music Files (*.mp3)")
        + QStringLiteral("|*.mp3|") + QCoreApplication::translate("MainForm", "Wave Files (*.wav)")
        + QStringLiteral("|*.wav|") + QCoreApplication::translate("MainForm", "WMA Files (*.wma)")
        + QStringLiteral("|*.wma|") + QCoreApplication::translate("MainForm", "All Files (*.*)")
        + QStringLiteral("|*.*");
    // The ringtone types the export writes; MP3 first, so it is the dialog's default.
    form.SaveDialog1.Filter = RingtoneFilter();
    form.SaveDialog1.DefaultExt = QStringLiteral("mp3");

    form.Timer2 = new QTimer(&form);
    form.Timer2->setObjectName(QStringLiteral("Timer2"));
    form.Timer2->setInterval(1000);
    TMainForm* owner = &form;
    form.ApplicationEvents1 = new TIdleHook([owner] { owner->ApplicationEvents1Idle(); }, owner);
    form.ApplicationEvents1->setObjectName(QStringLiteral("ApplicationEvents1"));
}

} // namespace

void TMainForm::BuildLayout()
{
    SetUpWindow(*this);
    AddBackground(*this);
    AddPropertyLabels(*this);
    AddCommandButtons(*this);
    AddBanner(*this);
    AddChrome(*this);
    AddTimeline(*this);
    // Whoever resizes imgWave resizes the scrolled extent with it.
    imgWave->installEventFilter(this);
    // Ctrl+wheel zooms; zoomed in, a scrolled view draws its part anew.
    ScrollBoxWave->viewport()->installEventFilter(this);
    connect(ScrollBoxWave->horizontalScrollBar(), &QScrollBar::valueChanged, this,
        [this] { Guarded([this] { PlaceTimelineWindow(false); }); });
    FitScrollContent();
    ScrollBoxWave->hide();
    ScrollBoxWave->raise();
    SetUpComponents(*this);
    CentreOnScreen();
}

void TMainForm::FitScrollContent()
{
    const QRect wave = imgWave->geometry();
    int right = wave.x() + wave.width();
    // Zoomed in, the picture is a window: the content spans the whole timeline.
    if (!Closing() && Zoomed())
        right = static_cast<int>(
            std::clamp<int64_t>(WaveOrigin.x() + WaveRender->TimelineColumns(), right, QWIDGETSIZE_MAX));
    ScrollBoxWaveContent->resize(right, wave.y() + wave.height());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgWave && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        FitScrollContent();
    if (watched == ScrollBoxWave->viewport() && event->type() == QEvent::Wheel
        && TimelineWheel(static_cast<QWheelEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TMainForm::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect place(QPoint(0, 0), size());
    place.moveCenter(screen->availableGeometry().center());
    move(place.topLeft());
}
