// Keys and drops: desktop habits beside the buttons. Each key runs the same
// handler as its button, with the same mode guards; a dropped file opens as
// if chosen in the Open dialog.

#include "TMainForm.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "FileInfo.h"
#include "MediaDevice.h"
#include "MediaLoader.h"
#include "TImage.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QUrl>

#include <algorithm>
#include <climits>

#include <stdexcept>

namespace {

struct TKeyBinding {
    int key;
    Qt::KeyboardModifiers modifiers;
    void (TMainForm::*handler)();
    const char* keys; // as the help lists it, names translated in context "Keys"; none: not listed
    const char* does; // English source text, context "MainForm"
};

// One table for the keys and the help box; keyboard_test holds the README to it.
const TKeyBinding KeyBindings[] = {
    {Qt::Key_Space, Qt::NoModifier, &TMainForm::PlayOrPauseKey, QT_TRANSLATE_NOOP("Keys", "Space"),
        QT_TRANSLATE_NOOP("MainForm", "Play / Pause")},
    {Qt::Key_Left, Qt::NoModifier, &TMainForm::CursorLeftKey, QT_TRANSLATE_NOOP("Keys", "Left"),
        QT_TRANSLATE_NOOP("MainForm", "Cursor one second back")},
    {Qt::Key_Right, Qt::NoModifier, &TMainForm::CursorRightKey, QT_TRANSLATE_NOOP("Keys", "Right"),
        QT_TRANSLATE_NOOP("MainForm", "Cursor one second on")},
    {Qt::Key_Home, Qt::NoModifier, &TMainForm::CursorHomeKey, QT_TRANSLATE_NOOP("Keys", "Home"),
        QT_TRANSLATE_NOOP("MainForm", "Cursor to the first second")},
    {Qt::Key_End, Qt::NoModifier, &TMainForm::CursorEndKey, QT_TRANSLATE_NOOP("Keys", "End"),
        QT_TRANSLATE_NOOP("MainForm", "Cursor to the last second")},
    {Qt::Key_Left, Qt::AltModifier, &TMainForm::CursorColumnLeftKey, QT_TRANSLATE_NOOP("Keys", "Alt+Left"),
        QT_TRANSLATE_NOOP("MainForm", "Cursor one column back")},
    {Qt::Key_Right, Qt::AltModifier, &TMainForm::CursorColumnRightKey, QT_TRANSLATE_NOOP("Keys", "Alt+Right"),
        QT_TRANSLATE_NOOP("MainForm", "Cursor one column on")},
    {Qt::Key_BracketLeft, Qt::NoModifier, &TMainForm::btnMarkStartClick, "[",
        QT_TRANSLATE_NOOP("MainForm", "Mark start")},
    {Qt::Key_BracketRight, Qt::NoModifier, &TMainForm::btnMarkEndClick, "]",
        QT_TRANSLATE_NOOP("MainForm", "Mark end")},
    {Qt::Key_Left, Qt::ShiftModifier, &TMainForm::btnMoveLeftClick, QT_TRANSLATE_NOOP("Keys", "Shift+Left"),
        QT_TRANSLATE_NOOP("MainForm", "Extend left")},
    {Qt::Key_Right, Qt::ShiftModifier, &TMainForm::btnMoveRightClick,
        QT_TRANSLATE_NOOP("Keys", "Shift+Right"), QT_TRANSLATE_NOOP("MainForm", "Extend right")},
    {Qt::Key_P, Qt::NoModifier, &TMainForm::btnPlaySelectedClick, "P",
        QT_TRANSLATE_NOOP("MainForm", "Play the selected segment")},
    {Qt::Key_L, Qt::NoModifier, &TMainForm::PlayLoopClick, "L",
        QT_TRANSLATE_NOOP("MainForm", "Play the loop")},
    {Qt::Key_W, Qt::NoModifier, &TMainForm::SwitchWaveKey, "W",
        QT_TRANSLATE_NOOP("MainForm", "Timeline: real sound / decorative")},
    {Qt::Key_B, Qt::NoModifier, &TMainForm::SwitchSnapToBeat, "B",
        QT_TRANSLATE_NOOP("MainForm", "Snap to the beat on / off")},
    {Qt::Key_C, Qt::NoModifier, &TMainForm::SuggestRingtoneClick, "C",
        QT_TRANSLATE_NOOP("MainForm", "Suggest a ringtone (the chorus)")},
    // '+' is shifted on most keyboards, not on the keypad; '=' shares its key.
    {Qt::Key_Plus, Qt::NoModifier, &TMainForm::ZoomInKey, "+", QT_TRANSLATE_NOOP("MainForm", "Zoom in")},
    {Qt::Key_Plus, Qt::ShiftModifier, &TMainForm::ZoomInKey, nullptr, nullptr},
    {Qt::Key_Equal, Qt::NoModifier, &TMainForm::ZoomInKey, nullptr, nullptr},
    {Qt::Key_Minus, Qt::NoModifier, &TMainForm::ZoomOutKey, "-", QT_TRANSLATE_NOOP("MainForm", "Zoom out")},
    {Qt::Key_0, Qt::NoModifier, &TMainForm::ZoomResetKey, "0",
        QT_TRANSLATE_NOOP("MainForm", "Zoom back to the whole-second scale")},
    // Read by the timeline's scroll box, listed here with the keys.
    {0, Qt::ControlModifier, nullptr, QT_TRANSLATE_NOOP("Keys", "Ctrl+wheel"),
        QT_TRANSLATE_NOOP("MainForm", "Zoom round the pointer")},
    {Qt::Key_O, Qt::ControlModifier, &TMainForm::btnOpenClick, QT_TRANSLATE_NOOP("Keys", "Ctrl+O"),
        QT_TRANSLATE_NOOP("MainForm", "Open a music file")},
    {Qt::Key_S, Qt::ControlModifier, &TMainForm::btnSaveClick, QT_TRANSLATE_NOOP("Keys", "Ctrl+S"),
        QT_TRANSLATE_NOOP("MainForm", "Save the ringtone")},
    {Qt::Key_P, Qt::ControlModifier, &TMainForm::SendToPhoneClick, QT_TRANSLATE_NOOP("Keys", "Ctrl+P"),
        QT_TRANSLATE_NOOP("MainForm", "Send the saved ringtone to the phone")},
    {Qt::Key_Q, Qt::ControlModifier, &TMainForm::btnCloseClick, QT_TRANSLATE_NOOP("Keys", "Ctrl+Q"),
        QT_TRANSLATE_NOOP("MainForm", "Quit")},
    {Qt::Key_F1, Qt::NoModifier, &TMainForm::KeysHelp, "F1",
        QT_TRANSLATE_NOOP("MainForm", "This list of keys")},
};

} // namespace

