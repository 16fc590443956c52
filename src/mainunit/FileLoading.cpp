// The Open command: a file from the dialog (or the command line, or a drop)
// is opened on the device, measured, shown in the properties panel, and the
// timeline is sized to its playing time.

#include "TMainForm.h"

#include "Dialogs.h"
#include "appDefine.h"
#include "FileInfo.h"
#include "MPGTools.h"
#include "MediaDevice.h"
#include "MediaLoader.h"
#include "TImage.h"
#include "TLabel.h"
#include "WaveRender.h"

#include <QCoreApplication>
#include <QScrollArea>

#include <optional>
#include <stdexcept>
#include <string>

namespace {

// The analyser's words in the labels ("Mono", "Stereo", "VBR"), translated
// where they are shown; listed here for the translation tools.
[[maybe_unused]] constexpr const char* AnalyserWords[] = {
    QT_TRANSLATE_NOOP("MainForm", "Mono"),
    QT_TRANSLATE_NOOP("MainForm", "Stereo"),
    QT_TRANSLATE_NOOP("MainForm", "VBR"),
};

QString AnalyserWord(const std::string& word)
{
    return QCoreApplication::translate("MainForm", word.c_str());
}

// Clears a flag when the scope ends, however it ends.
struct TFlagScope {
    explicit TFlagScope(bool& flag)
        : flag_(flag)
    {
        flag_ = true;
    }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
    bool& flag_;
};

// The file system's bytes of a name; refuses a name no file can have rather
// than open another one.
std::string NativeFileName(const QString& path)
{
    const std::optional<QByteArray> bytes = FileNameBytes(path);
    if (!bytes)
        throw std::runtime_error(
            QCoreApplication::translate("MainForm", "Cannot open '%1': the name holds characters no file name can have")
                .arg(DisplayFileName(path))
                .toStdString());
    return bytes->toStdString();
}

} // namespace

void TMainForm::btnOpenClick()
{
    // The analyser dispatches events while it scans: a second Open then waits
    // for the first to finish instead of starting inside it.
    if (loading_)
        return;
    // The media libraries load while the user picks the file.
    MediaLoader().Start();
    if (!Dialogs().ExecuteOpen(dlgOpen))
        return;
    OpenChosenFile(dlgOpen.FileName);
}

void TMainForm::OpenChosenFile(const QString& path)
{
    if (loading_ || Closing())
        return;
    const TFlagScope loading(loading_);
    MediaPlayer1->FileName = NativeFileName(path);
    MediaPlayer1->Open();
    LoadFileInfo(path);
    // The window closed during the scan: stop here.
    if (Closing())
        return;
    OpenedFileName = path;
    imgAd->hide();
    ScrollBoxWave->show();
    // The label clips a long path; its tooltip shows all of it.
    lblFilename->setToolTip(lblFilename->Caption());
    StartEnvelope(MediaPlayer1->FileName, WaveRender->WaveLength);
}

void TMainForm::OpenPath(const QString& path)
{
    if (loading_)
        return;
    const QString full = AbsoluteFileName(path);
    // The Open dialog offers it next time, as if it had been chosen there.
    dlgOpen.FileName = full;
    OpenChosenFile(full);
}

void TMainForm::LoadFileInfo(const QString& path)
{
    TFileInfoTexts texts;
    int seconds = 0;
    if (IsMp3Name(path)) {
        TMPEGAudio audio;
        // Runs the analysis now, with its error prompt while the labels still
        // show the previous file.
        audio.SetFileName(NativeFileName(path));
        if (Closing())
            return;
        seconds = audio.Duration;
        texts = Mp3InfoTexts(DisplayFileName(path),
            {audio.SampleRate, DurationText(audio.DurationAsTime()),
                AnalyserWord(audio.BitRateText()), AnalyserWord(audio.ChannelText())});
    } else {
        seconds = MediaPlayer1->Length() / 1000;
        texts = OtherInfoTexts(DisplayFileName(path), seconds);
    }
    const int width = TimelineWidth(seconds);
    // Made before anything changes, so a file too long for memory leaves the
    // window as it was.
    QImage bitmap = MakeTimelineBitmap(width, imgWave->Picture().height());
    if (width > 0 && bitmap.isNull())
        throw std::runtime_error(
            QCoreApplication::translate("MainForm", "Not enough memory for the timeline of %1 seconds").arg(seconds).toStdString());

    lblFilename->SetCaption(texts.FileName);
    lblSampleRate->SetCaption(texts.SampleRate);
    lblLength->SetCaption(texts.Length);
    lblBitrate->SetCaption(texts.Bitrate);
    lblChannel->SetCaption(texts.Channel);

    imgWave->resize(width, imgWave->height());
    imgWave->Picture() = std::move(bitmap);
    ShowNewTimeline(width);
    imgWave->PictureChanged();
}
