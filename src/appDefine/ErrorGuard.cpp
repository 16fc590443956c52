#include "ErrorGuard.h"

#include <cstdio>

namespace {
TErrorReporter& Reporter()
{
    static TErrorReporter reporter;
    return reporter;
}
} // namespace

void SetErrorReporter(TErrorReporter reporter)
{
    Reporter() = std::move(reporter);
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ReportError(const QString& message)
{
    const QString text = ErrorBoxText(message);
    try {
        if (Reporter()) {
            Reporter()(text);
            return;
        }
    } catch (...) {
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
