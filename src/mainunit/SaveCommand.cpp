// The Save command: a target from the save dialog, then the export job.

#include "Dialogs.h"
#include "Options.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// The job's window: the status line and the dialogs. Lives on the GUI thread
// as a child of the main window, so it goes with it.
class TFormJobView final : public TJobView {
public:
    explicit TFormJobView(TMainForm* form)
        : TJobView(form)
        , form_(form)
        , status_(form->sb_status)
    {
    }

    void SetStatus(const QString& text) override
    {
        if (status_)
            status_->SetCaption(DisplayFileName(text));
    }
    bool Question(const QString& caption, const QString& text) override
    {
        return Dialogs().Question(caption, text);
    }
    void Error(const QString& text) override { Dialogs().Error(DisplayFileName(text)); }
    void OpenFolder(const QString& folder) override { Dialogs().OpenFolder(folder); }
    // Send to phone takes it from here.
    void Saved(const QString& target) override
    {
        if (form_)
            form_->SavedRingtone = target;
    }

private:
    QPointer<TMainForm> form_;
    QPointer<TLabel> status_;
};

} // namespace

void TMainForm::btnSaveClick()
{
    if (Closing())
        return;
    if (Converting) {
        Dialogs().Message(QCoreApplication::translate(
            "MainForm", "A ringtone is being saved. Please wait until it is finished."));
        return;
    }
    if (!Dialogs().ExecuteSave(SaveDialog1))
        return;
    JobInfo = MakeSaveJob(OpenedFileName, SaveDialog1.FileName, WaveRender->SelStartMs(),
        WaveRender->SelEndMs(), Choices, [this](const TLoudnessKey& key) { return CachedMatchGain(key); });
    Converting = true;
    // Should the thread fail to start, the job's cleanup clears Converting again.
    TCutMp3Thread::Start(JobInfo, TJobPlace{WorkDir, WorkDirProblem, QCoreApplication::applicationDirPath()},
        new TFormJobView(this));
}
