#include "GuiServices.h"

#include "ErrorGuard.h"
#include "MPGTools.h"
#include "appDefine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <atomic>

namespace {
std::atomic<bool> quitRequested{false};
QPointer<QWidget> owner;

// How often a long scan lets the window breathe, in milliseconds.
constexpr qint64 PumpInterval = 15;

uint16_t ReadErrorPrompt(TMPEGAudio& audio)
{
    QMessageBox box(QMessageBox::Critical,
        QString::fromUtf8(MPGReadError::Caption.data(), MPGReadError::Caption.size()),
        QString::fromStdString(MPGReadError::Text(audio)), QMessageBox::NoButton, owner);
    // One role for all three keeps them in this order on every style.
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
    QPushButton* retry = box.addButton(QStringLiteral("Retry"), QMessageBox::ActionRole);
    QPushButton* ignore = box.addButton(QStringLiteral("Ignore"), QMessageBox::ActionRole);
    box.setEscapeButton(cancel);
    box.setDefaultButton(cancel);
    box.exec();
    if (box.clickedButton() == retry)
        return MPGReadError::Retry;
    if (box.clickedButton() == ignore)
        return MPGReadError::Ignore;
    return MPGReadError::Cancel;
}
} // namespace

void RequestQuit()
{
    quitRequested = true;
}

bool QuitRequested()
{
    return quitRequested || QCoreApplication::closingDown();
}

bool PumpMessages()
{
    static QElapsedTimer since;
    if (!since.isValid() || since.elapsed() >= PumpInterval) {
        QCoreApplication::processEvents();
        since.restart();
    }
    return QuitRequested();
}

void InstallGuiServices(QWidget* mainWindow)
{
    owner = mainWindow;
    quitRequested = false;
    SetErrorReporter(
        [](const QString& text) { QMessageBox::critical(owner, QString::fromUtf8(ApplicationTitle), text); });
    SetReadErrorPrompt(ReadErrorPrompt);
    SetMessagePump(PumpMessages);
}

void RemoveGuiServices()
{
    SetMessagePump({});
    SetReadErrorPrompt({});
    SetErrorReporter({});
    owner = nullptr;
}
