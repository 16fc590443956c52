// The real main window in each language: the hint line, the labels, the
// pictures with words, the export's status line and its question.

#include "../mainunit/ScriptedDialogs.h"
#include "GuiServices.h"
#include "MouseEffectImage.h"
#include "TImage.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "Translations.h"
#include "TsFile.h"
#include "appDefine.h"
#include "workThread.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QProcess>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The "Audio Information" heading of the window's face, in pixels.
constexpr QRect PanelHeading(177, 223, 196, 28);

QImage Heading(const QImage& face)
{
    return face.convertToFormat(QImage::Format_RGB32).copy(PanelHeading);
}

TEST(LanguageWindow, ShowsItsTextsAndPicturesInTheUsersLanguage)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString song = runtime.filePath("song.mp3");
    ASSERT_EQ(
        QProcess::execute("ffmpeg",
            {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "sine=duration=40", "-ac", "2", song}),
        0);
    const QImage englishFace(":/skin/back.jpg");

    // The window's texts, in English; each language's are read from its
    // translation file.
    const struct {
        const char* context;
        QString source;
    } Hint{"Skin", "Play the selected segment"}, About{"MainForm", "About"},
        Position{"MainForm", "Current Pos: "}, Completed{"JobText", "Completed."},
        Confirm{"JobText", "Confirm"},
        Question{"JobText", "Completed. Do you want to open the target directory?"},
        SpaceKey{"Keys", "Space"}, PlayPause{"MainForm", "Play / Pause"},
        // What the zoom, the beat, the chorus and the phone added.
        Snap{"TMainForm", "Snap to the beat"}, Suggest{"TMainForm", "Suggest a ringtone"},
        Send{"TMainForm", "Send to phone"}, ZoomIn{"MainForm", "Zoom in"},
        NotAnalysed{"MainForm", "Not suggested yet: the song is still being analysed"};
    const struct {
        const char* locale;
        QString language; // as chosen; empty: English
    } rows[] = {{"en_US", ""}, {"de_DE", "de"}, {"fr_FR", "fr"}, {"es_ES", "es"}, {"pt_BR", "pt_BR"},
        // Portuguese from Portugal reads the Brazilian texts.
        {"pt_PT", "pt_BR"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        const TMessages translations = row.language.isEmpty() ? TMessages{} : ReadTs(TsFile(row.language));
        const auto tr = [&](const auto& text) {
            if (row.language.isEmpty())
                return text.source;
            const auto found = translations.find({QString::fromLatin1(text.context), text.source});
            EXPECT_NE(found, translations.end()) << text.source.toStdString();
            return found == translations.end() ? QString() : found->second.translation;
        };
        // A translated window reads differently from the English one.
        if (!row.language.isEmpty()) {
            EXPECT_NE(tr(Question), Question.source);
        }
        QLocale::setDefault(QLocale(QString::fromLatin1(row.locale)));
        EXPECT_EQ(InstallTranslations(), row.language);
        ScriptedDialogs dialogs;
        auto form = std::make_unique<TMainForm>();
        InstallGuiServices(form.get());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

        QTest::mouseMove(form->windowHandle(), form->btnMarkStart->geometry().center());
        QTest::mouseMove(form->windowHandle(), form->btnPlaySelected->geometry().center());
        EXPECT_EQ(form->lbl_status->Caption(), tr(Hint));
        EXPECT_EQ(form->lblAbout->Caption(), tr(About));
        EXPECT_EQ(form->lblCurrentPos->Caption(), tr(Position));
        EXPECT_TRUE(TMainForm::KeysText().contains(tr(SpaceKey) + u'\t' + tr(PlayPause)))
            << TMainForm::KeysText().toStdString();
        EXPECT_TRUE(TMainForm::KeysText().contains(QStringLiteral("+\t") + tr(ZoomIn)))
            << TMainForm::KeysText().toStdString();
        form->ShowOptionsMenu(QPoint(0, 0));
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            menu->close();
        ASSERT_TRUE(form->OptionsMenu);
        QStringList entries;
        for (const QAction* action : form->OptionsMenu->actions())
            entries << action->text();
        for (const auto& entry : {Snap, Suggest, Send})
            EXPECT_TRUE(entries.contains(tr(entry))) << entries.join(", ").toStdString();
        // The panel titles drawn into the face are in the same language.
        EXPECT_EQ(Heading(form->imgBack->Picture()) == Heading(englishFace), row.language.isEmpty());

        // With the song shown but not yet analysed, the hint says so.
        dialogs.Opens.push_back({song});
        form->btnOpenClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->ScrollBoxWave->isVisibleTo(form.get()); }, 30000));
        form->SetSongAnalysis(nullptr);
        form->SuggestRingtoneClick();
        EXPECT_EQ(form->lbl_status->Caption(), tr(NotAnalysed));

        form->OpenedFileName = song;
        dialogs.Saves.push_back({runtime.filePath(QStringLiteral("ring %1.mp3").arg(row.locale))});
        dialogs.Questions.push_back(false);
        form->btnSaveClick();
        EXPECT_TRUE(QTest::qWaitFor([] { return !::Converting; }, 60000));
        EXPECT_EQ(form->sb_status->Caption(), tr(Completed));
        EXPECT_EQ(
            dialogs.Log, (QStringList{"open", "save", "question: " + tr(Confirm) + "|" + tr(Question)}));

        form.reset();
        RemoveGuiServices();
    }
}

} // namespace

namespace {

TEST(LanguageChoice, FollowsTheUsersOrderOfLanguages)
{
    const struct {
        QStringList preferred;
        QString chosen;
    } rows[] = {
        {{"de-DE", "en-US"}, "de"},
        {{"de-AT"}, "de"},
        {{"fr-CA", "de-DE"}, "fr"},
        {{"es-MX"}, "es"},
        {{"pt-PT", "pt"}, "pt_BR"},
        // English first wins over a translated language further down.
        {{"en-GB", "de-DE"}, ""},
        // An untranslated language gives way to the next one.
        {{"it-IT", "fr-FR"}, "fr"},
        {{"it-IT", "ja-JP"}, ""},
        {{"C"}, ""},
        {{}, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseLanguage(row.preferred), row.chosen) << row.preferred.join(',').toStdString();
}

} // namespace
