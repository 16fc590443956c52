#pragma once
// The main window's invisible helpers: file-dialog settings kept between
// uses, the idle hook, and dragging a frameless window by a picture.

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

// What a file dialog is opened with, kept between uses so a dialog offers the
// last chosen name and type again.
struct TFileDialogSettings {
    // Pairs of "description|pattern", all joined by '|'.
    QString Filter;
    // Without the dot; empty for none.
    QString DefaultExt;
    QString FileName;
    // 1-based, the first type preselected.
    int FilterIndex = 1;

    // The filter as Qt name filters. "*.*" becomes "*": on Linux many files
    // have no dot, and "All Files" must still show them.
    QStringList NameFilters() const;
    void ApplyTo(QFileDialog& dialog) const;
    // Remembers the confirmed name and type.
    void TakeFrom(const QFileDialog& dialog);
};

// Calls its handler each time the GUI thread's event queue has run empty. A
// handler that pumps events itself is not entered a second time meanwhile.
class TIdleHook : public QObject {
    Q_OBJECT
public:
    explicit TIdleHook(std::function<void()> onIdle, QObject* parent = nullptr);
    // No more calls from now on.
    void Stop();

private:
    void Idle();
    std::function<void()> onIdle_;
    bool running_ = false;
    bool stopped_ = false;
};

// Moves a top-level window while the left button is held on one of the
// pictures it watches. It asks the window manager first; where that is
// refused (no window manager, offscreen), the window follows the pointer by
// hand until the button is released, keeping the pointer's offset from the
// press.
class TWindowDrag : public QObject {
    Q_OBJECT
public:
    explicit TWindowDrag(QWidget* window);
    void Watch(QWidget* source);
    // Called from a source's move handler while the left button is held.
    void Start();
    bool FollowingByHand() const { return byHand_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow(QPoint global);

    QWidget* window_;
    bool pressed_ = false;
    bool byHand_ = false;
    QPoint pressGlobal_;
    QPoint pressWindowPos_;
    QPoint lastGlobal_;
};
