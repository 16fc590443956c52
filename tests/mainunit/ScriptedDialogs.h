#pragma once
// Dialogs answered by script: each call takes the next answer of its kind and
// is written into Log. A call with no answer left fails the test and cancels.

#include "Dialogs.h"
#include "FormComponents.h"
#include "MPGTools.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <optional>

class ScriptedDialogs final : public TDialogs {
public:
    ScriptedDialogs() { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(nullptr); }

    // File dialogs: a path chooses it (and optionally a 1-based type), none cancels.
    struct FileAnswer {
        std::optional<QString> path;
        int filterIndex = 0; // 0: keep the dialog's
    };
    std::deque<FileAnswer> Opens, Saves;
    std::deque<uint16_t> ReadErrors;
    std::deque<bool> Questions;
    std::deque<int> Choices; // an index, or -1 for Cancel

    // "open", "save", "error: <text>", "read error: <caption>|<text>",
    // "message: <text>", "question: <caption>|<text>", "folder: <path>",
    // "choose: <caption>|<text>|<item>,<item>...".
    QStringList Log;
    // What the file dialogs were shown with, at the last call.
    TFileDialogSettings LastOpenShown, LastSaveShown;

    bool ExecuteOpen(TFileDialogSettings& dialog) override
    {
        Log << "open";
        LastOpenShown = dialog;
        return Answer(Opens, dialog);
    }
    bool ExecuteSave(TFileDialogSettings& dialog) override
    {
        Log << "save";
        LastSaveShown = dialog;
        return Answer(Saves, dialog);
    }
    void Error(const QString& text) override { Log << "error: " + text; }
    uint16_t ReadError(const QString& caption, const QString& text) override
    {
        Log << "read error: " + caption + "|" + text;
        if (ReadErrors.empty()) {
            ADD_FAILURE() << "unexpected read-error prompt: " << text.toStdString();
            return MPGReadError::Cancel;
        }
        const uint16_t answer = ReadErrors.front();
        ReadErrors.pop_front();
        return answer;
    }
    void Message(const QString& text) override { Log << "message: " + text; }
    bool Question(const QString& caption, const QString& text) override
    {
        Log << "question: " + caption + "|" + text;
        if (Questions.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool answer = Questions.front();
        Questions.pop_front();
        return answer;
    }
    void OpenFolder(const QString& folder) override { Log << "folder: " + folder; }
    int Choose(const QString& caption, const QString& text, const QStringList& items) override
    {
        Log << "choose: " + caption + "|" + text + "|" + items.join(',');
        if (Choices.empty()) {
            ADD_FAILURE() << "unexpected list: " << text.toStdString();
            return -1;
        }
        const int answer = Choices.front();
        Choices.pop_front();
        return answer;
    }

    // Log entries starting with prefix.
    QStringList Entries(const QString& prefix) const
    {
        return Log.filter(QRegularExpression("^" + QRegularExpression::escape(prefix)));
    }

private:
    static bool Answer(std::deque<FileAnswer>& answers, TFileDialogSettings& dialog)
    {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        const FileAnswer answer = answers.front();
        answers.pop_front();
        if (!answer.path)
            return false;
        dialog.FileName = *answer.path;
        if (answer.filterIndex > 0)
            dialog.FilterIndex = answer.filterIndex;
        return true;
    }
};
