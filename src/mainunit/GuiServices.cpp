#include "GuiServices.h"

#include "Dialogs.h"
#include "ErrorGuard.h"
#include "MPGTools.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>

namespace {
std::atomic<bool> quitRequested{false};

// How often a long scan lets the window breathe, in milliseconds.
constexpr qint64 PumpInterval = 15;

uint16_t ReadErrorPrompt(TMPEGAudio& audio)
{
    // The analyser's English caption and prefix, translated here.
    return Dialogs().ReadError(QCoreApplication::translate("Errors", "Error"),
        QCoreApplication::translate("Errors", "Error openning file: ")
            + QString::fromStdString(audio.FileName));
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
    SetDialogOwner(mainWindow);
    quitRequested = false;
    SetErrorReporter([](const QString& text) { Dialogs().Error(text); });
    SetReadErrorPrompt(ReadErrorPrompt);
    SetMessagePump(PumpMessages);
}

void RemoveGuiServices()
{
    SetMessagePump({});
    SetReadErrorPrompt({});
    SetErrorReporter({});
    SetDialogOwner(nullptr);
}
