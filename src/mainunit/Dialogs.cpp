#include "Dialogs.h"

#include "FormComponents.h"
#include "MPGTools.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

namespace {

QPointer<QWidget> owner;

class TQtDialogs final : public TDialogs {
public:
    bool ExecuteOpen(TFileDialogSettings& settings) override
    {
        QFileDialog dialog(owner);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed name need not exist: the device says what is wrong with it.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setSizeGripEnabled(true);
        return Run(dialog, settings);
    }

    bool ExecuteSave(TFileDialogSettings& settings) override
    {
        QFileDialog dialog(owner);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        return Run(dialog, settings);
    }

    void Error(const QString& text) override
    {
        QMessageBox::critical(owner, QString::fromUtf8(ApplicationTitle), text);
    }

    uint16_t ReadError(const QString& caption, const QString& text) override
    {
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::NoButton, owner);
        // One role for all three keeps them in this order on every style.
        QPushButton* cancel
            = box.addButton(QCoreApplication::translate("MainForm", "Cancel"), QMessageBox::ActionRole);
        QPushButton* retry
            = box.addButton(QCoreApplication::translate("MainForm", "Retry"), QMessageBox::ActionRole);
        QPushButton* ignore
            = box.addButton(QCoreApplication::translate("MainForm", "Ignore"), QMessageBox::ActionRole);
        box.setEscapeButton(cancel);
        box.setDefaultButton(cancel);
        box.exec();
        if (box.clickedButton() == retry)
            return MPGReadError::Retry;
        if (box.clickedButton() == ignore)
            return MPGReadError::Ignore;
        return MPGReadError::Cancel;
    }

    void Message(const QString& text) override
    {
        // No parent: centred on the screen.
        QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok);
        box.exec();
    }

    bool Question(const QString& caption, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
        return box.exec() == QMessageBox::Yes;
    }

    void OpenFolder(const QString& folder) override
    {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }

    int Choose(const QString& caption, const QString& text, const QStringList& items) override
    {
        bool ok = false;
        const QString picked = QInputDialog::getItem(owner, caption, text, items, 0, false, &ok);
        return ok ? static_cast<int>(items.indexOf(picked)) : -1;
    }

private:
    static bool Run(QFileDialog& dialog, TFileDialogSettings& settings)
    {
        settings.ApplyTo(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        settings.TakeFrom(dialog);
        return true;
    }
};

TQtDialogs qtDialogs;
TDialogs* current = nullptr;

} // namespace

TDialogs& Dialogs()
{
    return current ? *current : qtDialogs;
}

void SetDialogs(TDialogs* dialogs)
{
    current = dialogs;
}

void SetDialogOwner(QWidget* window)
{
    owner = window;
}
