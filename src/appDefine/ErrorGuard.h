#pragma once
// Qt must never see an exception: every event handler runs inside Guarded(),
// which shows what escaped it in the error box and carries on.

#include <QCoreApplication>
#include <QString>

#include <exception>
#include <functional>

// Shows an error box (error icon, OK, application title as caption).
// The GUI installs a message box; tests install their own.
using TErrorReporter = std::function<void(const QString& text)>;
void SetErrorReporter(TErrorReporter reporter);

// The text as the error box shows it: a full stop is appended when the last
// character sorts after '.'.
QString ErrorBoxText(const QString& message);
void ReportError(const QString& message);

template <class Handler> void Guarded(Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QCoreApplication::translate("Errors", "Unknown error"));
    }
}
