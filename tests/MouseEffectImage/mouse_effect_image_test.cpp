// The image button's picture states under real pointer input (through the
// window system layer, so capture and enter/leave come from Qt itself).

#include "MouseEffectImage.h"
#include "SkinPictures.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QImage Solid(QSize size, QColor colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// Counts the notices a button posts to its parent on entry.
class THost : public QWidget {
public:
    int notices = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == TMouseEffectImage::EnterNotice) {
            ++notices;
            return true;
        }
        return QWidget::event(e);
    }
};

class MouseEffectImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<THost>();
        host->resize(200, 200);
        button = new TMouseEffectImage(host.get());
        button->move(50, 50);
        button->SetOverPicture(hover);
        button->SetDownPicture(down);
        button->SetOriginPicture(normal);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        window = host->windowHandle();
        QTest::mouseMove(window, Outside);
    }

    void Move(QPoint p) { QTest::mouseMove(window, p); }
    void Press(QPoint p) { QTest::mousePress(window, Qt::LeftButton, {}, p); }
    void Release(QPoint p) { QTest::mouseRelease(window, Qt::LeftButton, {}, p); }

    const QImage normal = Solid({20, 20}, Qt::red);
    const QImage hover = Solid({20, 20}, Qt::green);
    const QImage down = Solid({20, 20}, Qt::blue);
    static constexpr QPoint Inside{60, 60};
    static constexpr QPoint Outside{150, 150};

    std::unique_ptr<THost> host;
    TMouseEffectImage* button = nullptr;
    QWindow* window = nullptr;
};

TEST_F(MouseEffectImageTest, StartsEmptyWithAutoSizeAndTakesNormalPictureAtOnce)
{
    TMouseEffectImage fresh;
    fresh.resize(7, 9);
    EXPECT_TRUE(fresh.AutoSize());
    EXPECT_FALSE(fresh.RevertOnLeave());
    EXPECT_TRUE(fresh.Picture().isNull());
    EXPECT_TRUE(fresh.OriginPicture().isNull());
    EXPECT_EQ(fresh.size(), QSize(7, 9));

    // Writing the hover and pressed holders leaves the display alone.
    fresh.SetOverPicture(hover);
    fresh.SetDownPicture(down);
    EXPECT_TRUE(fresh.Picture().isNull());
    fresh.SetOriginPicture(normal);
    EXPECT_EQ(fresh.Picture(), normal);
    EXPECT_EQ(fresh.size(), QSize(20, 20));
    // Getters hand out the control's own holders.
    EXPECT_EQ(&fresh.OverPicture(), &fresh.OverPicture());
    EXPECT_EQ(fresh.OverPicture(), hover);
}

TEST_F(MouseEffectImageTest, FullClickRunsNormalHoverDownNormalAndClickSeesNormal)
{
    QSignalSpy clicks(button, &TImage::Click);
    QSignalSpy moves(button, &TImage::MouseMove);
    QImage shownAtClick;
    QObject::connect(button, &TImage::Click, button, [&] { shownAtClick = button->Picture(); });

    Move(Inside);
    EXPECT_EQ(button->Picture(), hover);
    EXPECT_GE(moves.count(), 1);
    Press(Inside);
    EXPECT_EQ(button->Picture(), down);
    Release(Inside);
    EXPECT_EQ(button->Picture(), normal); // also while still over the control
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(shownAtClick, normal);
    Move(Outside);
    EXPECT_EQ(button->Picture(), normal);
}

TEST_F(MouseEffectImageTest, EntryPostsNoticeToParentWithoutWaiting)
{
    Move(Inside);
    EXPECT_TRUE(QTest::qWaitFor([&] { return host->notices == 1; }));
    Move(Outside);
    EXPECT_EQ(host->notices, 1);
    // Delivered straight to the control, the entry only queues the notice.
    QEnterEvent enter(QPointF(1, 1), QPointF(51, 51), button->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->Picture(), hover);
    EXPECT_EQ(host->notices, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return host->notices == 2; }));
}

