// The main window's skin and chrome under real pointer input: events go
// through the window, so Qt itself picks the control under the pointer.

#include "MediaDevice.h"
#include "MouseEffectImage.h"
#include "SkinPictures.h"
#include "TImage.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "aboutUnit.h"

#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Readable places in failure messages.
void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height();
}

namespace {

class MainLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        form = std::make_unique<TMainForm>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        window = form->windowHandle();
    }
    void TearDown() override
    {
        // The test library remembers held buttons across tests.
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(300, 20));
    }

    // The centre of a control, in window coordinates.
    QPoint CentreOf(const QWidget* w) const { return w->mapTo(form.get(), w->rect().center()); }
    void Move(QPoint p) { QTest::mouseMove(window, p); }
    void Press(QPoint p) { QTest::mousePress(window, Qt::LeftButton, {}, p); }
    void Release(QPoint p) { QTest::mouseRelease(window, Qt::LeftButton, {}, p); }

    QTemporaryDir runtime;
    std::unique_ptr<TMainForm> form;
    QWindow* window = nullptr;
};

struct TLabelRow {
    const char* name;
    QRect place; // width -1: sized to its text
    const char* caption;
};

TEST_F(MainLayout, LabelsStandAtTheirPlacesWithTheirStartTexts)
{
    const TLabelRow rows[] = {
        {"lblFilename", {188, 262, 176, 13}, "File Name:"},
        {"lblBitrate", {188, 282, 176, 16}, "Bitrate:"},
        {"lblChannel", {188, 304, 176, 13}, "Channels:"},
        {"lblSampleRate", {188, 324, 176, 13}, "Sample Rate:"},
        {"lblLength", {188, 344, 176, 13}, "Length:"},
        {"lblBeginPos", {393, 262, 175, 13}, "Begin Pos: "},
        {"lblEndPos", {393, 282, 175, 16}, "End Pos:"},
        {"lblSelectedLength", {393, 304, 175, 13}, "Length: "},
        {"lblCurrentPos", {393, 324, 175, 13}, "Current Pos: "},
        {"sb_status", {1, 400, -1, 13}, "                              "},
        {"lbl_status", {395, 186, -1, 13}, "Play"},
        {"lblAbout", {60, 367, -1, 13}, "About"},
    };
    for (const TLabelRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto* label = form->findChild<TLabel*>(row.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), form.get());
        EXPECT_EQ(label->Caption(), row.caption);
        EXPECT_EQ(label->pos(), row.place.topLeft());
        if (row.place.width() > 0) {
            EXPECT_EQ(label->size(), row.place.size());
            EXPECT_FALSE(label->AutoSize());
        } else {
            EXPECT_TRUE(label->AutoSize());
            EXPECT_EQ(label->size(), label->TextSize());
        }
        EXPECT_EQ(label->font().pixelSize(), 11);
    }
    EXPECT_EQ(form->sb_status->Caption().size(), 30);
    EXPECT_EQ(form->sb_status->TextColor(), QColor(0, 0, 0));
    EXPECT_TRUE(form->lbl_status->font().bold());
    EXPECT_EQ(form->lbl_status->TextColor(), QColor(255, 255, 0));
    EXPECT_FALSE(form->lblAbout->font().bold());
    EXPECT_FALSE(form->lblAbout->Underline());
    EXPECT_EQ(form->lblAbout->TextColor(), QColor(255, 255, 255));
}

// The buttons written out by hand, once, so that a wrong entry in the shared
// button table cannot pass unnoticed.
// Picture kinds of normal, hover, pressed: J = JPEG, B = 32-bit BMP, = the
// hover file again.
struct TExpectedButton {
    const char* name;
    QRect place;
    const char* hint;
    const char* kinds;
};

