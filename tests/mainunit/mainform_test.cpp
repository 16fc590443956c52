#include "TImage.h"
#include "TMainForm.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QApplication>
#include <QFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class MainForm : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())); }
    QTemporaryDir runtime;
};

TEST_F(MainForm, StartsWithItsTimelineAndAPrivateWorkFolder)
{
    TMainForm form;
    EXPECT_EQ(form.windowTitle(), "Velumo MP3 Ringtone Maker");
    EXPECT_EQ(form.size(), QSize(598, 422));
    EXPECT_EQ(WorkDir, runtime.path() + "/DravikMp3RingTone/");
    EXPECT_EQ(WorkDirProblem, "");
    EXPECT_FALSE(Converting);
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(WorkDir).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ASSERT_NE(form.WaveRender, nullptr);
    EXPECT_EQ(form.WaveRender->Width, 276);
    EXPECT_EQ(form.WaveRender->Height, 152);
    EXPECT_EQ(form.imgWave->size(), QSize(276, 152));
    EXPECT_FALSE(form.ScrollBoxWave->isVisibleTo(&form));

    // The converter is deployed when this build carries it.
    QFile resource(":/exefile/av");
    if (resource.exists()) {
        QFile deployed(WorkDir + "av");
        ASSERT_TRUE(deployed.open(QIODevice::ReadOnly));
        ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
        EXPECT_EQ(deployed.readAll(), resource.readAll());
        EXPECT_TRUE(deployed.permissions() & QFile::ExeOwner);
    }

    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.close();
    EXPECT_EQ(form.WaveRender, nullptr);
}

TEST_F(MainForm, DeploysNothingIntoAFolderOthersCanWrite)
{
    const QString work = runtime.path() + "/DravikMp3RingTone";
    ASSERT_EQ(::mkdir(QFile::encodeName(work).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(work).constData(), 0777), 0);
    TMainForm form;
    EXPECT_NE(WorkDirProblem, "");
    EXPECT_TRUE(QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(MainForm, TimelineRepaintsOnlyThroughItsCanvas)
{
    TMainForm form;
    form.imgWave->Picture() = QImage(400, 152, QImage::Format_RGB32);
    form.imgWave->resize(400, 152);
    form.WaveRender->SetWaveLength(400); // the canvas still refers to the resized picture
    EXPECT_EQ(form.imgWave->Picture().pixel(100, 80), qRgb(128, 0, 128));
}

} // namespace
