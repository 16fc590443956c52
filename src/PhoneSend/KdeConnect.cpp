#include "KdeConnect.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QTimer>

#include <algorithm>

namespace {

const QString Service = QStringLiteral("org.kde.kdeconnect");
const QString DaemonPath = QStringLiteral("/modules/kdeconnect");
const QString DaemonInterface = QStringLiteral("org.kde.kdeconnect.daemon");
const QString DeviceInterface = QStringLiteral("org.kde.kdeconnect.device");
const QString ShareInterface = QStringLiteral("org.kde.kdeconnect.device.share");
const QString SharePlugin = QStringLiteral("kdeconnect_share");
// One call, the daemon's start by the bus included, milliseconds.
constexpr int CallTimeoutMs = 5000;
// The daemon says when its list changes, but not when a phone's plugins
// load: the list is read again at this pace while waiting, milliseconds.
constexpr int RereadMs = 250;
// Once one phone takes files, how long the others are given to, ms.
constexpr int SettleMs = 1500;

std::atomic<int> connections{0};

QDBusMessage Call(const QDBusConnection& bus, const QString& path, const QString& interface,
    const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, path, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, CallTimeoutMs);
}

QString DevicePath(const QString& id)
{
    return DaemonPath + QStringLiteral("/devices/") + id;
}

QString NotConnected(const QDBusConnection& bus)
{
    return BusProblem(QStringLiteral("org.freedesktop.DBus.Error.Disconnected"), bus.lastError().message());
}

TPhoneListing ListOnce(const QDBusConnection& bus, const std::atomic<bool>& stop)
{
    if (!bus.isConnected())
        return {NotConnected(bus), {}};
    const QDBusMessage names
        = Call(bus, DaemonPath, DaemonInterface, QStringLiteral("deviceNames"), {true, true});
    if (names.type() != QDBusMessage::ReplyMessage)
        return {BusProblem(names.errorName(), names.errorMessage()), {}};
    QMap<QString, QString> idToName;
    if (!names.arguments().isEmpty())
        idToName = qdbus_cast<QMap<QString, QString>>(names.arguments().first());
    TPhoneListing listing;
    // Each call may take its whole bound: a stop is heeded between them.
    for (auto it = idToName.cbegin(); it != idToName.cend() && !stop; ++it) {
        const QDBusMessage plugin
            = Call(bus, DevicePath(it.key()), DeviceInterface, QStringLiteral("hasPlugin"), {SharePlugin});
        const bool canShare = plugin.type() == QDBusMessage::ReplyMessage && !plugin.arguments().isEmpty()
            && plugin.arguments().first().toBool();
        listing.Phones.push_back({it.key(), it.value(), canShare});
    }
    return listing;
}

} // namespace

// Wakes the waiting loop when the daemon's list changes.
class TDeviceListWatch final : public QObject {
    Q_OBJECT
public:
    explicit TDeviceListWatch(QEventLoop* loop)
        : loop_(loop)
    {
    }
public slots:
    void Changed() { loop_->quit(); }

private:
    QEventLoop* loop_;
};

TKdeConnect::TKdeConnect(QString busAddress)
    : address_(std::move(busAddress))
{
    connectionName_ = QStringLiteral("velumo-phone-%1").arg(++connections);
}

TKdeConnect::~TKdeConnect()
{
    QDBusConnection::disconnectFromBus(connectionName_);
}

namespace {
QDBusConnection Bus(const QString& name, const QString& address)
{
    // Our own connection, closed with this object, not the process's shared
    // one: it must not outlive the application object.
    QDBusConnection bus(name);
    if (bus.isConnected())
        return bus;
    QDBusConnection::disconnectFromBus(name);
    return address.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)
                             : QDBusConnection::connectToBus(address, name);
}
} // namespace

TPhoneListing TKdeConnect::Phones(int waitMs, const std::atomic<bool>& stop)
{
    const QDBusConnection bus = Bus(connectionName_, address_);
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    TDeviceListWatch watch(&loop);
    const QStringList watchedSignals
        = {QStringLiteral("deviceListChanged"), QStringLiteral("deviceVisibilityChanged"),
            QStringLiteral("deviceAdded"), QStringLiteral("deviceRemoved")};
    struct TUnwatch {
        const QDBusConnection& bus;
        const QStringList& watchedSignals;
        TDeviceListWatch* watch;
        bool watching = false;
        ~TUnwatch()
        {
            if (watching)
                for (const QString& signal : watchedSignals)
                    QDBusConnection(bus).disconnect(
                        Service, DaemonPath, DaemonInterface, signal, watch, SLOT(Changed()));
        }
    } unwatch{bus, watchedSignals, &watch};
    qint64 firstReadyMs = -1; // when a phone first took files in this wait
    for (bool firstRound = true;; firstRound = false) {
        TPhoneListing listing = ListOnce(bus, stop);
        const auto canShare = [](const TPhone& p) { return p.CanShare; };
        const bool anyReady = std::any_of(listing.Phones.begin(), listing.Phones.end(), canShare);
        const bool allReady = anyReady && std::all_of(listing.Phones.begin(), listing.Phones.end(), canShare);
        if (anyReady && firstReadyMs < 0)
            firstReadyMs = clock.elapsed();
        // A daemon that was running has its phones' plugins loaded; one just
        // started loads them phone by phone, so the others get a moment.
        const bool ready
            = allReady || (anyReady && (firstRound || clock.elapsed() - firstReadyMs >= SettleMs));
        const qint64 left = waitMs - clock.elapsed();
        if (!listing.Problem.isEmpty() || ready || left <= 0 || stop)
            return listing;
        if (!unwatch.watching) {
            // Connected once the daemon runs: the first call started it.
            for (const QString& signal : watchedSignals)
                QDBusConnection(bus).connect(
                    Service, DaemonPath, DaemonInterface, signal, &watch, SLOT(Changed()));
            unwatch.watching = true;
        }
        QTimer::singleShot(static_cast<int>(std::min<qint64>(left, RereadMs)), &loop, &QEventLoop::quit);
        loop.exec();
    }
}

QString TKdeConnect::Share(const TPhone& phone, const QString& url)
{
    const QDBusConnection bus = Bus(connectionName_, address_);
    if (!bus.isConnected())
        return NotConnected(bus);
    const QDBusMessage reply = Call(bus, DevicePath(phone.Id) + QStringLiteral("/share"), ShareInterface,
        QStringLiteral("shareUrl"), {url});
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {};
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

#include "KdeConnect.moc"
