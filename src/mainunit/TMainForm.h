#pragma once
// The main window: a borderless 598 x 422 skin of pictures and transparent
// labels at fixed pixel positions, its own chrome (minimise, close, dragging
// by the background, the hint line, the About link), and the start-up and
// shut-down handlers.

#include "FormComponents.h"
#include "Options.h"
#include "SoundPicture.h"
#include "TimelineView.h"
#include "TransportRules.h"
#include "workThread.h"

#include "BeatGrid.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QScrollArea;
class QTimer;
class QWheelEvent;
class TCanvas;
class TImage;
class TLabel;
class TMediaDevice;
class TPhoneService;
class TPhoneSendJob;
struct TPhoneListing;
struct TPhone;
struct TSendOutcome;
class TMouseEffectImage;
class TSongAnalysis;
class TSoundEnvelope;
class TWaveRender;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Controls, named as in the layout and created in stacking order, bottom
    // to top; ScrollBoxWave lies above them all.
    TImage* imgBack = nullptr;
    TLabel* lblFilename = nullptr;
    TLabel* lblBitrate = nullptr;
    TLabel* lblChannel = nullptr;
    TLabel* lblSampleRate = nullptr;
    TLabel* lblLength = nullptr;
    TLabel* lblBeginPos = nullptr;
    TLabel* lblEndPos = nullptr;
    TLabel* lblSelectedLength = nullptr;
    TMouseEffectImage* btnOpen = nullptr;
    TMouseEffectImage* btnSave = nullptr;
    TMouseEffectImage* btnPlay = nullptr;
    TMouseEffectImage* btnMarkStart = nullptr;
    TMouseEffectImage* btnMarkEnd = nullptr;
    TMouseEffectImage* btnPlaySelected = nullptr;
    TMouseEffectImage* btnMoveLeft = nullptr;
    TMouseEffectImage* btnMoveRight = nullptr;
    TImage* imgAd = nullptr;
    TMouseEffectImage* btnMenu = nullptr;
    TMouseEffectImage* btnMinimize = nullptr;
    TMouseEffectImage* btnClose = nullptr;
    TLabel* sb_status = nullptr;
    TMouseEffectImage* MouseEffectImage1 = nullptr;
    TLabel* lbl_status = nullptr;
    TLabel* lblAbout = nullptr;
    TLabel* lblCurrentPos = nullptr;
    QScrollArea* ScrollBoxWave = nullptr;
    // Where imgWave's first column sits in the scroll box's content.
    static constexpr QPoint WaveOrigin{13, 7};
    // The scroll box's content: imgWave at WaveOrigin; it always ends at
    // imgWave's right and bottom edges, which is what the bars scroll over.
    QWidget* ScrollBoxWaveContent = nullptr;
    TImage* imgWave = nullptr;

    // Invisible components.
    std::unique_ptr<TMediaDevice> MediaPlayer1;
    TFileDialogSettings dlgOpen;
    TFileDialogSettings SaveDialog1;
    QTimer* Timer2 = nullptr;
    TIdleHook* ApplicationEvents1 = nullptr;
    // The options menu: the menu button and a right click open this one menu.
    QMenu* OptionsMenu = nullptr;

    std::unique_ptr<TCanvas> WaveCanvas;
    // Gone once the window closes (see Closing).
    std::unique_ptr<TWaveRender> WaveRender;
    // The loudness of the file shown, decoded by its own worker; none before
    // the first file. Ended before the renderer goes (declared after it).
    std::unique_ptr<TSoundEnvelope> SoundEnvelope;
    // Copies the envelope's new columns into the timeline while it fills.
    QTimer* EnvelopeTimer = nullptr;
    // What the timeline's columns show; the user's kept choice.
    TWaveKind WaveKind = TWaveKind::Sound;
    // Fades and loudness matching; the user's kept choices.
    TRingtoneChoices Choices;
    // Marks snap to the beat; the user's kept choice.
    bool SnapToBeat = false;
    // The window is closing: the renderer, and with it the selection and the
    // cursor, are gone, so no command may act any more.
    bool Closing() const { return !WaveRender; }

    // Full path of the last file opened; empty until the first one. The one
    // record of it: the Save command reads it from here.
    QString OpenedFileName;
    // The last export's record; each worker takes its own copy.
    TCutMp3ThreadInfo JobInfo;

    // Start-up and shut-down.
    void FormCreate();
    void FormShow();
    void FormClose();
    void ReadSettings();

    // Chrome.
    void btnCloseClick();
    void btnMinimizeClick();
    void imgBackMouseMove(Qt::MouseButtons buttons, QPoint pos);
    void imgAdMouseMove(Qt::MouseButtons buttons, QPoint pos);
    // The hint line: lbl_status shows the hint of the button under the pointer.
    void btnPlayMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void btnMarkStartMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void btnMarkEndMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void btnPlaySelectedMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void btnMoveLeftMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void btnMoveRightMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void MouseEffectImage1MouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void lblAboutMouseMove(Qt::MouseButtons buttons, QPoint pos);
    void lblAboutMouseLeave();
    void lblAboutClick();

    // The options menu (see OptionsMenu.cpp).
    void btnMenuClick();
    void btnMenuMouseMove(TMouseEffectImage* sender, Qt::MouseButtons buttons, QPoint pos);
    // Opens the options menu with its top-left at a global position.
    void ShowOptionsMenu(QPoint globalPos);
    void SetFadeIn(int ms);
    void SetFadeOut(int ms);
    void SwitchMatchLoudness();

    // Shaping (see ShapeCommands.cpp): the one plan for the selection, made
    // for a ringtone of `channels` channels; the preview and the export both
    // take it. With matching on, the selection's loudness is measured once
    // per file, selection and channel count.
    ringtone::TShapePlan ShapePlan(const TRingtoneForm& form);

    // Loading a file.
    void btnOpenClick();
    // Steps of Open after the dialog: opens path (full) on the device and
    // loads it; once loaded it becomes OpenedFileName. Used by the dialog, the
    // command line and drops alike.
    void OpenChosenFile(const QString& path);
    // Opens a path as if chosen in the Open dialog (command line, drops).
    void OpenPath(const QString& path);
    void LoadFileInfo(const QString& path);
    bool Loading() const { return loading_; }
    // Makes the timeline's bitmap; a null image means there was no memory for it.
    std::function<QImage(int width, int height)> MakeTimelineBitmap
        = [](int width, int height) { return QImage(width, height, QImage::Format_RGB32); };

    // Export.
    void btnSaveClick();
    // The last ringtone saved in this run; empty until one is.
    QString SavedRingtone;

    // Sending the saved ringtone to a paired phone (see PhoneCommand.cpp).
    // The phones are reached through PhoneService, on a worker thread.
    void SendToPhoneClick();
    bool CanSendToPhone() const;
    bool SendingToPhone() const;
    std::shared_ptr<TPhoneService> PhoneService;

    // The music of the song shown (see BeatCommands.cpp): given by the sound
    // module once the song is analysed; nullptr while it is analysed and with
    // no file. Showing another file drops it, so hand it over once the file
    // is shown. GUI thread only (a worker reaches it by a blocking queued
    // call). The window only asks it for results; it never changes the
    // selection by itself.
    void SetSongAnalysis(std::shared_ptr<const TSongAnalysis> analysis);
    const TSongAnalysis* SongAnalysis() const { return analysis_.get(); }
    // B: snap to the beat on / off, kept for the next start.
    void SwitchSnapToBeat();
    // C: selects the suggested ringtone (the chorus), the cursor and the view on its start.
    void SuggestRingtoneClick();

    // Transport.
    void btnPlayClick();
    void MouseEffectImage1Click();
    void btnMarkStartClick();
    void btnMarkEndClick();
    void btnPlaySelectedClick();
    void btnMoveLeftClick();
    void btnMoveRightClick();
    // L: the end of the selection straight into its start, as the phone repeats it.
    void PlayLoopClick();
    void imgWaveMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);
    void imgWaveMouseMove(Qt::MouseButtons buttons, QPoint pos);
    void imgWaveMouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, QPoint pos);
    void Timer2Timer();
    void ApplicationEvents1Idle();

    // Keyboard: each key runs its button's handler (see Keyboard.cpp).
    void PlayOrPauseKey();
    void CursorLeftKey();
    void CursorRightKey();
    void CursorHomeKey();
    void CursorEndKey();
    void KeysHelp();
    // W: the real sound or the decorative picture, kept for the next start.
    void SwitchWaveKey();
    // Alt+Left, Alt+Right: the cursor one column of the scale shown.
    void CursorColumnLeftKey();
    void CursorColumnRightKey();

    // Zoom (see TimelineZoom.cpp). +, - and 0 zoom round the play cursor,
    // Ctrl+wheel round the pointer. The scale is not kept: every start shows
    // the default one.
    void ZoomInKey();
    void ZoomOutKey();
    void ZoomResetKey();
    // Shows the timeline at `scale` columns a second with the time anchorMs
    // anchorViewX pixels from the view's left edge.
    void ZoomAt(int scale, int64_t anchorMs, int anchorViewX);
    bool Zoomed() const;
    // The key table as the help box and the README list it.
    static QString KeysText();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void ApplySelection(const Transport::PlaceChange& change);
    void ApplyCursorMove(const Transport::PlacePlan& plan);
    void BindEvents();
    void CentreOnScreen();
    void ShowHint(const TMouseEffectImage* sender);
    void FitScrollContent();
    void MoveCursorByKey(TTimePos place);
    // Zoomed in: draws the window round the view when the view left it
    // (always when `force`), and scrolls to a playing cursor.
    void PlaceTimelineWindow(bool force);
    // Back to the default scale without drawing: a new file is shown.
    void DropZoom();
    void FillWindowSamples();
    void KeepCursorInView();
    // Zooms round the play cursor, kept where it shows (or mid-view).
    void ZoomAroundCursor(int scale);
    bool TimelineWheel(QWheelEvent* event);
    // The default scale's samples, in the renderer or put aside while zoomed.
    std::vector<int>& DefaultSamples();
    void BuildOptionsMenu();
    void RefreshOptionsMenu();
    void KeepChoices();
    TMatchGain MeasureMatchGain(const TLoudnessKey& key);
    // Measured once per stretch; a failure shows on the status line.
    TMatchGain CachedMatchGain(const TLoudnessKey& key);
    // The device shapes Play selection as the export will.
    void ShapePreview(const ringtone::TShapePlan& plan);
    // The job record carries the plan to the export.
    // The timeline sized to a new file, drawn as chosen (see SoundPicture.cpp).
    void ShowNewTimeline(int width);
    void StartEnvelope(const std::string& fileName, int width);
    void StopEnvelope();
    void EnvelopeTimerTimer();
    void ShowEnvelopeColumns();
    // The beats drawn under the ruler when snapping is on and they are known.
    void ShowBeatTicks();
    // The grid marks snap to; nullptr while the analysis is not ready.
    const beats::TBeatGrid* SnapGrid() const;
    // How much of a ringtone the chosen phone plays, seconds; 0: no limit known.
    int PhonePlaysSeconds() const;
    void PhonesListed(const TPhoneListing& listing);
    void SendToChosenPhone(const TPhone& phone);
    void PhoneSendDone(const TSendOutcome& outcome);

    std::unique_ptr<TWindowDrag> drag_;
    // True while a file loads: the analyser pumps events, so a second Open
    // could otherwise start in the middle of the first.
    bool loading_ = false;
    // The decorative walk of the file shown, kept while the sound is drawn.
    std::vector<int> walk_;
    // Envelope columns already in the timeline's samples.
    int envelopeShown_ = 0;
    std::string envelopeFile_;
    // While zoomed in: the default scale's picture and samples, put aside,
    // the window drawn, and the envelope's columns in it at that time.
    QImage defaultPicture_;
    std::vector<int> defaultSamples_;
    TimelineView::Window window_;
    int windowFilled_ = 0;
    // Ctrl+wheel turned since the last zoom step, eighths of a degree: a
    // touchpad sends many small turns for one notch of 120.
    int wheelZoomTurn_ = 0;
    TLoudnessCache loudness_;
    // The phone's worker; declared last, so it is stopped and joined first.
    std::unique_ptr<TPhoneSendJob> phoneJob_;
    bool sendingToPhone_ = false;
    std::shared_ptr<const TSongAnalysis> analysis_;
};

// Program entry: application object, title, main window, message loop.
int RunApplication(int argc, char** argv);
