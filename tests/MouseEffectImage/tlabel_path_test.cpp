// A label showing a long path keeps the file's own name in sight.

#include "TLabel.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// The file-name label's place: 176 pixels wide, on white, in the skin's font.
QImage Shot(const QString& caption, bool elidesPath)
{
    QWidget host;
    host.resize(200, 20);
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, Qt::white);
    host.setPalette(palette);
    auto* label = new TLabel(caption, &host);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    label->SetFont(font);
    label->SetAutoSize(false);
    label->setGeometry(2, 2, 176, 13);
    label->SetElidesPath(elidesPath);
    EXPECT_EQ(label->Caption(), caption); // what tests and the tooltip read stays whole
    return host.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(TLabelPath, ALongPathShowsItsStartAndTheFilesOwnName)
{
    const struct {
        const char* caption;
        const char* shown; // what the label looks like, as a caption drawn whole
    } rows[] = {
        // Short texts and texts without a path draw as they always did.
        {"File Name: /tmp/a.mp3", "File Name: /tmp/a.mp3"},
        {"Sample Rate: 44100 and a long text with no path in it at all", nullptr},
        {"File Name: /home/ann/Music/Albums/Summer Hits 2023/Ring Song.mp3", "File Name: /…/Ring Song.mp3"},
        {"File Name: /srv/x/Ring Song.mp3/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/q.mp3",
            "File Name: /srv/x/…/q.mp3"},
        // The access-key mark after the gap stays under its letter.
        {"File Name: /home/ann/Music/Albums/Summer Hits 2023/Rock &Roll.mp3", "File Name: /home/…/Rock &Roll.mp3"},
        // A name too long by itself: its end, with its type.
        {"File Name: /home/ann/A very long name of a song that never fits.mp3",
            "File Name: …ng that never fits.mp3"},
    };
    for (const auto& row : rows) {
        const QString caption = QString::fromUtf8(row.caption);
        const QString shown = row.shown ? QString::fromUtf8(row.shown) : caption;
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(Shot(caption, true), Shot(shown, false));
    }
}

} // namespace
