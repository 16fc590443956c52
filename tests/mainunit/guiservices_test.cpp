#include "GuiServices.h"
#include "MPGTools.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class GuiServices : public ::testing::Test {
protected:
    void SetUp() override { InstallGuiServices(nullptr); }
    void TearDown() override { RemoveGuiServices(); }
};

// Answers the analyser's prompt with the button at `index`, noting the texts.
void AnswerPrompt(int index, QStringList& buttons, QString& text)
{
    QTimer::singleShot(0, [&, index] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->windowTitle() + "|" + box->text();
        QList<QPushButton*> list = box->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>();
        std::sort(list.begin(), list.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        for (QPushButton* b : list)
            buttons << b->text();
        QTest::mouseClick(list.at(index), Qt::LeftButton);
    });
}

TEST_F(GuiServices, ReadErrorPromptOffersCancelRetryIgnoreInThatOrder)
{
    const char* path = "/nonexistent/velumo/song.mp3";
    int attempts = 0;
    for (const auto& [index, answer] : {std::pair{0, 2}, std::pair{2, 5}}) {
        QStringList buttons;
        QString text;
        AnswerPrompt(index, buttons, text);
        TMPEGAudio audio;
        audio.ReadOnAssign = false;
        audio.SetFileName(path);
        EXPECT_EQ(audio.ReadFileInfo(), answer);
        EXPECT_EQ(buttons, (QStringList{"Cancel", "Retry", "Ignore"}));
        EXPECT_EQ(text, QString("Error|Error openning file: ") + path);
        ++attempts;
    }
    EXPECT_EQ(attempts, 2);
}

TEST_F(GuiServices, PumpDispatchesEventsAndReportsAQuit)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return PumpMessages(), ran; }, 2000));
    EXPECT_FALSE(QuitRequested());
    RequestQuit();
    EXPECT_TRUE(PumpMessages());
}

TEST_F(GuiServices, ClosingTheWindowDuringAScanEndsItWithoutAPrompt)
{
    // 1 MiB without a frame header: the scan pumps events all the way through.
    QTemporaryDir dir;
    const QString path = dir.filePath("junk.mp3");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(1 << 20));
    }
    QWidget window;
    window.show();
    InstallGuiServices(&window);
    int prompts = 0;
    SetReadErrorPrompt([&](TMPEGAudio&) -> uint16_t { return ++prompts, MPGReadError::Cancel; });
    QTimer::singleShot(0, &window, [&] {
        window.close();
        RequestQuit(); // what the main window's close handler does
    });
    // However fast the scan runs, its first pump holds it until the GUI's own
    // pump has dispatched the close; the scan must then end at once.
    int pumps = 0;
    bool closedInsideScan = false;
    SetMessagePump([&] {
        if (++pumps == 1) {
            QElapsedTimer waited;
            waited.start();
            while (!PumpMessages() && waited.elapsed() < 10000)
                QThread::yieldCurrentThread();
            closedInsideScan = !window.isVisible();
        }
        return PumpMessages();
    });
    TMPEGAudio audio;
    audio.ReadOnAssign = false;
    audio.SetFileName(path.toStdString());
    EXPECT_EQ(audio.ReadFileInfo(), -1);
    EXPECT_TRUE(closedInsideScan);
    EXPECT_EQ(pumps, 1); // the scan stopped at the pump that saw the quit
    EXPECT_EQ(prompts, 0);
}

} // namespace
