// The real main window in each language: the hint line, the labels, the
// pictures with words, the export's status line and its question.

#include "../mainunit/ScriptedDialogs.h"
#include "GuiServices.h"
#include "MouseEffectImage.h"
#include "TImage.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "Translations.h"
#include "appDefine.h"
#include "workThread.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
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

    const struct {
        const char* locale;
        QString language; // as chosen; empty: English
        QString hint; // of the Play-the-selected-segment button
        QString about, position; // the About link, the current position label
        QString completed, confirm, question; // the export's end
        QString keyLine; // of the key help
    } rows[] = {
        {"en_US", "", "Play the selected segment", "About", "Current Pos: ", "Completed.", "Confirm",
            "Completed. Do you want to open the target directory?", "Space\tPlay / Pause"},
        {"de_DE", "de", "Auswahl abspielen", "Info", "Position: ", "Fertig.", "Bestätigen",
            "Fertig. Möchten Sie den Zielordner öffnen?", "Leertaste\tAbspielen / Pause"},
        {"fr_FR", "fr", "Lire la sélection", "Infos", "Position : ", "Terminé.", "Confirmer",
            "Terminé. Voulez-vous ouvrir le dossier de destination ?", "Espace\tLecture / Pause"},
        {"es_ES", "es", "Reproducir la selección", "Info", "Posición: ", "Terminado.", "Confirmar",
            "Terminado. ¿Desea abrir la carpeta de destino?", "Espacio\tReproducir / Pausa"},
        {"pt_BR", "pt_BR", "Tocar a seleção", "Sobre", "Posição: ", "Concluído.", "Confirmar",
            "Concluído. Deseja abrir a pasta de destino?", "Espaço\tTocar / Pausar"},
        // Portuguese from Portugal reads the Brazilian texts.
        {"pt_PT", "pt_BR", "Tocar a seleção", "Sobre", "Posição: ", "Concluído.", "Confirmar",
            "Concluído. Deseja abrir a pasta de destino?", "Espaço\tTocar / Pausar"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(row.locale)));
        EXPECT_EQ(InstallTranslations(), row.language);
        ScriptedDialogs dialogs;
        auto form = std::make_unique<TMainForm>();
        InstallGuiServices(form.get());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

        QTest::mouseMove(form->windowHandle(), form->btnMarkStart->geometry().center());
        QTest::mouseMove(form->windowHandle(), form->btnPlaySelected->geometry().center());
        EXPECT_EQ(form->lbl_status->Caption(), row.hint);
        EXPECT_EQ(form->lblAbout->Caption(), row.about);
        EXPECT_EQ(form->lblCurrentPos->Caption(), row.position);
        EXPECT_TRUE(TMainForm::KeysText().contains(row.keyLine)) << TMainForm::KeysText().toStdString();
        // The panel titles drawn into the face are in the same language.
        EXPECT_EQ(Heading(form->imgBack->Picture()) == Heading(englishFace), row.language.isEmpty());

        form->OpenedFileName = song;
        dialogs.Saves.push_back({runtime.filePath(QStringLiteral("ring %1.mp3").arg(row.locale))});
        dialogs.Questions.push_back(false);
        form->btnSaveClick();
        EXPECT_TRUE(QTest::qWaitFor([] { return !::Converting; }, 60000));
        EXPECT_EQ(form->sb_status->Caption(), row.completed);
        EXPECT_EQ(dialogs.Log, (QStringList{"save", "question: " + row.confirm + "|" + row.question}));

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
