#include "ErrorGuard.h"
#include "WithoutFileOverride.h"
#include "appDefine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

mode_t ModeOf(const QString& path)
{
    struct stat st { };
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mode & 07777;
}

TEST(TempDirectory, EndsWithExactlyOneSlash)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/user/1234");
    EXPECT_EQ(GetTempDirectory(), "/run/user/1234/");
    qputenv("XDG_RUNTIME_DIR", "/run/user/1234/");
    EXPECT_EQ(GetTempDirectory(), "/run/user/1234/");
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(GetTempDirectory(), QDir::tempPath() + "/");
    qputenv("XDG_RUNTIME_DIR", saved);
}

class Settings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.filePath("config.ini"); }
    QString read() const { return ReadProfileString(ini(), "ApplicationInfo", "Homepage", "default"); }
};

TEST_F(Settings, MissingFileSectionOrKeyGiveTheDefault)
{
    EXPECT_EQ(read(), "default");
    WriteFile(ini(), "[Other]\nHomepage=x\n");
    EXPECT_EQ(read(), "default");
    WriteFile(ini(), "[ApplicationInfo]\nHome=x\n[Other]\nHomepage=y\n");
    EXPECT_EQ(read(), "default");
}

TEST_F(Settings, PresentValuesAreTrimmedAndMayBeEmpty)
{
    WriteFile(ini(), "[ApplicationInfo]\nHomepage=\n");
    EXPECT_EQ(read(), "");
    WriteFile(ini(), "; comment\r\n[ applicationinfo ]\r\n  HOMEPAGE =  http://a.example/?x=1,2&y=\\z  \r\n");
    EXPECT_EQ(read(), "http://a.example/?x=1,2&y=\\z");
}

TEST_F(Settings, LongValuesAreCutTo2047Characters)
{
    const QByteArray value(3000, 'v');
    WriteFile(ini(), "[ApplicationInfo]\nHomepage=" + value + "\n");
    EXPECT_EQ(read(), QString(2047, 'v'));
}

TEST(ClockText, TruncatesAndKeepsTheSign)
{
    EXPECT_EQ(ClockText(0), "00:00:00");
    EXPECT_EQ(ClockText(3725), "01:02:05");
    EXPECT_EQ(ClockText(-1), "00:00:-01");
    EXPECT_EQ(ClockText(-3725), "-01:-02:-05");
    EXPECT_EQ(ClockText(360000), "100:00:00");
}

TEST(ErrorGuard, AppendsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(ErrorBoxText("No MCI device open"), "No MCI device open.");
    EXPECT_EQ(ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(ErrorBoxText("Done!"), "Done!");
    EXPECT_EQ(ErrorBoxText(""), "");

    QString shown;
    SetErrorReporter([&](const QString& text) { shown = text; });
    Guarded([] { throw std::runtime_error("Cannot open file"); });
    EXPECT_EQ(shown, "Cannot open file.");
    SetErrorReporter({});
}

class WorkFolder : public ::testing::Test {
protected:
    QTemporaryDir parent;
    QString work() const { return parent.filePath("DravikMp3RingTone") + "/"; }
};

TEST_F(WorkFolder, IsCreatedPrivateAndReusedWithItsFilesUntouched)
{
    ASSERT_EQ(PrepareWorkFolder(work()), "");
    EXPECT_EQ(ModeOf(work().chopped(1)), 0700u);
    WriteFile(work() + "keep.txt", "mine");
    ASSERT_EQ(PrepareWorkFolder(work()), "");
    EXPECT_EQ(ReadFile(work() + "keep.txt"), "mine");
}

TEST_F(WorkFolder, MissingParentsAreCreated)
{
    const QString deep = parent.filePath("a/b/DravikMp3RingTone/");
    EXPECT_EQ(PrepareWorkFolder(deep), "");
    EXPECT_TRUE(QDir(deep).exists());
}

TEST_F(WorkFolder, UnsafeFoldersAreRefused)
{
    // A symbolic link to a folder somebody else controls.
    ASSERT_TRUE(QDir(parent.path()).mkdir("elsewhere"));
    ASSERT_EQ(::symlink(QFile::encodeName(parent.filePath("elsewhere")).constData(),
                  QFile::encodeName(work().chopped(1)).constData()),
        0);
    EXPECT_NE(PrepareWorkFolder(work()).indexOf("symbolic link"), -1);
    ASSERT_EQ(::unlink(QFile::encodeName(work().chopped(1)).constData()), 0);

    // A folder that others may write into.
    ASSERT_TRUE(QDir(parent.path()).mkdir("DravikMp3RingTone"));
    ASSERT_EQ(::chmod(QFile::encodeName(work()).constData(), 0777), 0);
    EXPECT_NE(PrepareWorkFolder(work()).indexOf("other users"), -1);

    // Our own folder with its permissions taken away.
    ASSERT_EQ(::chmod(QFile::encodeName(work()).constData(), 0), 0);
    {
        const TWithoutFileOverride asAUser;
        EXPECT_EQ(
            PrepareWorkFolder(work()), "The work folder " + work() + " cannot be read (Permission denied).");
    }

    // A folder of another user (only root can make one here).
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(work()).constData(), 0700), 0);
        ASSERT_EQ(::chown(QFile::encodeName(work()).constData(), 65534, 65534), 0);
        EXPECT_NE(PrepareWorkFolder(work()).indexOf("another user"), -1);
    }
}

