// The About window: layout, home-page address from the settings, keyboard,
// and a fresh window for every opening.

#include "aboutUnit.h"

#include "TImage.h"
#include "TLabel.h"
#include "appDefine.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Loads HomepageUrl from an INI text the way start-up reads config.ini.
void LoadSettings(const QByteArray& ini)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ini);
    file.close();
    ApplicationInfo.HomepageUrl = ReadProfileString(path, QStringLiteral("ApplicationInfo"),
        QStringLiteral("Homepage"), QString::fromLatin1(DefaultHomepageUrl));
}

QString HomepageShown(const QByteArray& ini)
{
    LoadSettings(ini);
    TAboutForm form;
    form.show();
    const QString text = form.lblHomepage->Caption();
    form.close();
    return text;
}

TEST(AboutForm, ControlsAtTheirPlacesWithTheirTexts)
{
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(form.size(), QSize(300, 266));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // dragging the frame keeps the size
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

    ASSERT_EQ(form.findChild<TImage*>(QStringLiteral("Image1")), form.Image1);
    EXPECT_EQ(form.Image1->geometry(), QRect(0, 0, 300, 266));
    EXPECT_FALSE(form.Image1->Picture().isNull());

    ASSERT_EQ(form.findChild<TLabel*>(QStringLiteral("Label1")), form.Label1);
    EXPECT_EQ(form.Label1->pos(), QPoint(97, 68));
    EXPECT_EQ(form.Label1->Caption(), QStringLiteral("( Version 1.20 )"));
    EXPECT_EQ(form.Label1->TextColor(), QColor(128, 0, 128));
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label1->font().pixelSize(), 13);

    ASSERT_EQ(form.findChild<TLabel*>(QStringLiteral("lblHomepage")), form.lblHomepage);
    EXPECT_EQ(form.lblHomepage->pos(), QPoint(47, 165));
    ASSERT_EQ(form.findChild<TLabel*>(QStringLiteral("Label3")), form.Label3);
    EXPECT_EQ(form.Label3->pos(), QPoint(49, 188));
    EXPECT_EQ(form.Label3->Caption(), QString::fromLatin1(SupportAddress));

    ASSERT_EQ(form.findChild<QToolButton*>(QStringLiteral("SpeedButton1")), form.SpeedButton1);
    EXPECT_EQ(form.SpeedButton1->geometry(), QRect(189, 230, 67, 20));
    EXPECT_EQ(form.SpeedButton1->text(), QStringLiteral("&Continue"));
    EXPECT_EQ(form.SpeedButton1->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(form.SpeedButton1->autoRaise());
    EXPECT_EQ(form.SpeedButton1->palette().color(QPalette::ButtonText), QColor(128, 0, 0));
}

TEST(AboutForm, HomepageComesFromTheSettings)
{
    // No key: start-up's default address.
    EXPECT_EQ(HomepageShown("[ApplicationInfo]\nOther=1\n"), QString::fromLatin1(DefaultHomepageUrl));
    // Key present but empty: the window's own address stays.
    EXPECT_EQ(
        HomepageShown("[ApplicationInfo]\nHomepage=\n"), QString::fromLatin1(TAboutForm::BuiltInHomepage));
    // An address with '&' is kept whole; the label draws it without the '&'.
    const QString shown = HomepageShown("[ApplicationInfo]\nHomepage=http://example.com/?a=1&b=2\n");
    EXPECT_EQ(shown, QStringLiteral("http://example.com/?a=1&b=2"));
    EXPECT_EQ(TLabel::DisplayText(shown), QStringLiteral("http://example.com/?a=1b=2"));
    ApplicationInfo.HomepageUrl.clear();
}

TEST(AboutForm, CClosesWhileEnterEscapeAndLabelClicksDoNot)
{
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier),
             Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::AltModifier)}) {
        TAboutForm form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QSignalSpy rejected(&form, &QDialog::rejected);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(&form, key);
            EXPECT_TRUE(form.isVisible()) << "closed by key " << key;
        }
        QTest::mouseClick(form.lblHomepage, Qt::LeftButton);
        QTest::mouseClick(form.Label3, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        QTest::keyClick(&form, Qt::Key_C, mods);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }));
        EXPECT_EQ(rejected.count(), 1) << "modifiers " << int(mods);
    }
}

TEST(AboutForm, ContinueAndFrameCloseBothClose)
{
    TAboutForm a;
    a.show();
    QTest::mouseClick(a.SpeedButton1, Qt::LeftButton);
    EXPECT_FALSE(a.isVisible());
    EXPECT_EQ(a.result(), QDialog::Rejected);
    TAboutForm b;
    b.show();
    b.close();
    EXPECT_FALSE(b.isVisible());
}

TEST(AboutForm, EachOpeningMakesAFreshWindowCentredAndDestroysIt)
{
    QWidget mainWindow;
    mainWindow.setGeometry(100, 80, 598, 422);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));

    struct TSeen {
        quint64 serial = 0;
        QPointer<TAboutForm> form;
        QPoint centre;
    };
    auto openOnce = [&] {
        TSeen seen;
        // Closes the modal window once it is up, noting which one it was.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* form = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            if (!form || !form->isVisible())
                return;
            poll.stop();
            seen = {form->Serial(), form, form->geometry().center()};
            form->SpeedButton1->click();
        });
        poll.start();
        TAboutForm::ShowModalOver(&mainWindow);
        return seen;
    };
    const quint64 before = TAboutForm::CreatedCount();
    const TSeen first = openOnce();
    const TSeen second = openOnce();
    EXPECT_EQ(TAboutForm::CreatedCount(), before + 2);
    EXPECT_NE(first.serial, 0u);
    EXPECT_NE(first.serial, second.serial);
    EXPECT_TRUE(first.form.isNull()) << "the first window survived its closing";
    EXPECT_TRUE(second.form.isNull());
    const QPoint mainCentre = mainWindow.geometry().center();
    EXPECT_LE((first.centre - mainCentre).manhattanLength(), 2)
        << first.centre.x() << "," << first.centre.y() << " vs " << mainCentre.x() << "," << mainCentre.y();
    EXPECT_TRUE(mainWindow.findChildren<TAboutForm*>().isEmpty());
}

} // namespace