TEST_F(MouseEffectImageTest, LeavingWhilePressedGivesNormalAndNoClick)
{
    QSignalSpy clicks(button, &TImage::Click);
    Move(Inside);
    Press(Inside);
    Move(Outside);
    EXPECT_EQ(button->Picture(), normal);
    Release(Outside);
    EXPECT_EQ(button->Picture(), normal);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(MouseEffectImageTest, ReentryWhileHeldShowsHoverThenReleaseClicksOnce)
{
    QSignalSpy clicks(button, &TImage::Click);
    Move(Inside);
    Press(Inside);
    Move(Outside);
    EXPECT_EQ(button->Picture(), normal);
    Move(Inside);
    EXPECT_EQ(button->Picture(), hover);
    EXPECT_TRUE(QTest::qWaitFor([&] { return host->notices == 2; })); // the re-entry counts as an entry
    Release(Inside);
    EXPECT_EQ(button->Picture(), normal);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(MouseEffectImageTest, RevertOnLeaveKeepsPressedPictureUntilLeave)
{
    button->SetRevertOnLeave(true);
    Move(Inside);
    Press(Inside);
    Release(Inside);
    EXPECT_EQ(button->Picture(), down);
    Move(Outside);
    EXPECT_EQ(button->Picture(), normal);
}

TEST_F(MouseEffectImageTest, DoubleClickGivesOneClickAndNoSecondPressedPicture)
{
    QSignalSpy clicks(button, &TImage::Click);
    Move(Inside);
    QTest::mouseDClick(window, Qt::LeftButton, {}, Inside);
    // QTest's double click: press, release, double-click press, release.
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->Picture(), normal);

    // The double-click press itself shows no pressed picture.
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(10, 10), button->mapToGlobal(QPointF(10, 10)),
        Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(button, &dbl);
    EXPECT_EQ(button->Picture(), normal);
}

TEST_F(MouseEffectImageTest, WritingPicturesWhileHovered)
{
    Move(Inside);
    ASSERT_EQ(button->Picture(), hover);
    button->SetOverPicture(Solid({20, 20}, Qt::yellow));
    EXPECT_EQ(button->Picture(), hover); // not before the next entry
    const QImage fresh = Solid({20, 20}, Qt::cyan);
    button->SetOriginPicture(fresh);
    EXPECT_EQ(button->Picture(), fresh);
    Move(Outside);
    Move(Inside);
    EXPECT_EQ(button->Picture().pixelColor(0, 0), QColor(Qt::yellow));
}

TEST_F(MouseEffectImageTest, MixedSizesResizeAndEmptyPictureKeepsSizeAndShowsThrough)
{
    button->SetOverPicture(Solid({30, 12}, Qt::green));
    button->SetDownPicture(QImage());
    Move(Inside);
    EXPECT_EQ(button->size(), QSize(30, 12));
    Press(QPoint(55, 55));
    EXPECT_TRUE(button->Picture().isNull());
    EXPECT_EQ(button->size(), QSize(30, 12));

    // Nothing painted: the parent's background shows in the control's rectangle.
    host->setAutoFillBackground(true);
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, Qt::magenta);
    host->setPalette(pal);
    const QImage shot = host->grab().toImage();
    EXPECT_EQ(shot.pixelColor(55, 55), QColor(Qt::magenta));
    Release(QPoint(55, 55));
    EXPECT_EQ(button->size(), QSize(20, 20));
}

TEST_F(MouseEffectImageTest, OtherButtonsChangeNoPictureAndGiveNoClick)
{
    QSignalSpy clicks(button, &TImage::Click);
    Move(Inside);
    QTest::mousePress(window, Qt::RightButton, {}, Inside);
    EXPECT_EQ(button->Picture(), hover);
    QTest::mouseRelease(window, Qt::RightButton, {}, Inside);
    EXPECT_EQ(button->Picture(), hover);
    EXPECT_EQ(clicks.count(), 0);
}

TEST(MouseEffectImageSkin, HoldersTakeJpegAndBitmapPictures)
{
    TMouseEffectImage open;
    ASSERT_TRUE(Skin::ApplyButtonPictures(open, QStringLiteral("btnOpen")));
    EXPECT_EQ(open.size(), QSize(108, 32));
    EXPECT_EQ(open.DownPicture().size(), QSize(108, 32)); // 32-bit BMP
    EXPECT_FALSE(open.DownPicture().hasAlphaChannel());
    EXPECT_NE(open.DownPicture(), open.OriginPicture());
    EXPECT_EQ(open.Picture(), open.OriginPicture());

    TMouseEffectImage minimise; // BMP hover, JPEG pressed
    ASSERT_TRUE(Skin::ApplyButtonPictures(minimise, QStringLiteral("btnMinimize")));
    EXPECT_EQ(minimise.OverPicture().size(), QSize(14, 14));
    EXPECT_EQ(minimise.DownPicture().size(), QSize(14, 14));

    TMouseEffectImage unknown;
    EXPECT_FALSE(Skin::ApplyButtonPictures(unknown, QStringLiteral("btnNothing")));
    EXPECT_TRUE(unknown.Picture().isNull());

    unknown.SetHint(QStringLiteral("Play"));
    EXPECT_EQ(unknown.toolTip(), QStringLiteral("Play"));
}

} // namespace