TEST(ButtonTable, HoldsEveryButtonsPlaceHintAndPictures)
{
    const TExpectedButton expected[] = {
        {"btnOpen", {26, 254, 108, 32}, "", "JJB"},
        {"btnSave", {26, 303, 108, 32}, "", "JJB"},
        {"btnPlay", {454, 97, 47, 48}, "Play", "JJ="},
        {"btnMarkStart", {414, 105, 36, 35}, "Mark start", "JJB"},
        {"btnMarkEnd", {500, 104, 36, 35}, "Mark end", "JJB"},
        {"btnPlaySelected", {458, 60, 36, 36}, "Play the selected segment", "JJB"},
        {"btnMoveLeft", {408, 51, 40, 40}, "Extend left", "JJB"},
        {"btnMoveRight", {503, 51, 42, 42}, "Extend right", "JJB"},
        {"btnMenu", {526, 8, 14, 14}, "Options", "JBJ"},
        {"btnMinimize", {549, 8, 14, 14}, "", "JBJ"},
        {"btnClose", {572, 8, 14, 14}, "", "JJB"},
        {"MouseEffectImage1", {458, 144, 35, 35}, "Pause", "JJB"},
    };
    auto letter = [](Skin::TPictureKind kind) { return kind == Skin::TPictureKind::Jpeg ? 'J' : 'B'; };
    ASSERT_EQ(std::size(Skin::Buttons), std::size(expected));
    for (const TExpectedButton& row : expected) {
        SCOPED_TRACE(row.name);
        const Skin::TButtonFace* face = Skin::FindButton(row.name);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->place, row.place);
        EXPECT_STREQ(face->hint, row.hint);
        const std::string kinds{
            letter(face->normal), letter(face->hover), face->downIsHover ? '=' : letter(face->down)};
        EXPECT_EQ(kinds, row.kinds);
        if (face->downIsHover) {
            EXPECT_EQ(face->down, face->hover);
        }
    }
}

TEST_F(MainLayout, EveryTableButtonStandsInTheWindowWithItsPictures)
{
    std::vector<std::string> stacking;
    for (const Skin::TButtonFace& face : Skin::Buttons) {
        SCOPED_TRACE(face.control);
        stacking.emplace_back(face.control);
        auto* button = form->findChild<TMouseEffectImage*>(face.control);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->parentWidget(), form.get());
        EXPECT_EQ(button->geometry(), face.place);
        EXPECT_EQ(button->Hint(), face.hint);
        EXPECT_FALSE(button->RevertOnLeave());
        const QString control = QString::fromLatin1(face.control);
        EXPECT_EQ(button->OriginPicture(),
            Skin::Load(Skin::ButtonPicturePath(control, Skin::TButtonState::Normal)));
        EXPECT_EQ(
            button->OverPicture(), Skin::Load(Skin::ButtonPicturePath(control, Skin::TButtonState::Hover)));
        EXPECT_EQ(
            button->DownPicture(), Skin::Load(Skin::ButtonPicturePath(control, Skin::TButtonState::Down)));
        EXPECT_FALSE(button->OriginPicture().isNull());
        EXPECT_EQ(button->Picture(), button->OriginPicture());
    }
    // No button outside the table, and the table lists them bottom to top.
    std::vector<std::string> shown;
    for (const TMouseEffectImage* button : form->findChildren<TMouseEffectImage*>(Qt::FindDirectChildrenOnly))
        shown.push_back(button->objectName().toStdString());
    EXPECT_EQ(shown, stacking);
}

TEST_F(MainLayout, WindowIsABorderlessCentredSkin)
{
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->minimumSize(), QSize(598, 422));
    EXPECT_EQ(form->maximumSize(), QSize(598, 422));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->windowIcon().isNull(); })); // set after the first paint
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form->frameGeometry().center() - screen.center()).manhattanLength(), 1);

    EXPECT_EQ(form->imgBack->geometry(), QRect(0, 0, 598, 422));
    // The banner's place is larger than its picture; the rest shows the background.
    EXPECT_EQ(form->imgAd->geometry(), QRect(13, 38, 363, 170));
    EXPECT_EQ(form->imgAd->Picture().size(), QSize(361, 169));
    EXPECT_FALSE(form->ScrollBoxWave->isVisible());
    EXPECT_EQ(form->ScrollBoxWave->maximumViewportSize(), QSize(361, 169));

    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 1000);
    ASSERT_NE(form->MediaPlayer1, nullptr);
    EXPECT_FALSE(form->MediaPlayer1->Opened());
}

TEST_F(MainLayout, LabelsAndScrollBoxLieAboveWhatTheyCover)
{
    for (TLabel* label : {form->lblFilename, form->lbl_status, form->lblAbout, form->sb_status})
        EXPECT_EQ(form->childAt(CentreOf(label)), label) << label->objectName().toStdString();
    const QPoint banner = CentreOf(form->imgAd);
    EXPECT_EQ(form->childAt(banner), form->imgAd);
    form->ScrollBoxWave->show();
    EXPECT_TRUE(form->ScrollBoxWave->isAncestorOf(form->childAt(banner)));
}

