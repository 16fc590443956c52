// The sound module: the program itself holds no media library, an idle
// window loads none, the first sign that the user is opening a file loads
// it, and a module that cannot be loaded is reported at Open, naming it and
// why, without taking the window down. Each case runs in a process of its
// own, so each starts with no module loaded.
#include "MainWindowTest.h"
#include "MediaLoader.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>

namespace {

struct BrokenModule {
    const char* name;
    std::function<QString(const QString& dir)> make; // returns the module's path
    const char* why; // a part of the reason given
};

const BrokenModule Broken[] = {
    {"NotALibrary",
        [](const QString& dir) {
            const QString path = dir + "/libvelumo-media.so";
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("not a shared library\n").repeated(100));
            return path;
        },
        "invalid ELF header"},
    {"ALibraryWithoutTheEntry",
        [](const QString&) { return QFileInfo("/lib/x86_64-linux-gnu/libz.so.1").canonicalFilePath(); },
        "it has no entry velumo_media_entries"},
};

void PrintTo(const BrokenModule& module, std::ostream* out)
{
    *out << module.name;
}

class MediaModuleBroken : public MainWindowTest, public ::testing::WithParamInterface<BrokenModule> { };

TEST_P(MediaModuleBroken, OpenSaysWhichModuleFailedAndWhyAndTheWindowCarriesOn)
{
    const QString module = GetParam().make(runtime.path());
    qputenv("VELUMO_MEDIA_MODULE", QFile::encodeName(module));
    const QStringList before = Labels();
    const QString song = Wav("song.wav", 3);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        dialogs.Log.clear();
        Open(song);
        ASSERT_EQ(dialogs.Log.size(), 2);
        const QString error = dialogs.Log[1];
        EXPECT_TRUE(error.startsWith("error: The sound module " + module + " could not be loaded: "))
            << error.toStdString();
        EXPECT_TRUE(error.contains(GetParam().why)) << error.toStdString();
        EXPECT_EQ(Labels(), before);
        EXPECT_TRUE(form->OpenedFileName.isEmpty());
        EXPECT_EQ(Mode(), TMediaDevice::mpNotReady);
    }
    // The rest of the window still answers: Play without a file does nothing.
    dialogs.Log.clear();
    Click(form->btnPlay);
    Settle();
    EXPECT_TRUE(dialogs.Log.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Modules, MediaModuleBroken, ::testing::ValuesIn(Broken),
    [](const auto& info) { return std::string(info.param.name); });

enum class OpeningSign { OpenClickedThenCancelled, FileDraggedOverTheWindow };

class MediaModuleLoads : public MainWindowTest, public ::testing::WithParamInterface<OpeningSign> { };

TEST_P(MediaModuleLoads, WhenTheUserStartsToOpenAFileNotBefore)
{
    Settle();
    Click(form->btnPlay);
    Settle();
    EXPECT_FALSE(MediaLoader().Started()) << "an idle window holds no media library";
    if (GetParam() == OpeningSign::OpenClickedThenCancelled) {
        dialogs.Opens.push_back({std::nullopt});
        Click(form->btnOpen);
    } else {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Wav("song.wav", 1))});
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
    }
    EXPECT_TRUE(MediaLoader().Started());
    EXPECT_NO_THROW(MediaLoader().Entries());
}

INSTANTIATE_TEST_SUITE_P(Signs, MediaModuleLoads,
    ::testing::Values(OpeningSign::OpenClickedThenCancelled, OpeningSign::FileDraggedOverTheWindow),
    [](const auto& info) {
        return std::string(info.param == OpeningSign::OpenClickedThenCancelled ? "OpenClickedThenCancelled"
                                                                               : "FileDraggedOverTheWindow");
    });

TEST(MediaModule, TheProgramNeedsNoMediaLibraryToStart)
{
    QProcess ldd;
    ldd.start("ldd", {VELUMO_PROGRAM});
    ASSERT_TRUE(ldd.waitForFinished(60000));
    const QString needed = QString::fromUtf8(ldd.readAllStandardOutput());
    ASSERT_TRUE(needed.contains("libQt6Widgets")) << needed.toStdString();
    const QRegularExpression media("lib(avcodec|avformat|avutil|swresample|SDL2|ebur128)");
    EXPECT_FALSE(needed.contains(media)) << needed.toStdString();
}

} // namespace
