// The window by keyboard and as a screen reader reads it: Tab reaches the
// commands in reading order with a ring round the focused one, Space runs the
// focused command, the timeline's keys work while it has the focus, and the
// timeline's value follows.
#include "MainAccess.h"
#include "MainWindowTest.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusFrame>
#include <QScrollArea>

namespace {

class Access : public MainWindowTest {
protected:
    QString FocusName() const
    {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(none)");
    }
    bool RingShown() const
    {
        const auto* ring = form->findChild<QFocusFrame*>();
        return ring && ring->isVisible();
    }
    QString TimelineValue() const
    {
        QAccessibleInterface* timeline = QAccessible::queryAccessibleInterface(form->imgWave);
        return timeline ? timeline->text(QAccessible::Description) : QString();
    }
};

TEST_F(Access, TabWalksTheCommandsAndTheFocusedOneRuns)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Open(Wav(QStringLiteral("song.wav"), 40));
    ASSERT_TRUE(form->ScrollBoxWave->isVisible());

    const struct {
        Qt::Key key; // Key_unknown: no key, the state at start
        const char* focus;
        bool ring;
        const char* timeline;
    } steps[] = {
        {Qt::Key_unknown, "MainForm", false, "Start 00:00:20, end 00:00:30, cursor 00:00:04"},
        {Qt::Key_Tab, "btnOpen", true, nullptr},
        {Qt::Key_Tab, "btnSave", true, nullptr},
        {Qt::Key_Tab, "lblAbout", true, nullptr},
        {Qt::Key_Tab, "imgWave", true, nullptr},
        // The window's keys while the timeline has the focus; the scroll box does not take them.
        {Qt::Key_Right, "imgWave", true, "Start 00:00:20, end 00:00:30, cursor 00:00:05"},
        {Qt::Key_BracketLeft, "imgWave", true, "Start 00:00:05, end 00:00:30, cursor 00:00:05"},
        {Qt::Key_Tab, "btnPlay", true, nullptr},
        {Qt::Key_Tab, "MouseEffectImage1", true, nullptr},
        {Qt::Key_Tab, "btnMarkStart", true, nullptr},
        {Qt::Key_Right, "btnMarkStart", true, "Start 00:00:05, end 00:00:30, cursor 00:00:06"},
        {Qt::Key_Space, "btnMarkStart", true, "Start 00:00:06, end 00:00:30, cursor 00:00:06"},
        {Qt::Key_Tab, "btnMarkEnd", true, nullptr},
        {Qt::Key_Right, "btnMarkEnd", true, "Start 00:00:06, end 00:00:30, cursor 00:00:07"},
        {Qt::Key_Return, "btnMarkEnd", true, "Start 00:00:06, end 00:00:07, cursor 00:00:07"},
        {Qt::Key_Backtab, "btnMarkStart", true, nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.focus);
        if (step.key != Qt::Key_unknown)
            QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(FocusName(), QString::fromLatin1(step.focus));
        EXPECT_EQ(RingShown(), step.ring);
        if (step.timeline) {
            EXPECT_EQ(TimelineValue(), QString::fromUtf8(step.timeline));
        }
    }
}

} // namespace
