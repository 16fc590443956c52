// Send to phone through the real main window: the options menu and Ctrl+P,
// the phones answered by a service without a daemon.
#include "../mainunit/MainWindowTest.h"
#include "FakePhones.h"
#include "appDefine.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

const TPhone Pixel{"p1", "Pixel", true};
const TPhone Moto{"m2", "Moto G", true};
const QString SendEntry = QStringLiteral("Send to phone");

class PhoneWindow : public MainWindowTest {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Converting && !form->SendingToPhone(); }, 60000));
        MainWindowTest::TearDown();
    }
    QString SaveRingtone(const QString& name)
    {
        Open(Mp3("song.mp3", 30, {"-ac", "2"}));
        dialogs.Saves.push_back({Path(name)});
        dialogs.Questions.push_back(false);
        QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
        return Path(name);
    }
    // The entry as the menu shows it now.
    QAction* Entry()
    {
        Click(form->btnMenu);
        QMenu* menu = form->OptionsMenu;
        EXPECT_TRUE(menu && menu->isVisible());
        QAction* found = nullptr;
        for (QAction* action : menu->actions())
            if (action->text() == SendEntry)
                found = action;
        menu->close();
        return found;
    }
    // Waits until the send has ended, one way or the other.
    void Finish()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->SendingToPhone(); }, 10000));
    }
};

TEST_F(PhoneWindow, TheLastSavedRingtoneGoesToThePhoneOnceOneIsSaved)
{
    auto phones = std::make_shared<FakePhones>(TPhoneListing{"", {Pixel}});
    form->PhoneService = phones;
    ASSERT_NE(Entry(), nullptr);
    EXPECT_FALSE(Entry()->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(form->SendingToPhone());
    EXPECT_EQ(phones->Listed(), 0);
    EXPECT_EQ(form->lbl_status->Caption(), "Play");

    SaveRingtone("first.mp3");
    const QString ring = SaveRingtone("ring tone.mp3");
    // The completion question is as it always was.
    EXPECT_EQ(dialogs.Entries("question: ").last(),
        "question: Confirm|Completed. Do you want to open the target directory?");
    ASSERT_TRUE(Entry()->isEnabled());
    Entry()->trigger();
    Finish();
    EXPECT_EQ(form->lbl_status->Caption(), "Sent to Pixel");
    EXPECT_EQ(phones->Shared(), QStringList{"p1 " + ShareUrl(ring)});
    EXPECT_TRUE(dialogs.Entries("error: ").isEmpty()) << dialogs.Log.join('\n').toStdString();
    EXPECT_TRUE(dialogs.Entries("choose: ").isEmpty());
}

TEST_F(PhoneWindow, EachOutcomeIsToldInTheHintLine)
{
    const QString ring = SaveRingtone("ring.mp3");
    const QString url = ShareUrl(ring);
    const QString chooser = "choose: Send to phone|Which phone should get the ringtone?|Pixel,Moto G";
    const struct {
        TPhoneListing listing;
        QString refusal;
        std::deque<int> choices;
        bool byKey;
        QString hint;
        bool errorBox; // the hint's text also in an error box
        QStringList shared;
        QStringList chooserShown;
    } rows[] = {
        {{"", {Pixel, Moto}}, "", {1}, false, "Sent to Moto G", false, {"m2 " + url}, {chooser}},
        {{"", {Pixel, Moto}}, "", {0}, true, "Sent to Pixel", false, {"p1 " + url}, {chooser}},
        {{"", {Pixel, Moto}}, "", {-1}, false, "Not sent.", false, {}, {chooser}},
        {{"", {}}, "", {}, true, PhoneText::NoPhone(), true, {}, {}},
        {{PhoneText::NotInstalled(), {}}, "", {}, false,
            "KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt "
            "install "
            "kdeconnect",
            true, {}, {}},
        {{"", {Pixel}}, "Device not reachable", {}, true,
            "Pixel did not take the ringtone: Device not reachable", true, {"p1 " + url}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hint.toStdString());
        auto phones = std::make_shared<FakePhones>(row.listing, row.refusal);
        form->PhoneService = phones;
        dialogs.Log.clear();
        dialogs.Choices = row.choices;
        if (row.byKey)
            QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        else
            Entry()->trigger();
        Finish();
        EXPECT_EQ(form->lbl_status->Caption(), row.hint);
        EXPECT_EQ(phones->Shared(), row.shared);
        EXPECT_EQ(dialogs.Entries("choose: "), row.chooserShown);
        EXPECT_EQ(
            dialogs.Entries("error: "), row.errorBox ? QStringList{"error: " + row.hint} : QStringList{});
        EXPECT_TRUE(Entry()->isEnabled()); // the next send may follow
    }

    // A ringtone gone since it was saved is not handed to the daemon, which
    // would report success.
    ASSERT_TRUE(QFile::remove(ring));
    auto phones = std::make_shared<FakePhones>(TPhoneListing{"", {Pixel}});
    form->PhoneService = phones;
    dialogs.Log.clear();
    Entry()->trigger();
    Finish();
    const QString gone = "Cannot send " + ring + ": the file is not there any more.";
    EXPECT_EQ(form->lbl_status->Caption(), gone);
    EXPECT_EQ(dialogs.Log, QStringList{"error: " + gone});
    EXPECT_EQ(phones->Listed(), 0);
}

// Lists Pixel once released; gives up when the window stops waiting.
class SlowPhones final : public TPhoneService {
public:
    TPhoneListing Phones(int, const std::atomic<bool>& stop) override
    {
        std::unique_lock lock(mutex_);
        ++listed_;
        // The window's stop is a plain flag, looked at now and then.
        while (!released_ && !stop)
            changed_.wait_for(lock, std::chrono::milliseconds(10));
        return {"", {Pixel}};
    }
    QString Share(const TPhone&, const QString&) override { return {}; }
    void Release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    int Listed()
    {
        std::lock_guard lock(mutex_);
        return listed_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
    int listed_ = 0;
};

TEST_F(PhoneWindow, TheWindowGoesOnWhileThePhoneIsAwaited)
{
    SaveRingtone("ring.mp3");
    auto phones = std::make_shared<SlowPhones>();
    form->PhoneService = phones;
    Entry()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return phones->Listed() == 1; }, 5000));
    // The window answers: a key works, and the send is not started twice.
    EXPECT_EQ(form->lbl_status->Caption(), "Looking for the phone ...");
    const int selEnd = form->WaveRender->SelEnd;
    QTest::keyClick(form.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(form->WaveRender->SelEnd, selEnd + 5);
    EXPECT_FALSE(Entry()->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(phones->Listed(), 1);
    phones->Release();
    Finish();
    EXPECT_EQ(form->lbl_status->Caption(), "Sent to Pixel");

    // Closed while it waits: the window goes without its answer, nothing hangs.
    auto stuck = std::make_shared<SlowPhones>();
    form->PhoneService = stuck;
    Entry()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stuck->Listed() == 1; }, 5000));
    form.reset();
    EXPECT_EQ(stuck.use_count(), 1); // the worker is gone with the window
    form = std::make_unique<TMainForm>(); // for TearDown
}

} // namespace
