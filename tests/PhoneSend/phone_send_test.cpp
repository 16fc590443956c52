// The plain decisions of sending to a phone: which phone, what the user
// reads, what the daemon is given.
#include "FakePhones.h"
#include "PhoneSend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const TPhone Pixel{"p1", "Pixel", true};
const TPhone Moto{"m2", "Moto G", true};
const TPhone Tablet{"t3", "Tablet", false}; // share plugin off

std::string Describe(const TPhoneChoice& c)
{
    switch (c.Kind) {
    case TPhoneChoice::TKind::Send:
        return "send " + c.Phone.Id.toStdString();
    case TPhoneChoice::TKind::Ask: {
        std::string ids = "ask";
        for (const TPhone& p : c.Candidates)
            ids += " " + p.Id.toStdString();
        return ids;
    }
    case TPhoneChoice::TKind::Fail:
        return "fail: " + c.Message.toStdString();
    }
    return {};
}

} // namespace

TEST(ChoosePhone, OnePhoneGoesSeveralAskANameOrIdPicks)
{
    const std::string noPhone = "fail: " + PhoneText::NoPhone().toStdString();
    const struct {
        TPhoneListing listing;
        QString wanted;
        std::string choice;
    } rows[] = {
        {{"", {Pixel}}, "", "send p1"},
        {{"", {Pixel, Moto}}, "", "ask p1 m2"},
        {{"", {Pixel, Tablet}}, "", "send p1"}, // the one that takes files
        {{"", {Pixel, Moto}}, "Moto G", "send m2"},
        {{"", {Pixel, Moto}}, "moto g", "send m2"},
        {{"", {Pixel, Moto}}, "p1", "send p1"},
        {{"", {Pixel, {"p9", "Pixel", true}}}, "Pixel", "ask p1 p9"},
        {{"", {Pixel, {"p9", "Pixel", true}, Moto}}, "Nokia",
            "fail: No paired phone named \"Nokia\" is reachable (reachable: Pixel (p1), Pixel (p9), Moto "
            "G)."},
        {{"", {Pixel, Moto}}, "Nokia",
            "fail: No paired phone named \"Nokia\" is reachable (reachable: Pixel, Moto G)."},
        {{"", {Tablet}}, "",
            "fail: Tablet does not take files: switch on its \"Share and receive\" plugin in KDE Connect."},
        {{"", {Pixel, Tablet}}, "Tablet",
            "fail: Tablet does not take files: switch on its \"Share and receive\" plugin in KDE Connect."},
        {{"", {}}, "", noPhone},
        {{"", {}}, "Pixel", noPhone},
        {{PhoneText::NotInstalled(), {}}, "", "fail: " + PhoneText::NotInstalled().toStdString()},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Describe(ChoosePhone(row.listing, row.wanted)), row.choice) << row.wanted.toStdString();
}

TEST(ChoosePhone, TheBusErrorsReadAsTheUserNeedsThem)
{
    const struct {
        QString name, text, problem;
    } rows[] = {
        {"org.freedesktop.DBus.Error.ServiceUnknown", "The name org.kde.kdeconnect was not provided",
            "KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt "
            "install kdeconnect"},
        {"org.freedesktop.DBus.Error.Spawn.ChildExited", "Process exited with status 1",
            "KDE Connect could not be started: Process exited with status 1"},
        {"org.freedesktop.DBus.Error.NoReply", "Did not receive a reply",
            "KDE Connect did not answer in time."},
        {"org.freedesktop.DBus.Error.Disconnected", "Not connected to D-Bus server",
            "There is no session bus, so KDE Connect cannot be reached."},
        {"org.freedesktop.DBus.Error.UnknownMethod", "No such method 'deviceNames'",
            "KDE Connect refused: No such method 'deviceNames'"},
        {"org.example.Odd", "", "KDE Connect refused: org.example.Odd"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(BusProblem(row.name, row.text).toStdString(), row.problem.toStdString());
}

TEST(SendFile, TheFileIsCheckedBeforeTheDaemonGetsItsAddress)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ring = dir.filePath("my ring #1 é.mp3");
    QFile file(ring);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ID3");
    file.close();
    const QString locked = dir.filePath("locked.mp3");
    QFile::copy(ring, locked);
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    const bool rootReadsAll = QFileInfo(locked).isReadable();

    const QString encoded = QUrl::fromLocalFile(ring).toString(QUrl::FullyEncoded);
    EXPECT_TRUE(encoded.startsWith("file:///")) << encoded.toStdString();
    EXPECT_TRUE(encoded.endsWith("/my%20ring%20%231%20%C3%A9.mp3")) << encoded.toStdString();
    // Relative paths become absolute: the daemon runs elsewhere.
    QDir::setCurrent(dir.path());
    EXPECT_EQ(ShareUrl("my ring #1 é.mp3"), encoded);

    const struct {
        QString path;
        TPhoneListing listing;
        QString wanted, refusal;
        bool sent;
        QString line;
        QStringList shared;
    } rows[] = {
        {ring, {"", {Pixel}}, "", "", true, "Sent to Pixel", {"p1 " + encoded}},
        {ring, {"", {Pixel, Moto}}, "Moto G", "", true, "Sent to Moto G", {"m2 " + encoded}},
        {ring, {"", {Pixel, Moto}}, "", "", false,
            "Several phones are reachable (Pixel, Moto G): name one with --to NAME.", {}},
        {ring, {"", {}}, "", "", false, PhoneText::NoPhone(), {}},
        {ring, {PhoneText::NotInstalled(), {}}, "", "", false, PhoneText::NotInstalled(), {}},
        {ring, {"", {Pixel}}, "", "Device not reachable", false,
            "Pixel did not take the ringtone: Device not reachable", {"p1 " + encoded}},
        {dir.filePath("gone.mp3"), {"", {Pixel}}, "", "", false,
            "Cannot send " + dir.filePath("gone.mp3") + ": the file is not there any more.", {}},
        {"", {"", {Pixel}}, "", "", false, "Cannot send : the file is not there any more.", {}},
        {dir.path(), {"", {Pixel}}, "", "", false, "Cannot send " + dir.path() + ": it is not a file.", {}},
        {locked, {"", {Pixel}}, "", "", rootReadsAll,
            rootReadsAll ? "Sent to Pixel" : "Cannot send " + locked + ": it cannot be read.",
            rootReadsAll ? QStringList{"p1 " + ShareUrl(locked)} : QStringList{}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path.toStdString() + " " + row.line.toStdString());
        FakePhones phones(row.listing, row.refusal);
        const TSendOutcome outcome = SendFile(phones, row.path, row.wanted, 0);
        EXPECT_EQ(outcome.Sent, row.sent);
        EXPECT_EQ(outcome.Line.toStdString(), row.line.toStdString());
        EXPECT_EQ(phones.Shared(), row.shared);
        // A file that is not there never wakes the daemon.
        EXPECT_EQ(phones.Listed(), row.line.startsWith("Cannot send") ? 0 : 1);
    }
}
