// Keys and drops on the real main window.
#include "MainWindowTest.h"
#include "appDefine.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

#include <cstdio>
#include <utility>

namespace {

class Keys : public MainWindowTest {
public:
    struct State {
        int selStart, selEnd, cursor, mode;
        friend bool operator==(const State&, const State&) = default;
    };

protected:
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(form.get(), Qt::Key(key), modifiers);
    }
    State Now() const
    {
        return {form->WaveRender->SelStart, form->WaveRender->SelEnd, form->WaveRender->PlayPos, Mode()};
    }
    void Drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(300, 300);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
    }
};

void PrintTo(const Keys::State& s, std::ostream* out)
{
    *out << s.selStart << ".." << s.selEnd << " cursor " << s.cursor << " mode " << s.mode;
}

TEST_F(Keys, BeforeAFileTheTransportKeysDoNothing)
{
    const State before = Now();
    for (const auto& [key, modifiers] : std::initializer_list<std::pair<int, Qt::KeyboardModifiers>>{
             {Qt::Key_Space, {}}, {Qt::Key_Left, {}}, {Qt::Key_Right, {}}, {Qt::Key_Home, {}},
             {Qt::Key_End, {}}, {Qt::Key_BracketLeft, {}}, {Qt::Key_BracketRight, {}},
             {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_P, {}}, {Qt::Key_L, {}}}) {
        Press(key, modifiers);
        EXPECT_EQ(Now(), before) << key;
    }
    EXPECT_TRUE(dialogs.Log.isEmpty()) << dialogs.Log.join('\n').toStdString();
}

TEST_F(Keys, EachKeyRunsItsButtonsHandler)
{
    Open(Mp3("song.mp3", 45, {"-ac", "2"}));
    ASSERT_EQ(Mode(), 1);
    form->WaveRender->PlayPos = 20;
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        State after;
    } steps[] = {
        {Qt::Key_Right, {}, {100, 150, 25, 1}},
        {Qt::Key_Left, {}, {100, 150, 20, 1}},
        {Qt::Key_BracketLeft, {}, {20, 150, 20, 1}},
        {Qt::Key_End, {}, {20, 150, 220, 1}},
        {Qt::Key_BracketRight, {}, {20, 220, 220, 1}},
        {Qt::Key_Left, Qt::ShiftModifier, {15, 220, 220, 1}},
        {Qt::Key_Right, Qt::ShiftModifier, {15, 225, 220, 1}},
        {Qt::Key_Home, {}, {15, 225, 0, 1}},
        {Qt::Key_Space, {}, {15, 225, 0, 2}}, // play
        {Qt::Key_Space, {}, {15, 225, 0, 1}}, // pause
        {Qt::Key_Right, {}, {15, 225, 5, 1}},
    };
    for (const auto& step : steps) {
        Press(step.key, step.modifiers);
        EXPECT_EQ(Now(), step.after) << step.key;
    }
    // While playing, a cursor key seeks like a click on the timeline.
    Press(Qt::Key_Space);
    Press(Qt::Key_Right);
    EXPECT_EQ(Now(), (State{15, 225, 10, 2}));
    EXPECT_GE(form->MediaPlayer1->Position(), 2000);
    EXPECT_LT(form->MediaPlayer1->Position(), 5000);
    Press(Qt::Key_P);
    EXPECT_EQ(Mode(), 2);
    EXPECT_EQ(form->MediaPlayer1->StartPos(), 3000);
    EXPECT_EQ(form->MediaPlayer1->EndPos(), 45000);

    dialogs.Opens.push_back({std::nullopt});
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Entries("open").size(), 2);
    Press(Qt::Key_F1);
    ASSERT_EQ(dialogs.Entries("message").size(), 1);
    EXPECT_TRUE(dialogs.Entries("message").at(0).contains("Shift+Left\tExtend left"));
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Keys, TheViewFollowsTheCursorMovedByAKey)
{
    Open(Mp3("long.mp3", 300)); // 1500 columns, far wider than the view
    QScrollBar* bar = form->ScrollBoxWave->horizontalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    Press(Qt::Key_End);
    EXPECT_EQ(form->WaveRender->PlayPos, 1495);
    EXPECT_GT(bar->value(), 1000);
    const int viewLeft = bar->value(), viewWidth = form->ScrollBoxWave->viewport()->width();
    const int cursorX = form->imgWave->x() + form->WaveRender->PlayPos;
    EXPECT_GE(cursorX, viewLeft);
    EXPECT_LT(cursorX, viewLeft + viewWidth);
    // A click moves the cursor without scrolling.
    QTest::mouseClick(form->imgWave, Qt::LeftButton, {}, QPoint(bar->value() + 5, 40));
    EXPECT_EQ(bar->value(), viewLeft);
    Press(Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(Keys, ADroppedFileOpensAndAFolderOrAWebAddressIsRefused)
{
    const QString first = Wav("first.wav", 4), second = Wav("second.wav", 6);
    Drop({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    EXPECT_EQ(form->OpenedFileName, first);
    EXPECT_EQ(form->lblLength->Caption(), "Time Length: 4");
    EXPECT_TRUE(form->ScrollBoxWave->isVisible());
    EXPECT_EQ(Mode(), 1);
    const QStringList labels = Labels();
    for (const QUrl& refused : {QUrl::fromLocalFile(runtime.path()), QUrl("https://example.org/song.mp3")}) {
        dialogs.Log.clear();
        Drop({refused});
        EXPECT_EQ(dialogs.Entries("error").size(), 1) << refused.toString().toStdString();
        EXPECT_EQ(Labels(), labels);
        EXPECT_EQ(form->OpenedFileName, first);
        EXPECT_EQ(Mode(), 1); // the open file stays open
    }
    // A name in Latin-1, its bytes percent-encoded by the file manager.
    const QByteArray latin1 = QFile::encodeName(runtime.path()) + "/\xe9t\xe9.wav";
    ASSERT_EQ(::rename(QFile::encodeName(Wav("made.wav", 3)).constData(), latin1.constData()), 0);
    dialogs.Log.clear();
    Drop({QUrl::fromEncoded("file://" + latin1.toPercentEncoding("/"))});
    EXPECT_TRUE(dialogs.Log.isEmpty()) << dialogs.Log.join('\n').toStdString();
    EXPECT_EQ(FileNameBytes(form->OpenedFileName), latin1);
    EXPECT_EQ(form->lblLength->Caption(), "Time Length: 3");
}

} // namespace

// The README's key table is typed by hand: it must list the keys the window
// answers, no more and no fewer, with the help box's words and order.
TEST(KeysReadme, ListsTheKeysOfTheHelpBox)
{
    QFile readme(QStringLiteral(VELUMO_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly | QIODevice::Text)) << VELUMO_README;
    QStringList documented;
    bool inKeys = false;
    bool header = true;
    while (!readme.atEnd()) {
        const QString line = QString::fromUtf8(readme.readLine()).trimmed();
        if (line.startsWith(QLatin1String("## ")))
            inKeys = line == QLatin1String("## Keys");
        if (!inKeys || !line.startsWith(QLatin1String("| ")))
            continue;
        if (std::exchange(header, false))
            continue; // "| Key | Does |"
        const QStringList cells = line.split(u'|');
        ASSERT_EQ(cells.size(), 4) << line.toStdString();
        documented << cells.at(1).trimmed().remove(u'`') + u'\t' + cells.at(2).trimmed();
    }
    QStringList help = TMainForm::KeysText().split(u'\n');
    help.removeFirst(); // "Keys:"
    help.removeAll(QString());
    EXPECT_EQ(documented.join(u'\n'), help.join(u'\n'));
}
