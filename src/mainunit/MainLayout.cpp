// The main window's controls at their fixed pixel places, and the settings of
// its invisible components.

#include "TMainForm.h"

#include "MPlayer.h"
#include "MouseEffectImage.h"
#include "SkinFont.h"
#include "SkinPictures.h"
#include "TImage.h"
#include "TLabel.h"
#include "appDefine.h"
#include "workThread.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QtDebug>

namespace {

constexpr QSize WindowSize(598, 422);
// The window's and the labels' character height, in pixels.
constexpr int FontPixels = 11;
// Where imgWave sits inside the scroll box's client area.
constexpr QPoint WaveOrigin(13, 7);

const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

} // namespace

void TMainForm::BuildLayout()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowIcon(Skin::ApplicationIcon());
    setFont(SkinFont(FontPixels));
    setFixedSize(WindowSize);

    auto label = [this](TLabel*& field, const char* name, QRect place, const QString& text, bool fixedSize) {
        field = new TLabel(text, this);
        field->setObjectName(QString::fromLatin1(name));
        field->SetFont(SkinFont(FontPixels));
        field->move(place.topLeft());
        if (fixedSize) {
            field->SetAutoSize(false);
            field->resize(place.size());
        }
    };
    auto button = [this](TMouseEffectImage*& field, const Skin::TButtonFace& face) {
        field = new TMouseEffectImage(this);
        const QString control = QString::fromLatin1(face.control);
        field->setObjectName(control);
        field->SetRevertOnLeave(false);
        field->setGeometry(face.place);
        field->SetHint(QString::fromLatin1(face.hint));
        // A missing picture leaves the button its place, empty.
        if (!Skin::ApplyButtonPictures(*field, control))
            qWarning("Loading the pictures of %s failed", face.control);
    };
    auto picture = [](TImage* image, const char* path) {
        const QImage face = Skin::Load(QString::fromLatin1(path));
        if (face.isNull())
            qWarning("Loading the skin picture %s failed", path);
        image->SetPicture(face);
    };

    imgBack = new TImage(this);
    imgBack->setObjectName(QStringLiteral("imgBack"));
    imgBack->setGeometry(QRect(QPoint(0, 0), WindowSize));
    imgBack->SetAutoSize(true);
    picture(imgBack, Skin::Back);

    label(lblFilename, "lblFilename", {188, 262, 176, 13}, QStringLiteral("File Name:"), true);
    label(lblBitrate, "lblBitrate", {188, 282, 176, 16}, QStringLiteral("Bitrate:"), true);
    label(lblChannel, "lblChannel", {188, 304, 176, 13}, QStringLiteral("Channels:"), true);
    label(lblSampleRate, "lblSampleRate", {188, 324, 176, 13}, QStringLiteral("Sample Rate:"), true);
    label(lblLength, "lblLength", {188, 344, 176, 13}, QStringLiteral("Length:"), true);
    label(lblBeginPos, "lblBeginPos", {393, 262, 175, 13}, QStringLiteral("Begin Pos: "), true);
    label(lblEndPos, "lblEndPos", {393, 282, 175, 16}, QStringLiteral("End Pos:"), true);
    label(lblSelectedLength, "lblSelectedLength", {393, 304, 175, 13}, QStringLiteral("Length: "), true);

    // Places, hints and pictures of the buttons come from the skin's button table.
    button(btnOpen, Skin::OpenButton);
    button(btnSave, Skin::SaveButton);
    button(btnPlay, Skin::PlayButton);
    button(btnMarkStart, Skin::MarkStartButton);
    button(btnMarkEnd, Skin::MarkEndButton);
    button(btnPlaySelected, Skin::PlaySelectedButton);
    button(btnMoveLeft, Skin::MoveLeftButton);
    button(btnMoveRight, Skin::MoveRightButton);

    // The banner keeps its 363 x 170 place; its 361 x 169 picture sits at the
    // top-left, and the background shows in the rest.
    imgAd = new TImage(this);
    imgAd->setObjectName(QStringLiteral("imgAd"));
    imgAd->SetAutoSize(false);
    imgAd->setGeometry(13, 38, 363, 170);
    picture(imgAd, Skin::Ad);

    button(btnMinimize, Skin::MinimizeButton);
    button(btnClose, Skin::CloseButton);

    // Auto-sized: the export's status texts make it grow.
    label(sb_status, "sb_status", {1, 400, 90, 13}, QString(30, u' '), false);
    sb_status->SetTextColor(Black);

    button(MouseEffectImage1, Skin::PauseButton);

    // The hint line grows and shrinks from its left edge at x = 395.
    label(lbl_status, "lbl_status", {395, 186, 25, 13}, QStringLiteral("Play"), false);
    lbl_status->SetFont(SkinFont(FontPixels, QFont::Bold));
    lbl_status->SetTextColor(Yellow);

    label(lblAbout, "lblAbout", {60, 367, 28, 13}, QStringLiteral("About"), false);
    lblAbout->SetTextColor(White);

    label(lblCurrentPos, "lblCurrentPos", {393, 324, 175, 13}, QStringLiteral("Current Pos: "), true);

    // A flat one-pixel border round a 361 x 169 client area, the banner's place.
    ScrollBoxWave = new QScrollArea(this);
    ScrollBoxWave->setObjectName(QStringLiteral("ScrollBoxWave"));
    ScrollBoxWave->setGeometry(12, 36, 363, 171);
    ScrollBoxWave->setFrameShape(QFrame::Box);
    ScrollBoxWave->setFrameShadow(QFrame::Plain);
    ScrollBoxWave->setLineWidth(1);
    ScrollBoxWave->setWidgetResizable(false);
    ScrollBoxWave->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBoxWave->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBoxWave->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ScrollBoxWaveContent = new QWidget;
    ScrollBoxWaveContent->setObjectName(QStringLiteral("ScrollBoxWaveContent"));
    imgWave = new TImage(ScrollBoxWaveContent);
    imgWave->setObjectName(QStringLiteral("imgWave"));
    imgWave->SetPicture(QImage(276, 152, QImage::Format_RGB32));
    imgWave->Picture().fill(Qt::black);
    imgWave->setGeometry(QRect(WaveOrigin, QSize(276, 152)));
    ScrollBoxWave->setWidget(ScrollBoxWaveContent);
    // Whoever resizes imgWave resizes the scrolled extent with it.
    imgWave->installEventFilter(this);
    FitScrollContent();
    ScrollBoxWave->hide();
    ScrollBoxWave->raise();

    MediaPlayer1 = std::make_unique<TMediaPlayer>();
    MediaPlayer1->AutoOpen = false;
    MediaPlayer1->AutoRewind = true;
    MediaPlayer1->Shareable = false;

    dlgOpen.Filter
        = QStringLiteral("Mp3 Music Files (*.mp3)|*.mp3|Wave Files (*.wav)|*.wav|WMA Files (*.wma)|*.wma|"
                         "All Files (*.*)|*.*");
    // The ringtone types the export writes; MP3 first, so it is the dialog's default.
    SaveDialog1.Filter = RingtoneFilter();
    SaveDialog1.DefaultExt = QStringLiteral("mp3");

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    ApplicationEvents1 = new TIdleHook([this] { ApplicationEvents1Idle(); }, this);
    ApplicationEvents1->setObjectName(QStringLiteral("ApplicationEvents1"));

    CentreOnScreen();
}

void TMainForm::FitScrollContent()
{
    const QRect wave = imgWave->geometry();
    ScrollBoxWaveContent->resize(wave.x() + wave.width(), wave.y() + wave.height());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgWave && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        FitScrollContent();
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
