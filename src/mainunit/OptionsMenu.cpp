// The options menu: fades, loudness matching, the timeline's picture, snapping
// to the beat, the suggested ringtone, sending the saved ringtone to a phone,
// the key list and About. A right click anywhere on the window and the
// menu button in the title bar open the same menu; its entries run the same commands as the keys, and the
// choices are kept for the next start.

#include "TMainForm.h"

#include "ErrorGuard.h"
#include "MouseEffectImage.h"
#include "TLabel.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>

#include <functional>
#include <string>

namespace {

// The fade choices' labels come from the shaping table; listed here so the
// translation tools find them.
[[maybe_unused]] constexpr const char* FadeLabels[] = {QT_TRANSLATE_NOOP("MainForm", "Off"),
    QT_TRANSLATE_NOOP("MainForm", "0.5 s"), QT_TRANSLATE_NOOP("MainForm", "1 s"),
    QT_TRANSLATE_NOOP("MainForm", "2 s"), QT_TRANSLATE_NOOP("MainForm", "3 s")};

// Object names of the entries, for finding them again when the menu opens.
const QString FadeInMenuName = QStringLiteral("mnuFadeIn");
const QString FadeOutMenuName = QStringLiteral("mnuFadeOut");
const QString MatchLoudnessName = QStringLiteral("mnuMatchLoudness");
const QString RealSoundName = QStringLiteral("mnuRealSound");
const QString SendToPhoneName = QStringLiteral("mnuSendToPhone");
const QString SnapToBeatName = QStringLiteral("mnuSnapToBeat");
const QString SuggestName = QStringLiteral("mnuSuggestRingtone");

// A submenu with one checkable entry per fade choice; choose(ms) runs on a pick.
QMenu* AddFadeMenu(QMenu* menu, const QString& title, const QString& name, std::function<void(int)> choose)
{
    QMenu* fades = menu->addMenu(title);
    fades->setObjectName(name);
    auto* group = new QActionGroup(fades);
    for (const ringtone::TFadeChoice& choice : ringtone::kFadeChoices) {
        const std::string label(choice.Label);
        QAction* action = fades->addAction(QCoreApplication::translate("MainForm", label.c_str()));
        action->setCheckable(true);
        action->setData(choice.Ms);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, fades, [choose, ms = choice.Ms] { choose(ms); });
    }
    return fades;
}

void CheckFade(const QMenu* menu, const QString& name, int ms)
{
    if (const auto* fades = menu->findChild<QMenu*>(name))
        for (QAction* action : fades->actions())
            action->setChecked(action->data().toInt() == ms);
}

void Check(const QMenu* menu, const QString& name, bool checked)
{
    if (auto* action = menu->findChild<QAction*>(name))
        action->setChecked(checked);
}

} // namespace

void TMainForm::BuildOptionsMenu()
{
    OptionsMenu = new QMenu(this);
    OptionsMenu->setObjectName(QStringLiteral("OptionsMenu"));
    auto guarded = [this](void (TMainForm::*command)()) {
        return [this, command] { Guarded([&] { (this->*command)(); }); };
    };
    AddFadeMenu(
        OptionsMenu, tr("Fade in"), FadeInMenuName, [this](int ms) { Guarded([&] { SetFadeIn(ms); }); });
    AddFadeMenu(
        OptionsMenu, tr("Fade out"), FadeOutMenuName, [this](int ms) { Guarded([&] { SetFadeOut(ms); }); });
    QAction* match = OptionsMenu->addAction(tr("Match phone loudness"));
    match->setObjectName(MatchLoudnessName);
    match->setCheckable(true);
    connect(match, &QAction::triggered, this, guarded(&TMainForm::SwitchMatchLoudness));
    OptionsMenu->addSeparator();
    QAction* sound = OptionsMenu->addAction(tr("Show the real sound"));
    sound->setObjectName(RealSoundName);
    sound->setCheckable(true);
    connect(sound, &QAction::triggered, this, guarded(&TMainForm::SwitchWaveKey));
    OptionsMenu->addSeparator();
    QAction* snap = OptionsMenu->addAction(tr("Snap to the beat"));
    snap->setObjectName(SnapToBeatName);
    snap->setCheckable(true);
    connect(snap, &QAction::triggered, this, guarded(&TMainForm::SwitchSnapToBeat));
    QAction* suggest = OptionsMenu->addAction(tr("Suggest a ringtone"));
    suggest->setObjectName(SuggestName);
    connect(suggest, &QAction::triggered, this, guarded(&TMainForm::SuggestRingtoneClick));
    OptionsMenu->addSeparator();
    QAction* phone = OptionsMenu->addAction(tr("Send to phone"));
    phone->setObjectName(SendToPhoneName);
    connect(phone, &QAction::triggered, this, guarded(&TMainForm::SendToPhoneClick));
    OptionsMenu->addSeparator();
    connect(OptionsMenu->addAction(tr("Keys…")), &QAction::triggered, this, guarded(&TMainForm::KeysHelp));
    connect(
        OptionsMenu->addAction(tr("About")), &QAction::triggered, this, guarded(&TMainForm::lblAboutClick));
    // The keys change the same choices: the checks are read afresh each time.
    connect(OptionsMenu, &QMenu::aboutToShow, this, [this] { RefreshOptionsMenu(); });
}

void TMainForm::RefreshOptionsMenu()
{
    CheckFade(OptionsMenu, FadeInMenuName, Choices.FadeInMs);
    CheckFade(OptionsMenu, FadeOutMenuName, Choices.FadeOutMs);
    Check(OptionsMenu, MatchLoudnessName, Choices.MatchLoudness);
    Check(OptionsMenu, RealSoundName, WaveKind == TWaveKind::Sound);
    Check(OptionsMenu, SnapToBeatName, SnapToBeat);
    // Once a ringtone has been saved, and not while one is on its way.
    if (auto* phone = OptionsMenu->findChild<QAction*>(SendToPhoneName))
        phone->setEnabled(CanSendToPhone());
}

void TMainForm::ShowOptionsMenu(QPoint globalPos)
{
    if (!OptionsMenu)
        BuildOptionsMenu();
    OptionsMenu->popup(globalPos);
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event)
{
    // Every control below passes its right click on to the window.
    event->accept();
    Guarded([&] { ShowOptionsMenu(event->globalPos()); });
}

void TMainForm::btnMenuClick()
{
    ShowOptionsMenu(btnMenu->mapToGlobal(QPoint(0, btnMenu->height())));
}

void TMainForm::btnMenuMouseMove(TMouseEffectImage* sender, Qt::MouseButtons, QPoint)
{
    ShowHint(sender);
}

void TMainForm::KeepChoices()
{
    KeepRingtoneChoices(Choices);
}

void TMainForm::SetFadeIn(int ms)
{
    Choices.FadeInMs = ms;
    KeepChoices();
}

void TMainForm::SetFadeOut(int ms)
{
    Choices.FadeOutMs = ms;
    KeepChoices();
}

void TMainForm::SwitchMatchLoudness()
{
    Choices.MatchLoudness = !Choices.MatchLoudness;
    KeepChoices();
}
