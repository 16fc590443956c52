// The skin label: access-key marks, sizing, clipping and exact pixels.

#include "TLabel.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QFont LabelFont()
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    return f;
}

// A white window with one black label at (10, 10); renders to an image.
struct TScene {
    QWidget host;
    TLabel* label;

    explicit TScene(const QString& caption)
    {
        host.resize(300, 40);
        host.setAutoFillBackground(true);
        QPalette pal = host.palette();
        pal.setColor(QPalette::Window, Qt::white);
        host.setPalette(pal);
        label = new TLabel(caption, &host);
        label->SetFont(LabelFont());
        label->move(10, 10);
    }
    QImage Shot() { return host.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST(TLabel, DisplayTextDropsSingleAmpersandsAndMarksTheNextCharacter)
{
    QVector<int> keys;
    EXPECT_EQ(TLabel::DisplayText(QStringLiteral("&Continue"), &keys), QStringLiteral("Continue"));
    EXPECT_EQ(keys, QVector<int>({0}));
    keys.clear();
    EXPECT_EQ(TLabel::DisplayText(QStringLiteral("Tom && Jerry"), &keys), QStringLiteral("Tom & Jerry"));
    EXPECT_TRUE(keys.isEmpty());
    keys.clear();
    EXPECT_EQ(TLabel::DisplayText(QStringLiteral("a&b&&c&d&"), &keys), QStringLiteral("ab&cd"));
    EXPECT_EQ(keys, QVector<int>({1, 4}));
    EXPECT_EQ(TLabel::DisplayText(QStringLiteral("one\ntwo")), QStringLiteral("one two"));
}

TEST(TLabel, AccessKeyUnderlinesOnlyItsCharacter)
{
    TScene marked(QStringLiteral("&Hello"));
    TScene plain(QStringLiteral("Hello"));
    EXPECT_EQ(marked.label->size(), plain.label->size());
    const QImage a = marked.Shot();
    const QImage b = plain.Shot();
    const QFontMetrics fm(marked.label->font());
    const int hEnd = 10 + fm.horizontalAdvance(QStringLiteral("H"));
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++differing;
                EXPECT_LT(x, hEnd) << "underline runs past the marked character";
                EXPECT_GT(y, 10 + fm.ascent() - 1) << "difference above the baseline";
            }
    EXPECT_GT(differing, 0);

    TScene doubled(QStringLiteral("A&&B"));
    TScene single(QStringLiteral("A&B"));
    single.label->SetCaption(QStringLiteral("A&&B"));
    EXPECT_EQ(doubled.Shot(), single.Shot());
}

TEST(TLabel, DrawsWithoutAntialiasingEvenWhenFontSetDirectly)
{
    TScene scene(QStringLiteral("Sample Rate: 44100 Hz"));
    scene.label->setFont(LabelFont()); // QWidget's own setter
    EXPECT_TRUE(scene.label->font().styleStrategy() & QFont::NoAntialias);
    const QImage shot = scene.Shot();
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            colours.insert(shot.pixel(x, y));
    EXPECT_EQ(colours, QSet<QRgb>({qRgb(255, 255, 255), qRgb(0, 0, 0)}));
}

TEST(TLabel, AutoSizeFollowsTextFromFixedLeftEdgeAndFixedSizeClips)
{
    TScene scene(QStringLiteral("Play"));
    const QSize small = scene.label->size();
    EXPECT_GT(small.width(), 0);
    EXPECT_EQ(small.height(), QFontMetrics(scene.label->font()).height() + 1);
    scene.label->SetCaption(QStringLiteral("Play the selected segment"));
    EXPECT_GT(scene.label->width(), small.width());
    EXPECT_EQ(scene.label->x(), 10);
    scene.label->SetCaption(QString());
    EXPECT_GT(scene.label->width(), 0); // one blank's width, still there
    scene.label->SetCaption(QStringLiteral("Play"));
    EXPECT_EQ(scene.label->size(), small);

    scene.label->SetAutoSize(false);
    scene.label->resize(40, 13);
    scene.label->SetCaption(QStringLiteral("File Name: a very long name indeed.mp3"));
    EXPECT_EQ(scene.label->size(), QSize(40, 13));
    const QImage shot = scene.Shot();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 50; x < shot.width(); ++x)
            ASSERT_EQ(shot.pixel(x, y), qRgb(255, 255, 255)) << "text drawn outside at " << x << "," << y;
}

TEST(TLabel, MouseSignalsAndClickRule)
{
    TScene scene(QStringLiteral("About"));
    scene.host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scene.host));
    QWindow* w = scene.host.windowHandle();
    QSignalSpy moves(scene.label, &TLabel::MouseMove);
    QSignalSpy leaves(scene.label, &TLabel::MouseLeave);
    QSignalSpy clicks(scene.label, &TLabel::Click);
    const QPoint inside(12, 14);
    QTest::mouseMove(w, QPoint(250, 30));
    QTest::mouseMove(w, inside);
    EXPECT_GE(moves.count(), 1);
    QTest::mouseClick(w, Qt::LeftButton, {}, inside);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(w, Qt::LeftButton, {}, inside);
    QTest::mouseMove(w, QPoint(250, 30));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(250, 30));
    EXPECT_EQ(clicks.count(), 1); // released outside: no click
    EXPECT_GE(leaves.count(), 1);

    scene.label->SetUnderline(true);
    scene.label->SetTextColor(QColor(255, 255, 0));
    EXPECT_TRUE(scene.label->Underline());
    EXPECT_EQ(scene.label->TextColor(), QColor(255, 255, 0));
    EXPECT_TRUE(scene.label->font().styleStrategy() & QFont::NoAntialias);
}

} // namespace
