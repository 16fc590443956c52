// The decisions of the Open and transport commands, without a window.
#include "FileInfo.h"
#include "MPGTools.h"
#include "TransportRules.h"
#include "appDefine.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace Transport;

TEST(FileRules, ExtensionIsTheLastDotOfTheFileName)
{
    const struct {
        const char* path;
        const char* extension;
        bool mp3;
    } cases[] = {
        {"/music/song.mp3", ".mp3", true},
        {"/music/SONG.MP3", ".MP3", false},
        {"/music/song.Mp3", ".Mp3", false},
        {"/music/song.mp3.wav", ".wav", false},
        {"/music/song", "", false},
        {"/music/v1.2/song", "", false},
        {"/music/v1.2/song.mp3", ".mp3", true},
        {"/music/.mp3", ".mp3", true},
        {"/music/song.", ".", false},
        {"/music/a:b.mp3", ".mp3", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExtension(c.path), c.extension) << c.path;
        EXPECT_EQ(IsMp3Name(c.path), c.mp3) << c.path;
    }
}

TEST(FileRules, PlayingTimeReadsAsADurationInEveryLocale)
{
    const TMPEGTime time{0, 1, 2, 0};
    // Hours, minutes and seconds in the locale's order and separators; no
    // AM/PM, no time zone.
    const QRegularExpression duration(QStringLiteral("^[^0-9]*00[^0-9]+01[^0-9]+02[^0-9]*$"));
    for (const char* name : {"en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "zh_CN", "C"}) {
        const QLocale locale(QString::fromLatin1(name));
        const QString text = DurationText(time, locale);
        EXPECT_TRUE(duration.match(text).hasMatch()) << name << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("AM")) || text.contains(QLatin1String("UTC"))) << name;
    }
    EXPECT_EQ(DurationText(time, QLocale(QLocale::English, QLocale::UnitedStates)), "00:01:02");
    EXPECT_EQ(DurationText({18, 12, 15, 0}, QLocale(QLocale::English, QLocale::UnitedStates)), "18:12:15");
    EXPECT_EQ(DurationText(time, QLocale(QLocale::German, QLocale::Germany)), "00:01:02");
}

TEST(FileRules, LabelTextsForBothBranches)
{
    const TFileInfoTexts mp3 = Mp3InfoTexts("/m/a %1.mp3", {44100, "00:01:02", "VBR", "Mono"});
    EXPECT_EQ(mp3.FileName, "File Name: /m/a %1.mp3");
    EXPECT_EQ(mp3.SampleRate, "Sample Rate: 44100");
    EXPECT_EQ(mp3.Length, "Time Length: 00:01:02");
    EXPECT_EQ(mp3.Bitrate, "Bitrate: VBR");
    EXPECT_EQ(mp3.Channel, "Channel: Mono");
    const TFileInfoTexts wav = OtherInfoTexts("/m/a.wav", 183);
    EXPECT_EQ(wav.SampleRate, "Sample Rate: ");
    EXPECT_EQ(wav.Length, "Time Length: 183");
    EXPECT_EQ(wav.Bitrate, "Bitrate: ");
    EXPECT_EQ(wav.Channel, "Channel: ");
    EXPECT_EQ(TimelineWidth(183), 915);
    EXPECT_EQ(TimelineWidth(65535), 327675);
}

TEST(TransportRules, CommandsActOnlyInTheirModes)
{
    // Modes 0..7: not ready, stopped, playing, recording, seeking, paused, open, unknown.
    const bool play[] = {false, true, false, false, true, true, true, false};
    const bool pause[] = {false, false, true, false, false, false, false, false};
    const bool selection[] = {false, true, true, false, true, true, true, false};
    for (int mode = 0; mode < 8; ++mode) {
        EXPECT_EQ(PlayActs(mode), play[mode]) << mode;
        EXPECT_EQ(PauseActs(mode), pause[mode]) << mode;
        EXPECT_EQ(SelectionActs(mode), selection[mode]) << mode;
        EXPECT_EQ(FollowsPlayback(mode), mode == 2) << mode;
    }
}

TEST(TransportRules, MarkAndExtend)
{
    using C = SelectionChange;
    EXPECT_EQ(MarkStart(100, 150, 200), (C{200, 201}));
    EXPECT_EQ(MarkStart(100, 150, 20), (C{20, std::nullopt}));
    EXPECT_EQ(MarkStart(100, 150, 150), (C{150, std::nullopt}));
    EXPECT_EQ(MarkEnd(100, 150, 60), (C{60, 61}));
    EXPECT_EQ(MarkEnd(100, 150, 120), (C{std::nullopt, 120}));
    EXPECT_EQ(MarkEnd(100, 150, 100), (C{std::nullopt, 100}));
    EXPECT_EQ(ExtendLeft(3, 150), (C{-2, std::nullopt}));
    EXPECT_EQ(ExtendLeft(-2, 150), (C{-7, std::nullopt}));
    EXPECT_EQ(ExtendRight(100, 150), (C{std::nullopt, 155}));
    // No wrap-round at the ends of the column range.
    EXPECT_EQ(MarkStart(0, 10, INT_MAX), (C{INT_MAX, INT_MAX}));
    EXPECT_EQ(ExtendLeft(INT_MIN + 2, 0), (C{INT_MIN, std::nullopt}));
    EXPECT_EQ(ExtendRight(0, INT_MAX - 1), (C{std::nullopt, INT_MAX}));
}

TEST(TransportRules, TimelineClickTouchesTheDeviceOnlyWhilePlaying)
{
    EXPECT_EQ(TimelineClick(Stopped, 99), (ClickPlan{false, 100, std::nullopt}));
    EXPECT_EQ(TimelineClick(NotReady, -7), (ClickPlan{false, -6, std::nullopt}));
    EXPECT_EQ(TimelineClick(Playing, 99), (ClickPlan{true, 100, 20000}));
    EXPECT_EQ(TimelineClick(Playing, 101), (ClickPlan{true, 102, 20400}));
    EXPECT_EQ(TimelineClick(Paused, 99), (ClickPlan{false, 100, std::nullopt}));
}

TEST(TransportRules, PositionsAndSegments)
{
    EXPECT_EQ(FollowColumn(12345), 60);
    EXPECT_EQ(FollowColumn(999), 0);
    // What Save writes, so the preview's fade out ends where the file's does.
    EXPECT_EQ(SelectionSegment(20, 30), (Segment{20000, 30000}));
    EXPECT_EQ(SelectionSegment(20, 20), (Segment{20000, 21000}));
    EXPECT_EQ(SecondsToMs(INT_MAX), INT_MAX);

    PositionTexts texts = Positions(100 / 5, 150 / 5, 0);
    EXPECT_EQ(texts.Begin, "Begin Pos: 00:00:20");
    EXPECT_EQ(texts.End, "End Pos: 00:00:30");
    EXPECT_EQ(texts.Length, "Length: 00:00:10");
    EXPECT_EQ(texts.Current, "Current Pos: 00:00:00");
    texts = Positions(104 / 5, 106 / 5, 3725999);
    EXPECT_EQ(texts.Length, "Length: 00:00:01");
    EXPECT_EQ(texts.Current, "Current Pos: 01:02:05");
    EXPECT_EQ(Positions(-7 / 5, 150 / 5, 0).Begin, "Begin Pos: 00:00:-01");
}

} // namespace
