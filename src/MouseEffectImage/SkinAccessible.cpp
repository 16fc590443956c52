#include "SkinAccessible.h"

#include "MouseEffectImage.h"
#include "TImage.h"
#include "TLabel.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QVariant>

namespace {

constexpr char RoleProperty[] = "skinAccessibleRole";

QAccessible::Role RoleOf(const QWidget* control, QAccessible::Role kindRole)
{
    const QVariant role = control->property(RoleProperty);
    return role.isValid() ? static_cast<QAccessible::Role>(role.toInt()) : kindRole;
}

// A skin control; those reachable by Tab are commands and can be pressed.
class TSkinAccessible : public QAccessibleWidget {
public:
    TSkinAccessible(TControl* control, QAccessible::Role kindRole)
        : QAccessibleWidget(control, kindRole)
        , kindRole_(kindRole)
    {
    }

    // Asked each time: a role given after the interface was made still counts.
    QAccessible::Role role() const override { return RoleOf(widget(), kindRole_); }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (Pressable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction() || !Pressable()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Queued: the command may open a modal dialog, and the screen reader
        // is waiting for this call's answer.
        QPointer<TControl> control = static_cast<TControl*>(widget());
        QMetaObject::invokeMethod(
            control, [control] {
                if (control)
                    control->PerformClick();
            },
            Qt::QueuedConnection);
    }

private:
    QAccessible::Role kindRole_;
    bool Pressable() const { return widget()->isEnabled() && (widget()->focusPolicy() & Qt::TabFocus); }
};

class TButtonAccessible final : public TSkinAccessible {
public:
    explicit TButtonAccessible(TMouseEffectImage* button)
        : TSkinAccessible(button, QAccessible::Button)
    {
    }

    // Named for its command; a button without a given name is read by its hint.
    QString text(QAccessible::Text t) const override
    {
        const QString given = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && given.isEmpty())
            return static_cast<const TMouseEffectImage*>(widget())->Hint();
        return given;
    }
};

class TLabelAccessible final : public TSkinAccessible {
public:
    explicit TLabelAccessible(TLabel* label)
        : TSkinAccessible(label, QAccessible::StaticText)
    {
    }

    // Read as it shows (without access-key marks, the whole of a long path);
    // a blank label is read by the name it was given.
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString shown
                = TLabel::DisplayText(static_cast<const TLabel*>(widget())->Caption()).trimmed();
            return shown.isEmpty() ? widget()->accessibleName() : shown;
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* SkinFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TMouseEffectImage"))
        return new TButtonAccessible(static_cast<TMouseEffectImage*>(object));
    if (className == QLatin1String("TLabel"))
        return new TLabelAccessible(static_cast<TLabel*>(object));
    if (className == QLatin1String("TImage"))
        return new TSkinAccessible(static_cast<TImage*>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

namespace Skin {

void InstallAccessibility()
{
    // Qt keeps one entry per factory, however often it is installed.
    QAccessible::installFactory(SkinFactory);
}

void SetAccessibleRole(QWidget* control, QAccessible::Role role)
{
    control->setProperty(RoleProperty, static_cast<int>(role));
}

} // namespace Skin