TEST_F(MainLayout, HintLineKeepsTheLastTransportButtonsHint)
{
    Move(CentreOf(form->btnMarkStart));
    Move(CentreOf(form->btnPlaySelected));
    Move(CentreOf(form->btnMoveRight));
    EXPECT_EQ(form->lbl_status->Caption(), "Extend right");
    // Neither Open, Save nor the background changes it.
    Move(CentreOf(form->btnOpen));
    Move(CentreOf(form->btnSave));
    Move(QPoint(300, 20));
    EXPECT_EQ(form->lbl_status->Caption(), "Extend right");
    Move(CentreOf(form->MouseEffectImage1));
    EXPECT_EQ(form->lbl_status->Caption(), "Pause");
    EXPECT_EQ(form->lbl_status->x(), 395);
    EXPECT_EQ(form->lbl_status->size(), form->lbl_status->TextSize());
}

TEST_F(MainLayout, AboutLinkHighlightsAndOpensTheAboutWindow)
{
    Move(CentreOf(form->lblAbout));
    EXPECT_TRUE(form->lblAbout->Underline());
    EXPECT_FALSE(form->lblAbout->font().bold());
    EXPECT_EQ(form->lblAbout->TextColor(), QColor(255, 255, 0));
    Move(QPoint(100, 390));
    EXPECT_FALSE(form->lblAbout->Underline());
    EXPECT_EQ(form->lblAbout->TextColor(), QColor(255, 255, 255));

    const quint64 before = TAboutForm::CreatedCount();
    QPointer<QWidget> shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = modal;
            EXPECT_NE(qobject_cast<TAboutForm*>(modal), nullptr);
            EXPECT_EQ(modal->parentWidget(), form.get());
            modal->close();
        }
    });
    closer.start(10);
    QTest::mouseClick(window, Qt::LeftButton, {}, CentreOf(form->lblAbout));
    closer.stop();
    EXPECT_EQ(TAboutForm::CreatedCount(), before + 1);
    EXPECT_TRUE(shown.isNull()); // deleted once closed
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainLayout, AmpersandInALabelIsAnAccessKeyMark)
{
    TLabel* label = form->lblFilename;
    label->SetCaption("Rock Roll.mp3");
    const QImage plain = label->grab().toImage();
    label->SetCaption("Rock &Roll.mp3");
    const QImage marked = label->grab().toImage();
    EXPECT_EQ(label->size(), QSize(176, 13));
    // The same letters at the same places; only the underline under R differs.
    const int baseline = 1 + QFontMetrics(label->font()).ascent();
    int differing = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (plain.pixel(x, y) != marked.pixel(x, y)) {
                ++differing;
                EXPECT_GT(y, baseline) << x << "," << y;
            }
    EXPECT_GT(differing, 0);
    // A long path is clipped at the label's fixed width.
    label->SetCaption(QString(200, u'W'));
    EXPECT_EQ(label->size(), QSize(176, 13));
}

TEST_F(MainLayout, CloseButtonClosesAndReleasesTheRenderer)
{
    ASSERT_NE(form->WaveRender, nullptr);
    QTest::mouseClick(window, Qt::LeftButton, {}, CentreOf(form->btnClose));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->WaveRender, nullptr);
    EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(MainLayout, MinimiseButtonMinimises)
{
    QTest::mouseClick(window, Qt::LeftButton, {}, CentreOf(form->btnMinimize));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->isMinimized(); }, 5000));
}

TEST_F(MainLayout, PullingTheBackgroundMovesTheWindow)
{
    // Pointer positions on the screen; the window moves under the pointer.
    auto local = [&](QPoint screen) { return screen - form->pos(); };
    const QPoint start = form->pos();
    const QPoint grip = start + QPoint(100, 10); // the title lettering
    // A press and release without moving does nothing.
    Press(local(grip));
    Release(local(grip));
    EXPECT_EQ(form->pos(), start);

    Press(local(grip));
    Move(local(grip + QPoint(30, 20)));
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
    Move(local(grip + QPoint(-40, 25)));
    EXPECT_EQ(form->pos(), start + QPoint(-40, 25));
    Release(local(grip + QPoint(-40, 25)));
    Move(local(grip + QPoint(60, 60)));
    EXPECT_EQ(form->pos(), start + QPoint(-40, 25));

    // The banner pulls the same way.
    const QPoint second = form->pos();
    const QPoint banner = second + CentreOf(form->imgAd);
    Press(local(banner));
    Move(local(banner + QPoint(-5, 7)));
    EXPECT_EQ(form->pos(), second + QPoint(-5, 7));
    Release(local(banner + QPoint(-5, 7)));
}