TEST_F(WorkFolder, AFileInItsPlaceIsRefused)
{
    WriteFile(work().chopped(1), "x");
    EXPECT_NE(PrepareWorkFolder(work()), "");
}

TEST(FileNames, KeepEveryByteAndShowTheOnesThatAreNotTextAsReplacements)
{
    const QString r(QChar::ReplacementCharacter);
    const struct {
        QByteArray bytes;
        QString shown;
    } rows[] = {
        {"plain song.mp3", "plain song.mp3"},
        {"caf\xc3\xa9 \xe2\x99\xab \xf0\x9f\x8e\xb5.mp3",
            QString::fromUtf8("caf\xc3\xa9 \xe2\x99\xab \xf0\x9f\x8e\xb5.mp3")},
        {"caf\xe9.mp3", "caf" + r + ".mp3"}, // Latin-1
        {"\x80\xbf/\xbf", r + r + "/" + r}, // continuation bytes alone
        {"\xc0\xaf \xe0\x80\xaf \xf0\x80\x80\xaf",
            r + r + " " + r + r + r + " " + r + r + r + r}, // overlong '/'
        {"\xed\xb3\xa9", r + r + r}, // an escaped byte's own UTF-8: a look-alike, not an escape
        {"\xf4\x90\x80\x80", r + r + r + r}, // past U+10FFFF
        {"\xe2\x99.mp3", r + r + ".mp3"}, // cut short
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.toHex(' ').toStdString());
        const QString name = FileNameFromBytes(row.bytes);
        EXPECT_EQ(FileNameBytes(name), row.bytes);
        EXPECT_EQ(DisplayFileName(name), row.shown);
    }
    // Names no file can have.
    for (const QString& impossible :
        {QString("a") + QChar(0) + "b", QString("a") + QChar(0xD83C), QString("a") + QChar(0xDC41)})
        EXPECT_EQ(FileNameBytes(impossible), std::nullopt);
}

class Extract : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray expected = ReadFile(":/EXEFILE/TestTool");
    QStringList leftovers() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(Extract, FindsTheResourceIgnoringCaseAndReplacesTheFileWhole)
{
    ASSERT_FALSE(expected.isEmpty());
    const QString target = dir.filePath("av");
    WriteFile(target, QByteArray(100000, 'x'));
    ASSERT_TRUE(ExtractResourceToFile("exefile", "testtool", target, TFileMode::Executable));
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(ModeOf(target), 0700u);
    EXPECT_EQ(leftovers(), QStringList{"av"});

    ASSERT_TRUE(ExtractResourceToFile("ExeFile", "TESTTOOL", dir.filePath("plain")));
    EXPECT_EQ(ModeOf(dir.filePath("plain")), 0600u);
}

TEST_F(Extract, FailuresReturnFalseAndLeaveNothingBehind)
{
    EXPECT_FALSE(ExtractResourceToFile("exefile", "cygwin1", dir.filePath("cygwin1.dll")));
    EXPECT_FALSE(ExtractResourceToFile("exefile", "testtool", dir.filePath("missing/av")));
    // A folder where the file should go: the rename fails, the folder stays.
    ASSERT_TRUE(QDir(dir.path()).mkdir("av"));
    EXPECT_FALSE(ExtractResourceToFile("exefile", "testtool", dir.filePath("av")));
    EXPECT_TRUE(QFileInfo(dir.filePath("av")).isDir());
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Extract, LeavesAnIntactCopyAloneAndMendsAnyOther)
{
    ASSERT_FALSE(expected.isEmpty());
    QByteArray flipped = expected;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x01);
    const QString target = dir.filePath("av");
    const QString link = dir.filePath("elsewhere");
    WriteFile(link, expected);
    struct Row {
        const char* what;
        std::function<void()> prepare;
        bool rewritten;
    } rows[] = {
        {"intact copy", [&] { WriteFile(target, expected), ::chmod(qPrintable(target), 0700); }, false},
        {"one byte changed", [&] { WriteFile(target, flipped), ::chmod(qPrintable(target), 0700); }, true},
        {"cut short", [&] { WriteFile(target, expected.left(expected.size() - 1)), ::chmod(qPrintable(target), 0700); }, true},
        {"run bit lost", [&] { WriteFile(target, expected), ::chmod(qPrintable(target), 0600); }, true},
        {"a link to a copy", [&] { QFile::remove(target), QFile::link(link, target); }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(target);
        row.prepare();
        struct stat before { };
        ASSERT_EQ(::lstat(qPrintable(target), &before), 0);
        ASSERT_TRUE(ExtractResourceToFile("exefile", "testtool", target, TFileMode::Executable));
        struct stat after { };
        ASSERT_EQ(::lstat(qPrintable(target), &after), 0);
        EXPECT_EQ(ReadFile(target), expected);
        EXPECT_EQ(ModeOf(target), 0700u);
        EXPECT_TRUE(S_ISREG(after.st_mode));
        // An untouched file keeps its inode and its change time to the nanosecond.
        const bool same = before.st_ino == after.st_ino && before.st_ctim.tv_nsec == after.st_ctim.tv_nsec
            && before.st_ctim.tv_sec == after.st_ctim.tv_sec;
        EXPECT_EQ(same, !row.rewritten);
    }
    EXPECT_EQ(ReadFile(link), expected);
}

} // namespace
