#pragma once
// Every modal dialog the main window shows goes through TDialogs, so tests
// answer them with scripts and no test waits for a person. The default is
// Qt's real dialogs, owned by the main window.

#include <QString>
#include <QStringList>

#include <cstdint>

struct TFileDialogSettings;
class QWidget;

class TDialogs {
public:
    virtual ~TDialogs() = default;

    // Open and save dialogs with their settings. On OK the settings keep the
    // chosen file name and type, and the result is true.
    virtual bool ExecuteOpen(TFileDialogSettings& dialog) = 0;
    virtual bool ExecuteSave(TFileDialogSettings& dialog) = 0;
    // Error box: error icon, OK, the application title as caption.
    virtual void Error(const QString& text) = 0;
    // The analyser's read-error prompt: error icon, Cancel, Retry and Ignore in
    // that order. Returns the analyser's answer code.
    virtual uint16_t ReadError(const QString& caption, const QString& text) = 0;
    // A message: no icon, OK, the application title as caption, centred on
    // the screen.
    virtual void Message(const QString& text) = 0;
    // A question with Yes and No, no icon. True on Yes.
    virtual bool Question(const QString& caption, const QString& text) = 0;
    // Asks the desktop to show a folder; the outcome is not examined.
    virtual void OpenFolder(const QString& folder) = 0;
    // A short list to pick one of, with OK and Cancel. The index picked, or
    // -1 on Cancel (and from dialogs that offer no lists).
    virtual int Choose(const QString& caption, const QString& text, const QStringList& items)
    {
        (void)caption, (void)text, (void)items;
        return -1;
    }
};

// The dialogs in use: Qt's unless a test has put its own in place.
TDialogs& Dialogs();
// nullptr puts Qt's back. The caller keeps ownership.
void SetDialogs(TDialogs* dialogs);
// The window Qt's dialogs are modal to.
void SetDialogOwner(QWidget* owner);