TEST_F(MainLayout, PressingElsewhereDoesNotMoveTheWindow)
{
    const QPoint start = form->pos();
    for (QWidget* control :
        std::initializer_list<QWidget*>{form->lblAbout, form->lbl_status, form->btnPlay}) {
        SCOPED_TRACE(control->objectName().toStdString());
        Press(CentreOf(control));
        // Onto the background with the button held: the pressed control keeps the mouse.
        Move(QPoint(100, 10));
        Move(QPoint(150, 20));
        Release(QPoint(150, 20));
        EXPECT_EQ(form->pos(), start);
    }
    // Once the timeline covers the banner, pulling there moves nothing.
    form->ScrollBoxWave->show();
    Press(CentreOf(form->imgAd));
    Move(CentreOf(form->imgAd) + QPoint(10, 10));
    Release(CentreOf(form->imgAd) + QPoint(10, 10));
    EXPECT_EQ(form->pos(), start);
}

TEST_F(MainLayout, TimelineGetsScrollBarsOnlyWhenWiderThanItsBox)
{
    form->ScrollBoxWave->show();
    QScrollBar* across = form->ScrollBoxWave->horizontalScrollBar();
    QScrollBar* down = form->ScrollBoxWave->verticalScrollBar();
    auto widen = [&](int width) {
        form->imgWave->resize(width, 152);
        QCoreApplication::processEvents();
    };
    widen(348); // 13 + 348 = 361: fits exactly
    EXPECT_EQ(form->ScrollBoxWaveContent->size(), QSize(361, 159));
    EXPECT_FALSE(across->isVisible());
    EXPECT_FALSE(down->isVisible());

    widen(349);
    EXPECT_TRUE(across->isVisible());
    ASSERT_GT(across->height(), 10);
    EXPECT_TRUE(down->isVisible());
    // As many pixels of travel as are missing, beside the other bar.
    EXPECT_EQ(across->maximum(), 362 - (361 - down->width()));
    EXPECT_EQ(down->maximum(), 159 - (169 - across->height()));

    widen(276);
    EXPECT_FALSE(across->isVisible());
    EXPECT_FALSE(down->isVisible());
}

TEST(FileDialogSettings, FiltersBecomeQtNameFiltersAndSurviveADialog)
{
    TMainForm form;
    EXPECT_EQ(form.dlgOpen.NameFilters(),
        QStringList({"Mp3 Music Files (*.mp3)", "Wave Files (*.wav)", "WMA Files (*.wma)", "All Files (*)"}));
    EXPECT_EQ(form.SaveDialog1.NameFilters(),
        QStringList({"Mp3 Music File (*.mp3)", "AMR Ringtone (*.amr)", "iPhone Ringtone (*.m4r)",
            "Android Ringtone (*.ogg)"}));

    QTemporaryDir dir;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(dir.path());
    form.SaveDialog1.ApplyTo(dialog);
    EXPECT_EQ(dialog.defaultSuffix(), "mp3");
    EXPECT_EQ(dialog.selectedNameFilter(), "Mp3 Music File (*.mp3)");
    dialog.selectNameFilter("AMR Ringtone (*.amr)");
    dialog.selectFile(dir.filePath("ring.amr"));
    form.SaveDialog1.TakeFrom(dialog);
    EXPECT_EQ(form.SaveDialog1.FilterIndex, 2);
    EXPECT_EQ(form.SaveDialog1.FileName, dir.filePath("ring.amr"));
}

TEST(IdleHook, RunsWhenTheQueueIsEmptyAndNeverInsideItself)
{
    QEventLoop loop;
    int calls = 0;
    int depth = 0;
    int deepest = 0;
    TIdleHook hook([&] {
        ++calls;
        deepest = std::max(deepest, ++depth);
        // A handler that waits in a loop of its own, as an error box does.
        QEventLoop nested;
        QTimer::singleShot(1, &nested, &QEventLoop::quit);
        nested.exec();
        --depth;
        if (calls == 3)
            loop.quit();
    });
    QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_GE(calls, 3);
    EXPECT_EQ(deepest, 1);
}

} // namespace
