// Send to phone: the last saved ringtone goes to a paired phone through KDE
// Connect. The daemon's start and its device list are waited for on a
// worker; the window only shows the outcome in the hint line.

#include "PhoneCommand.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "KdeConnect.h"
#include "PhoneSend.h"
#include "TLabel.h"
#include "TMainForm.h"

#include <QMetaObject>
#include <QPointer>

#include <exception>

TPhoneSendJob::TPhoneSendJob(std::function<void(const std::atomic<bool>& stop)> step)
    : thread_([this, step = std::move(step)] { step(stop_); })
{
}

TPhoneSendJob::~TPhoneSendJob()
{
    stop_ = true;
    thread_.join();
}

namespace {

// Runs work on a worker and then done(result) on form's thread, unless the
// form has gone by then. A failure of the work becomes its outcome.
template <class Result>
std::unique_ptr<TPhoneSendJob> RunOnWorker(TMainForm* form,
    std::function<Result(const std::atomic<bool>&)> work,
    std::function<Result(const QString& failure)> failed, std::function<void(const Result&)> done)
{
    return std::make_unique<TPhoneSendJob>(
        [form = QPointer<TMainForm>(form), work = std::move(work), failed = std::move(failed),
            done = std::move(done)](const std::atomic<bool>& stop) {
            Result result;
            try {
                result = work(stop);
            } catch (const std::exception& e) {
                result = failed(QString::fromLocal8Bit(e.what()));
            }
            if (stop)
                return;
            // Dropped with the form's pending events when it goes first.
            QMetaObject::invokeMethod(
                form.data(), [done, result] { Guarded([&] { done(result); }); }, Qt::QueuedConnection);
        });
}

} // namespace

bool TMainForm::SendingToPhone() const
{
    return sendingToPhone_;
}

bool TMainForm::CanSendToPhone() const
{
    return !Closing() && !SavedRingtone.isEmpty() && !sendingToPhone_;
}

void TMainForm::SendToPhoneClick()
{
    if (!CanSendToPhone())
        return;
    if (const QString problem = SendFileProblem(SavedRingtone); !problem.isEmpty())
        return PhoneSendDone({false, problem});
    if (!PhoneService)
        PhoneService = std::make_shared<TKdeConnect>();
    sendingToPhone_ = true;
    lbl_status->SetCaption(PhoneText::Looking());
    phoneJob_.reset();
    phoneJob_ = RunOnWorker<TPhoneListing>(
        this,
        [service = PhoneService](
            const std::atomic<bool>& stop) { return service->Phones(PhoneWaitMs, stop); },
        [](const QString& failure) {
            return TPhoneListing{failure, {}};
        },
        [this](const TPhoneListing& listing) { PhonesListed(listing); });
}

void TMainForm::PhonesListed(const TPhoneListing& listing)
{
    // Closed meanwhile: nothing more is sent.
    if (Closing()) {
        sendingToPhone_ = false;
        return;
    }
    const TPhoneChoice choice = ChoosePhone(listing, {});
    switch (choice.Kind) {
    case TPhoneChoice::TKind::Fail:
        return PhoneSendDone({false, choice.Message});
    case TPhoneChoice::TKind::Send:
        return SendToChosenPhone(choice.Phone);
    case TPhoneChoice::TKind::Ask:
        break;
    }
    const int picked = Dialogs().Choose(
        PhoneText::ChooseCaption(), PhoneText::ChooseText(), PhoneNames(choice.Candidates));
    if (picked < 0 || picked >= static_cast<int>(choice.Candidates.size()) || Closing()) {
        sendingToPhone_ = false;
        if (!Closing())
            lbl_status->SetCaption(PhoneText::NotSent());
        return;
    }
    SendToChosenPhone(choice.Candidates.at(static_cast<size_t>(picked)));
}

void TMainForm::SendToChosenPhone(const TPhone& phone)
{
    phoneJob_.reset();
    phoneJob_ = RunOnWorker<TSendOutcome>(
        this,
        [service = PhoneService, phone, file = SavedRingtone](
            const std::atomic<bool>&) { return ShareWith(*service, phone, file); },
        [](const QString& failure) {
            return TSendOutcome{false, failure};
        },
        [this](const TSendOutcome& outcome) { PhoneSendDone(outcome); });
}

void TMainForm::PhoneSendDone(const TSendOutcome& outcome)
{
    sendingToPhone_ = false;
    if (Closing())
        return;
    lbl_status->SetCaption(outcome.Line);
    // The hint line is narrow: a reason is also shown whole.
    if (!outcome.Sent)
        Dialogs().Error(outcome.Line);
}
