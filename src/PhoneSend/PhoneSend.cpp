#include "PhoneSend.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {

QString Names(const std::vector<TPhone>& phones)
{
    return PhoneNames(phones).join(QStringLiteral(", "));
}

std::vector<TPhone> Matching(const std::vector<TPhone>& phones, const QString& wanted)
{
    // The exact name first, then the name in any letter case, then the id.
    const auto pick = [&](auto matches) {
        std::vector<TPhone> found;
        std::copy_if(phones.begin(), phones.end(), std::back_inserter(found), matches);
        return found;
    };
    std::vector<TPhone> found = pick([&](const TPhone& p) { return p.Name == wanted; });
    if (found.empty())
        found = pick([&](const TPhone& p) { return p.Name.compare(wanted, Qt::CaseInsensitive) == 0; });
    if (found.empty())
        found = pick([&](const TPhone& p) { return p.Id == wanted; });
    return found;
}

TPhoneChoice Fail(const QString& message)
{
    return {TPhoneChoice::TKind::Fail, {}, {}, message};
}

} // namespace

TPhoneChoice ChoosePhone(const TPhoneListing& listing, const QString& wanted)
{
    if (!listing.Problem.isEmpty())
        return Fail(listing.Problem);
    if (listing.Phones.empty())
        return Fail(PhoneText::NoPhone());
    std::vector<TPhone> candidates = listing.Phones;
    if (!wanted.isEmpty()) {
        candidates = Matching(listing.Phones, wanted);
        if (candidates.empty())
            return Fail(QCoreApplication::translate(
                "Phone", "No paired phone named \"%1\" is reachable (reachable: %2).")
                            .arg(wanted, Names(listing.Phones)));
    }
    std::vector<TPhone> takers;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(takers),
        [](const TPhone& p) { return p.CanShare; });
    if (takers.empty())
        return Fail(QCoreApplication::translate(
            "Phone", "%1 does not take files: switch on its \"Share and receive\" plugin in KDE Connect.")
                        .arg(Names(candidates)));
    if (takers.size() == 1)
        return {TPhoneChoice::TKind::Send, takers.front(), {}, {}};
    return {TPhoneChoice::TKind::Ask, {}, takers, {}};
}

QString SendFileProblem(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return QCoreApplication::translate("Phone", "Cannot send %1: the file is not there any more.")
            .arg(path);
    if (!file.isFile())
        return QCoreApplication::translate("Phone", "Cannot send %1: it is not a file.").arg(path);
    if (!file.isReadable())
        return QCoreApplication::translate("Phone", "Cannot send %1: it cannot be read.").arg(path);
    return {};
}

QString ShareUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString BusProblem(const QString& errorName, const QString& errorText)
{
    const QString dbus = QStringLiteral("org.freedesktop.DBus.Error.");
    if (errorName == dbus + QLatin1String("ServiceUnknown")
        || errorName == dbus + QLatin1String("NameHasNoOwner"))
        return PhoneText::NotInstalled();
    if (errorName.startsWith(dbus + QLatin1String("Spawn.")))
        return QCoreApplication::translate("Phone", "KDE Connect could not be started: %1").arg(errorText);
    if (errorName == dbus + QLatin1String("NoReply") || errorName == dbus + QLatin1String("Timeout")
        || errorName == dbus + QLatin1String("TimedOut"))
        return QCoreApplication::translate("Phone", "KDE Connect did not answer in time.");
    if (errorName == dbus + QLatin1String("Disconnected") || errorName == dbus + QLatin1String("NoServer")
        || errorName == dbus + QLatin1String("NoNetwork"))
        return QCoreApplication::translate(
            "Phone", "There is no session bus, so KDE Connect cannot be reached.");
    return QCoreApplication::translate("Phone", "KDE Connect refused: %1")
        .arg(errorText.isEmpty() ? errorName : errorText);
}

TSendOutcome SendFile(TPhoneService& service, const QString& path, const QString& wanted, int waitMs)
{
    if (const QString problem = SendFileProblem(path); !problem.isEmpty())
        return {false, problem};
    const std::atomic<bool> never{false};
    const TPhoneChoice choice = ChoosePhone(service.Phones(waitMs, never), wanted);
    switch (choice.Kind) {
    case TPhoneChoice::TKind::Fail:
        return {false, choice.Message};
    case TPhoneChoice::TKind::Ask:
        return {false,
            QCoreApplication::translate(
                "Phone", "Several phones are reachable (%1): name one with --to NAME.")
                .arg(Names(choice.Candidates))};
    case TPhoneChoice::TKind::Send:
        break;
    }
    return ShareWith(service, choice.Phone, path);
}

TSendOutcome ShareWith(TPhoneService& service, const TPhone& phone, const QString& path)
{
    if (const QString problem = SendFileProblem(path); !problem.isEmpty())
        return {false, problem};
    if (const QString refused = service.Share(phone, ShareUrl(path)); !refused.isEmpty())
        return {false,
            QCoreApplication::translate("Phone", "%1 did not take the ringtone: %2")
                .arg(phone.Name, refused)};
    return {true, PhoneText::Sent(phone.Name)};
}

QStringList PhoneNames(const std::vector<TPhone>& phones)
{
    QStringList names;
    for (const TPhone& phone : phones) {
        const bool shared = std::count_if(phones.begin(), phones.end(), [&](const TPhone& other) {
            return other.Name == phone.Name;
        }) > 1;
        names << (shared ? QStringLiteral("%1 (%2)").arg(phone.Name, phone.Id) : phone.Name);
    }
    return names;
}
