#include "MainAccess.h"

#include "MouseEffectImage.h"
#include "SkinAccessible.h"
#include "TImage.h"
#include "TLabel.h"
#include "TMainForm.h"
#include "TransportRules.h"
#include "WaveRender.h"
#include "appDefine.h"

#include <QAbstractEventDispatcher>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("MainForm", text);
}

// The timeline's value for a window that may be closing (no renderer then).
QString ValueOf(const TMainForm& form)
{
    if (form.Closing())
        return {};
    const TWaveRender& render = *form.WaveRender;
    return TimelineValueTextMs(render.SelStartMs(), render.SelEndMs(), render.PlayPosMs());
}

TMainForm* FormOf(QObject* object)
{
    return object->isWidgetType() ? qobject_cast<TMainForm*>(static_cast<QWidget*>(object)->window())
                                  : nullptr;
}

// The timeline: a slider over the playing time whose value is the cursor's
// second, read out with the selection.
class TTimelineAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    TTimelineAccessible(TImage* wave, TMainForm* form)
        : QAccessibleWidget(wave, QAccessible::Slider)
        , form_(form)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if ((t == QAccessible::Description || t == QAccessible::Value) && form_)
            return ValueOf(*form_);
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    // The scroll box's plumbing (viewport, content) is left out of the tree.
    QAccessibleInterface* parent() const override
    {
        return form_ ? QAccessible::queryAccessibleInterface(form_->ScrollBoxWave) : nullptr;
    }

    QVariant currentValue() const override
    {
        return form_ && !form_->Closing() ? form_->WaveRender->PlayPosSeconds() : 0;
    }
    void setCurrentValue(const QVariant&) override { } // moved by the keys, not set
    QVariant maximumValue() const override
    {
        return form_ && !form_->Closing() ? form_->WaveRender->WaveLength / ColumnsPerSecond : 0;
    }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QPointer<TMainForm> form_;
};

// The timeline's scroll box, holding the timeline and nothing else.
class TTimelineBoxAccessible final : public QAccessibleWidget {
public:
    TTimelineBoxAccessible(QScrollArea* box, TMainForm* form)
        : QAccessibleWidget(box, QAccessible::Pane)
        , form_(form)
    {
    }
    int childCount() const override { return form_ ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return form_ && index == 0 ? QAccessible::queryAccessibleInterface(form_->imgWave) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return form_ && child && child->object() == form_->imgWave ? 0 : -1;
    }

private:
    QPointer<TMainForm> form_;
};

QAccessibleInterface* WindowFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TMainForm"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    TMainForm* form = nullptr;
    if (className == QLatin1String("TImage") && (form = FormOf(object)) && object == form->imgWave)
        return new TTimelineAccessible(form->imgWave, form);
    if (className == QLatin1String("QScrollArea") && (form = FormOf(object)) && object == form->ScrollBoxWave)
        return new TTimelineBoxAccessible(form->ScrollBoxWave, form);
    return nullptr;
}

// A yellow ring with a black inner edge, seen on the light panels and on the
// dark timeline alike. Hidden while the window itself has the focus, so the
// skin looks as always until Tab is pressed.
class TFocusRing final : public QFocusFrame {
public:
    using QFocusFrame::QFocusFrame;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const QRect outer = rect();
        const int w = 2; // pixels of yellow
        painter.fillRect(outer.x(), outer.y(), outer.width(), w, Qt::yellow);
        painter.fillRect(outer.x(), outer.bottom() - w + 1, outer.width(), w, Qt::yellow);
        painter.fillRect(outer.x(), outer.y(), w, outer.height(), Qt::yellow);
        painter.fillRect(outer.right() - w + 1, outer.y(), w, outer.height(), Qt::yellow);
    }
};

// Keys pressed while the timeline has the focus are the window's keys; the
// scroll box would take the arrows for itself.
class TTimelineKeys final : public QObject {
public:
    TTimelineKeys(TMainForm* form)
        : QObject(form)
        , form_(form)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return false;
        QCoreApplication::sendEvent(form_, event);
        return event->isAccepted();
    }

private:
    TMainForm* form_;
};

