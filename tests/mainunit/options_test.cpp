// The options menu and the ringtone's shaping, through the real main window.
#include "MainWindowTest.h"
#include "appDefine.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSettings>

namespace {

class Options : public MainWindowTest {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
        MainWindowTest::TearDown();
    }
    // The menu shown now, or nullptr; closes it.
    static QMenu* TakePopup()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu)
            menu->close();
        return menu;
    }
    static QStringList Texts(const QMenu* menu)
    {
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts << action->text() + (action->isChecked() ? "*" : "");
        return texts;
    }
    // Picks an entry as the user does: the menu opened by the button.
    void Pick(const QString& text, const QString& sub = {})
    {
        Click(form->btnMenu);
        QMenu* menu = form->OptionsMenu;
        ASSERT_TRUE(menu && menu->isVisible());
        for (QAction* action : menu->actions()) {
            if (action->text() != text)
                continue;
            QMenu* submenu = action->menu();
            menu->close();
            if (!submenu)
                return action->trigger();
            for (QAction* choice : submenu->actions())
                if (choice->text() == sub)
                    return choice->trigger();
        }
        ADD_FAILURE() << "no entry " << text.toStdString() << " " << sub.toStdString();
    }
    void ChooseShaping()
    {
        Pick("Fade in", "1 s");
        Pick("Fade out", "2 s");
        Pick("Match phone loudness");
    }
};

TEST_F(Options, RightClickAnywhereAndTheMenuButtonOpenTheSameMenu)
{
    QTest::mouseMove(form->btnMenu, QPoint(5, 5));
    EXPECT_EQ(form->lbl_status->Caption(), "Options");

    for (QWidget* where : std::initializer_list<QWidget*>{
             form->imgBack, form->imgAd, form->lblFilename, form->lbl_status, form->btnPlay, form->lblAbout}) {
        SCOPED_TRACE(where->objectName().toStdString());
        const QPoint at = where->mapToGlobal(QPoint(2, 2));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), at);
        QApplication::sendEvent(where, &event);
        QMenu* menu = TakePopup();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu, form->OptionsMenu);
        EXPECT_EQ(menu->pos().y(), at.y()); // it opens under the pointer
    }
    Click(form->btnMenu);
    QMenu* menu = TakePopup();
    ASSERT_EQ(menu, form->OptionsMenu);
    EXPECT_EQ(menu->pos().y(), form->btnMenu->mapToGlobal(QPoint(0, 14)).y()); // under the button
    EXPECT_EQ(Texts(menu),
        (QStringList{"Fade in", "Fade out", "Match phone loudness", "", "Show the real sound*", "",
            "Snap to the beat", "Suggest a ringtone", "", "Send to phone", "", "Keys…", "About"}));
    EXPECT_EQ(Texts(menu->actions().at(1)->menu()), (QStringList{"Off*", "0.5 s", "1 s", "2 s", "3 s"}));

    // The entries run the keys' commands.
    Pick("Show the real sound");
    EXPECT_EQ(form->WaveKind, TWaveKind::Decorative);
    QTest::keyClick(form.get(), Qt::Key_W);
    Click(form->btnMenu);
    EXPECT_EQ(Texts(TakePopup()).at(4), "Show the real sound*");
    Pick("Keys…");
    ASSERT_EQ(dialogs.Entries("message: Keys:").size(), 1);
    EXPECT_TRUE(dialogs.Log.last().contains("\nL\tPlay the loop\n"));
}

TEST_F(Options, TheChoicesSurviveARestart)
{
    const struct {
        std::function<void()> choose;
        TRingtoneChoices kept;
        QString fadeInChecked, fadeOutChecked;
    } rows[] = {
        {[] {}, {0, 0, false}, "Off", "Off"},
        {[&] { ChooseShaping(); }, {1000, 2000, true}, "1 s", "2 s"},
        {[&] {
             Pick("Fade out", "Off");
             Pick("Match phone loudness");
             Pick("Fade in", "0.5 s");
         },
            {500, 0, false}, "0.5 s", "Off"},
        // A value no menu offers, written by hand, counts as off.
        {[] {
             QSettings(QSettings::NativeFormat, QSettings::UserScope, "velumo", "velumo")
                 .setValue("Ringtone/FadeInMs", 700);
         },
            {0, 0, false}, "Off", "Off"},
    };
    for (const auto& row : rows) {
        row.choose();
        form = std::make_unique<TMainForm>();
        form->show();
        EXPECT_EQ(form->Choices, row.kept);
        Click(form->btnMenu);
        QMenu* menu = TakePopup();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->actions().at(2)->isChecked(), row.kept.MatchLoudness);
        EXPECT_TRUE(Texts(menu->actions().at(0)->menu()).contains(row.fadeInChecked + "*"));
        EXPECT_TRUE(Texts(menu->actions().at(1)->menu()).contains(row.fadeOutChecked + "*"));
    }
}

TEST_F(Options, LPlaysTheLoopUntilItEnds)
{
    Open(Mp3("song.mp3", 40, {"-ac", "2"}));
    ASSERT_EQ(Mode(), 1);
    QTest::keyClick(form.get(), Qt::Key_L);
    EXPECT_EQ(Mode(), 2);
    // 3 s of the end and 3 s of the start, then it stops by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Mode() == 1; }, 30000));
}

TEST_F(Options, ThePreviewIsShapedAsTheSavedRingtone)
{
    const QString song = Mp3("song.mp3", 40, {"-ac", "2"});
    const struct {
        QString target;
        bool damaged; // the song is no audio any more when saved
    } rows[] = {
        {"ring.mp3", false},
        {"ring2.mp3", true},
    };
    ChooseShaping();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.toStdString());
        Open(song);
        QTest::keyClick(form.get(), Qt::Key_P);
        EXPECT_EQ(Mode(), 2);
        const ringtone::TShapePlan heard = form->MediaPlayer1->AppliedShape();
        if (row.damaged) {
            QFile file(song);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        }
        dialogs.Log.clear();
        dialogs.Saves.push_back({Path(row.target)});
        dialogs.Questions.push_back(false);
        QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        ASSERT_TRUE(QTest::qWaitFor([] { return !Converting; }, 60000));
        const ringtone::TShapePlan saved = form->JobInfo.Shape;
        EXPECT_EQ(saved.FadeInMs, 1000);
        EXPECT_EQ(saved.FadeOutMs, 2000);
        EXPECT_TRUE(saved.Limit);
        if (row.damaged) {
            // Not measured: no gain, no box about it, a word in the hint line.
            EXPECT_EQ(saved.GainDb, 0);
            EXPECT_EQ(form->lbl_status->Caption(), "Loudness could not be measured");
            dialogs.Questions.clear();
            continue;
        }
        EXPECT_GT(saved.GainDb, 3); // the tone is far quieter than a phone's
        EXPECT_EQ(dialogs.Log.size(), 2) << dialogs.Log.join('\n').toStdString();
        EXPECT_EQ(heard.FadeInMs, saved.FadeInMs);
        EXPECT_EQ(heard.FadeOutMs, saved.FadeOutMs);
        EXPECT_EQ(heard.GainDb, saved.GainDb);
        EXPECT_EQ(heard.Limit, saved.Limit);
    }
}

} // namespace
