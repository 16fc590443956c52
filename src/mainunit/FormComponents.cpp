#include "FormComponents.h"

#include "ErrorGuard.h"

#include <QAbstractEventDispatcher>
#include <QFileDialog>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QWidget>
#include <QWindow>

QStringList TFileDialogSettings::NameFilters() const
{
    QStringList filters;
    const QStringList parts = Filter.split(u'|');
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        // Qt takes the patterns from the parentheses at the end of the text.
        description.remove(trailingPatterns);
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
    }
    return filters;
}

void TFileDialogSettings::ApplyTo(QFileDialog& dialog) const
{
    const QStringList filters = NameFilters();
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(DefaultExt);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(FilterIndex - 1));
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
}

void TFileDialogSettings::TakeFrom(const QFileDialog& dialog)
{
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty())
        FileName = chosen.first();
    const qsizetype index = NameFilters().indexOf(dialog.selectedNameFilter());
    if (index >= 0)
        FilterIndex = int(index) + 1;
}

TIdleHook::TIdleHook(std::function<void()> onIdle, QObject* parent)
    : QObject(parent)
    , onIdle_(std::move(onIdle))
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TIdleHook::Idle,
            Qt::DirectConnection);
}

void TIdleHook::Stop()
{
    // A flag, not a reset: Stop may be called from inside the handler.
    stopped_ = true;
}

void TIdleHook::Idle()
{
    if (running_ || stopped_ || !onIdle_)
        return;
    running_ = true;
    Guarded(onIdle_);
    running_ = false;
}

TWindowDrag::TWindowDrag(QWidget* window)
    : window_(window)
{
}

void TWindowDrag::Watch(QWidget* source)
{
    source->installEventFilter(this);
}

void TWindowDrag::Start()
{
    if (byHand_)
        return;
    if (!pressed_) {
        // The press was not seen: anchor where the pointer is now.
        pressGlobal_ = lastGlobal_;
        pressWindowPos_ = window_->pos();
        pressed_ = true;
    }
    QWindow* handle = window_->windowHandle();
    if (handle && handle->startSystemMove()) {
        // The window manager runs the move and keeps the pointer until the
        // button is released; this press is used up.
        pressed_ = false;
        return;
    }
    byHand_ = true;
    Follow(lastGlobal_);
}

void TWindowDrag::Follow(QPoint global)
{
    window_->move(pressWindowPos_ + (global - pressGlobal_));
}

bool TWindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            pressed_ = true;
            byHand_ = false;
            pressGlobal_ = lastGlobal_ = mouse->globalPosition().toPoint();
            pressWindowPos_ = window_->pos();
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        lastGlobal_ = mouse->globalPosition().toPoint();
        if (byHand_) {
            if (mouse->buttons() & Qt::LeftButton)
                Follow(lastGlobal_);
            else
                byHand_ = pressed_ = false; // the release went elsewhere
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            byHand_ = pressed_ = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