void NameControls(TMainForm& form)
{
    const struct {
        QWidget* control;
        const char* name;
    } names[] = {
        {form.btnOpen, QT_TRANSLATE_NOOP("MainForm", "Open")},
        {form.btnSave, QT_TRANSLATE_NOOP("MainForm", "Save")},
        {form.btnPlay, QT_TRANSLATE_NOOP("MainForm", "Play")},
        {form.MouseEffectImage1, QT_TRANSLATE_NOOP("MainForm", "Pause")},
        {form.btnMarkStart, QT_TRANSLATE_NOOP("MainForm", "Mark start")},
        {form.btnMarkEnd, QT_TRANSLATE_NOOP("MainForm", "Mark end")},
        {form.btnPlaySelected, QT_TRANSLATE_NOOP("MainForm", "Play selected segment")},
        {form.btnMoveLeft, QT_TRANSLATE_NOOP("MainForm", "Extend left")},
        {form.btnMoveRight, QT_TRANSLATE_NOOP("MainForm", "Extend right")},
        {form.btnMinimize, QT_TRANSLATE_NOOP("MainForm", "Minimise")},
        {form.btnClose, QT_TRANSLATE_NOOP("MainForm", "Close")},
        {form.imgBack, QT_TRANSLATE_NOOP("MainForm", "Velumo MP3 Ringtone Maker")},
        {form.imgAd, QT_TRANSLATE_NOOP("MainForm", "Banner")},
        {form.sb_status, QT_TRANSLATE_NOOP("MainForm", "Status")},
        {form.ScrollBoxWave, QT_TRANSLATE_NOOP("MainForm", "Timeline area")},
        {form.imgWave, QT_TRANSLATE_NOOP("MainForm", "Timeline")},
    };
    for (const auto& entry : names)
        entry.control->setAccessibleName(Tr(entry.name));
    Skin::SetAccessibleRole(form.sb_status, QAccessible::StatusBar);
    Skin::SetAccessibleRole(form.lblAbout, QAccessible::Link);
}

// Tab walks the commands in reading order; a mouse click takes no focus, so
// clicking looks as it always did.
void OrderFocus(TMainForm& form)
{
    QWidget* const order[] = {form.btnOpen, form.btnSave, form.lblAbout, form.imgWave, form.btnPlay,
        form.MouseEffectImage1, form.btnMarkStart, form.btnMarkEnd, form.btnPlaySelected, form.btnMoveLeft,
        form.btnMoveRight, form.btnMinimize, form.btnClose};
    for (QWidget* control : order)
        control->setFocusPolicy(Qt::TabFocus);
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    form.imgWave->installEventFilter(new TTimelineKeys(&form));
    // The window keeps the first focus: Space plays, as it always has.
    form.setFocus();

    auto* ring = new TFocusRing(&form);
    // Shown only once a control has the focus.
    ring->hide();
    QObject::connect(qApp, &QApplication::focusChanged, ring, [&form, ring](QWidget*, QWidget* now) {
        if (!now || now == &form || !form.isAncestorOf(now))
            ring->setWidget(nullptr);
        else
            ring->setWidget(now == form.imgWave ? form.ScrollBoxWave : now);
    });
}

// Screen readers hear the timeline change whichever way it changed (keys,
// buttons, clicks, playback): checked each time the event queue runs empty.
void AnnounceTimeline(TMainForm& form)
{
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    auto last = std::make_shared<QString>();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &form, [&form, last] {
        if (!QAccessible::isActive())
            return;
        const QString value = ValueOf(form);
        if (value == *last)
            return;
        *last = value;
        QAccessibleValueChangeEvent changed(
            form.imgWave, form.Closing() ? 0 : form.WaveRender->PlayPosSeconds());
        QAccessible::updateAccessibility(&changed);
        QAccessibleEvent described(form.imgWave, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    });
}

} // namespace

QString TimelineValueText(int startSeconds, int endSeconds, int cursorSeconds)
{
    return Tr(QT_TRANSLATE_NOOP("MainForm", "Start %1, end %2, cursor %3"))
        .arg(ClockText(startSeconds), ClockText(endSeconds), ClockText(cursorSeconds));
}

QString TimelineValueTextMs(int64_t startMs, int64_t endMs, int64_t cursorMs)
{
    return Tr("Start %1, end %2, cursor %3")
        .arg(Transport::TimeText(startMs), Transport::TimeText(endMs), Transport::TimeText(cursorMs));
}

void InstallAccessibility(TMainForm& form)
{
    // The window's factory after the skin's: Qt asks the last installed first.
    Skin::InstallAccessibility();
    QAccessible::installFactory(WindowFactory);
    NameControls(form);
    OrderFocus(form);
    // The label shows the file's own name however long its path.
    form.lblFilename->SetElidesPath(true);
    AnnounceTimeline(form);
}
