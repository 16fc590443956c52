// Every text of the program has a finished translation in every language,
// and every text the sources hold is in the translation files.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "TsFile.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Every language the tree holds: a new .ts file is checked as soon as it exists.
QStringList Languages()
{
    QStringList languages;
    for (const QString& file :
        QDir(VELUMO_SOURCE_DIR "/translations").entryList({"velumo_*.ts"}, QDir::Files))
        languages << file.mid(7, file.size() - 10);
    return languages;
}

QSet<QString> Placeholders(const QString& text)
{
    QSet<QString> found;
    static const QRegularExpression marker("%\\d");
    for (const QRegularExpressionMatch& m : marker.globalMatch(text))
        found << m.captured();
    return found;
}

TEST(Translations, EveryTextOfEveryLanguageIsFinishedAndKeepsItsPlaceholders)
{
    ASSERT_GE(Languages().size(), 4);
    for (const QString& language : Languages()) {
        SCOPED_TRACE(language.toStdString());
        const TMessages messages = ReadTs(TsFile(language));
        EXPECT_GT(messages.size(), 100u);
        for (const auto& [key, m] : messages) {
            SCOPED_TRACE((key.first + " | " + key.second).toStdString());
            EXPECT_EQ(m.type, "") << "not a finished translation";
            EXPECT_FALSE(m.translation.trimmed().isEmpty());
            // A lost %1 would drop the file name or number from the sentence.
            EXPECT_EQ(Placeholders(m.translation), Placeholders(m.source));
            // Texts joined to others keep their surrounding blanks.
            EXPECT_EQ(m.translation.startsWith(u' '), m.source.startsWith(u' '));
            EXPECT_EQ(m.translation.endsWith(u' '), m.source.endsWith(u' '));
        }
    }
}

TEST(Translations, EveryTextInTheSourcesIsInEveryLanguage)
{
    QTemporaryDir scratch;
    const QString found = scratch.filePath("found.ts");
    QProcess lupdate;
    lupdate.start(VELUMO_LUPDATE,
        {"-silent", "-locations", "none", QStringLiteral(VELUMO_SOURCE_DIR "/src"),
            QStringLiteral(VELUMO_SOURCE_DIR "/tools/skingen"), "-ts", found});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const TMessages inSources = ReadTs(found);
    ASSERT_GT(inSources.size(), 100u);
    for (const QString& language : Languages()) {
        SCOPED_TRACE(language.toStdString());
        const TMessages translated = ReadTs(TsFile(language));
        for (const auto& [key, m] : inSources)
            EXPECT_TRUE(translated.count(key)) << "no translation of \"" << key.second.toStdString()
                                               << "\" in context " << key.first.toStdString();
    }
}

// The files are exactly what the translators' script leaves: nothing it
// would add, drop or rewrite, so an edit made in Qt Linguist survives it.
TEST(Translations, TheUpdateScriptLeavesTheFilesAsTheyAre)
{
    QTemporaryDir tree;
    const QString root = QStringLiteral(VELUMO_SOURCE_DIR);
    for (const char* folder : {"src", "scripts", "translations", "tools"}) {
        QProcess copy;
        copy.start("cp", {"-r", root + u'/' + folder, tree.path()});
        ASSERT_TRUE(copy.waitForFinished(60000));
        ASSERT_EQ(copy.exitCode(), 0);
    }
    QProcess update;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", QFileInfo(VELUMO_LUPDATE).path() + u':' + env.value("PATH"));
    update.setProcessEnvironment(env);
    update.start(tree.filePath("scripts/update-translations.sh"), {});
    ASSERT_TRUE(update.waitForFinished(120000));
    ASSERT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();
    for (const QString& language : Languages()) {
        SCOPED_TRACE(language.toStdString());
        QFile before(TsFile(language)), after(tree.filePath("translations/velumo_" + language + ".ts"));
        ASSERT_TRUE(before.open(QIODevice::ReadOnly) && after.open(QIODevice::ReadOnly));
        EXPECT_TRUE(before.readAll() == after.readAll()) << "run scripts/update-translations.sh";
    }
}

} // namespace
