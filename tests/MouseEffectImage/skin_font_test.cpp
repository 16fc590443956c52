// The skin's text is the same whether it is drawn from the installed font
// files (when they are the bundled ones) or from the bundled copies. Each way
// runs in a process of its own: the font database keeps what it loaded.

#include "SkinFont.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr char ChildVariable[] = "SKIN_FONT_CHILD"; // "installed" or "bundled"
constexpr char ShotVariable[] = "SKIN_FONT_SHOT"; // where the child saves its picture

// The window's kinds of text, in both weights, as the window draws them.
QImage DrawSample()
{
    QImage image(420, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    const QString text = QStringLiteral("File Name: Ring Song (2).mp3  Bitrate: 128 kbps  00:04:00 ÄÖÜ é");
    painter.setFont(SkinFont(11));
    painter.drawText(2, 20, text);
    painter.setFont(SkinFont(11, QFont::Bold));
    painter.drawText(2, 45, text);
    return image;
}

// Draws the sample one way; returns whether the bundled copies were registered.
bool DrawInChild(const char* way, const QString& shot)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ChildVariable, way);
    env.insert(ShotVariable, shot);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SkinFont.*"});
    EXPECT_TRUE(child.waitForFinished(60000));
    const QByteArray out = child.readAllStandardOutput();
    EXPECT_EQ(child.exitCode(), 0) << out.constData();
    return out.contains("bundled copies registered");
}

} // namespace

TEST(SkinFont, InstalledFilesDrawExactlyWhatTheBundledCopiesDraw)
{
    const QByteArray way = qgetenv(ChildVariable);
    if (!way.isEmpty()) {
        if (way == "installed")
            PrepareSkinFonts();
        const QImage image = DrawSample();
        if (!QFontDatabase::applicationFontFamilies(0).isEmpty())
            std::printf("bundled copies registered\n");
        ASSERT_TRUE(image.save(QString::fromLocal8Bit(qgetenv(ShotVariable)), "PNG"));
        return;
    }
    QTemporaryDir dir;
    const QString installedShot = dir.filePath("installed.png"), bundledShot = dir.filePath("bundled.png");
    // The project installs the same Liberation Sans files it bundles.
    EXPECT_FALSE(DrawInChild("installed", installedShot)) << "the installed files were not taken";
    EXPECT_TRUE(DrawInChild("bundled", bundledShot));
    const QImage installed(installedShot), bundled(bundledShot);
    ASSERT_FALSE(installed.isNull());
    EXPECT_EQ(installed, bundled);
    // Text was drawn at all: a line in each weight.
    const auto inked = [&bundled](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < bundled.width(); ++x)
                if (bundled.pixel(x, y) != QColor(Qt::white).rgb())
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(0, 30));
    EXPECT_TRUE(inked(30, 60));
}