QString TMainForm::KeysText()
{
    QString text = QCoreApplication::translate("MainForm", "Keys:") + u'\n';
    for (const TKeyBinding& binding : KeyBindings)
        if (binding.keys)
            text += QStringLiteral("\n%1\t%2")
                        .arg(QCoreApplication::translate("Keys", binding.keys),
                            QCoreApplication::translate("MainForm", binding.does));
    return text;
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    // Keypad arrows count as arrows; the keypad flag is not a modifier here.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    for (const TKeyBinding& binding : KeyBindings) {
        if (binding.handler && event->key() == binding.key && modifiers == binding.modifiers) {
            event->accept();
            Guarded([&] { (this->*binding.handler)(); });
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TMainForm::KeysHelp()
{
    Dialogs().Message(KeysText());
}

void TMainForm::PlayOrPauseKey()
{
    if (Transport::PauseActs(MediaPlayer1->Mode()))
        MouseEffectImage1Click();
    else
        btnPlayClick();
}

void TMainForm::MoveCursorByKey(TTimePos place)
{
    // Like a click on the timeline, which only exists once a file is shown.
    if (Closing() || !ScrollBoxWave->isVisibleTo(this))
        return;
    ApplyCursorMove(Transport::MoveCursorTo(MediaPlayer1->Mode(), place));
    // Keep the cursor in sight with room for its triangle and a second (of
    // the default scale) either side; at the first column that shows the
    // timeline's left edge too.
    const int64_t column
        = std::clamp<int64_t>(WaveRender->SurfaceColumn(WaveRender->PlayPos), INT_MIN / 2, INT_MAX / 2);
    const QPoint cursor = imgWave->pos() + QPoint(static_cast<int>(column), imgWave->height() / 2);
    ScrollBoxWave->ensureVisible(cursor.x(), cursor.y(), WaveOrigin.x() + ColumnsPerSecond + 5, 0);
}

void TMainForm::CursorLeftKey()
{
    if (!Closing())
        MoveCursorByKey(WaveRender->PlayPos.Moved(-1000));
}

void TMainForm::CursorRightKey()
{
    if (!Closing())
        MoveCursorByKey(WaveRender->PlayPos.Moved(1000));
}

namespace {

// One column of the scale shown from the cursor: a column of the default
// scale as such, else exact, on the column grid of that scale.
TTimePos ColumnStep(const TWaveRender& r, int step)
{
    if (r.Scale == ColumnsPerSecond)
        return TTimePos(static_cast<int>(r.PlayPos) + step);
    return TTimePos::Exact((ColumnOfMs(r.PlayPos.Ms, r.Scale) + step) * ColumnMs(r.Scale));
}

} // namespace

void TMainForm::CursorColumnLeftKey()
{
    if (!Closing())
        MoveCursorByKey(ColumnStep(*WaveRender, -1));
}

void TMainForm::CursorColumnRightKey()
{
    if (!Closing())
        MoveCursorByKey(ColumnStep(*WaveRender, +1));
}

void TMainForm::CursorHomeKey()
{
    MoveCursorByKey(0);
}

void TMainForm::CursorEndKey()
{
    if (!Closing())
        MoveCursorByKey(Transport::LastSecondColumn(WaveRender->WaveLength));
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        MediaLoader().Start(); // loads while the user moves to the drop
    }
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    Guarded([&] {
        const QUrl& url = urls.first();
        if (!url.isLocalFile())
            throw std::runtime_error(QCoreApplication::translate(
                "MainForm", "Cannot open '%1': only files on this computer can be opened")
                                         .arg(url.toDisplayString())
                                         .toStdString());
        // The path's own bytes: toLocalFile() would turn bytes that are not
        // UTF-8 into replacement characters, naming another file.
        const QString path
            = FileNameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
        if (IsFolder(path))
            throw std::runtime_error(
                QCoreApplication::translate("MainForm", "Cannot open '%1': it is a folder, not a music file")
                    .arg(DisplayFileName(path))
                    .toStdString());
        OpenPath(path);
    });
}
