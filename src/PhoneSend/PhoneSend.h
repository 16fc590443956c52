#pragma once
// Sending a saved ringtone to a paired phone: the plain decisions (which
// phone, what the user reads) over a phone service, testable without a
// daemon. KdeConnect.h holds the service that talks to KDE Connect.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

struct TPhone {
    QString Id; // the daemon's device id
    QString Name; // as the user named it
    bool CanShare = false; // its share plugin is loaded: it takes files
    friend bool operator==(const TPhone&, const TPhone&) = default;
};

struct TPhoneListing {
    // Why no phone could be listed (no daemon, no answer); empty when the
    // daemon answered.
    QString Problem;
    std::vector<TPhone> Phones; // paired and reachable
};

// What the phones are reached through. Called on a worker thread (the
// window) or the main thread (the command line); never on a thread that
// draws, since both calls block.
class TPhoneService {
public:
    virtual ~TPhoneService() = default;
    // The paired, reachable phones. Starts the daemon when it is not running
    // and waits, up to waitMs, until a phone that takes files shows up; a set
    // stop ends the wait early.
    virtual TPhoneListing Phones(int waitMs, const std::atomic<bool>& stop) = 0;
    // Hands url (file://...) to the phone; empty when the daemon took it,
    // otherwise its reason.
    virtual QString Share(const TPhone& phone, const QString& url) = 0;
};

// How long the daemon and its phones are waited for, in milliseconds.
constexpr int PhoneWaitMs = 5000;

struct TPhoneChoice {
    enum class TKind {
        Send, // to Phone
        Ask, // the user picks one of Candidates
        Fail, // Message says why not
    };
    TKind Kind = TKind::Fail;
    TPhone Phone;
    std::vector<TPhone> Candidates;
    QString Message;
};

// The phone a file goes to. wanted (a name, or an id) picks one; empty: the
// only phone that takes files, or the user's pick among several.
TPhoneChoice ChoosePhone(const TPhoneListing& listing, const QString& wanted);

// The phones' names as the user picks among them; a name two phones share
// carries each one's id ("Pixel (a1b2)"), which --to also takes.
QStringList PhoneNames(const std::vector<TPhone>& phones);

// Why a file cannot be sent, checked before the daemon gets it (it reports
// success even for a missing file); empty when it can.
QString SendFileProblem(const QString& path);

// The file:// address the daemon takes for a path (a bare path would go as a
// link), percent-encoded, absolute.
QString ShareUrl(const QString& path);

// The user's words for a failed D-Bus call, from the error's name and text.
QString BusProblem(const QString& errorName, const QString& errorText);

struct TSendOutcome {
    bool Sent = false;
    QString Line; // "Sent to <name>", or why not: one line
};

// Shares path with a chosen phone: the file checked again (the wait gave it
// time to go), then handed over.
TSendOutcome ShareWith(TPhoneService& service, const TPhone& phone, const QString& path);

// The command line's whole send: the file checked, the phones listed, one
// chosen (several without wanted fail), the file shared.
TSendOutcome SendFile(
    TPhoneService& service, const QString& path, const QString& wanted, int waitMs = PhoneWaitMs);

namespace PhoneText {
// Functions, so each text is translated in the language loaded when shown.
inline QString Sent(const QString& name)
{
    return QCoreApplication::translate("Phone", "Sent to %1").arg(name);
}
inline QString Looking()
{
    return QCoreApplication::translate("Phone", "Looking for the phone ...");
}
inline QString NotSent()
{
    return QCoreApplication::translate("Phone", "Not sent.");
}
inline QString ChooseCaption()
{
    return QCoreApplication::translate("Phone", "Send to phone");
}
inline QString ChooseText()
{
    return QCoreApplication::translate("Phone", "Which phone should get the ringtone?");
}
inline QString NotInstalled()
{
    return QCoreApplication::translate("Phone",
        "KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt "
        "install "
        "kdeconnect");
}
inline QString NoPhone()
{
    return QCoreApplication::translate("Phone",
        "No paired phone is reachable. Pair the phone in KDE Connect and keep it on the same network.");
}
} // namespace PhoneText
