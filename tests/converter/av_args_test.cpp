// The converter's command-line rules that the end-to-end runs do not reach.
#include "av_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(AvClock, AcceptsExportClockTextsOnly)
{
    EXPECT_EQ(av::parseClock("01:02:05")->seconds, 3725);
    EXPECT_EQ(av::parseClock("123:00:01")->seconds, 123 * 3600 + 1); // hours may grow past two digits
    EXPECT_TRUE(av::parseClock("00:00:-01")->negative);
    EXPECT_TRUE(av::parseClock("-01:-02:-05")->negative);
    EXPECT_FALSE(av::parseClock("00:00:00")->negative);
    for (const char* bad : {"", "0:00:01", "00:0:01", "00:00:1", "00:60:00", "00:00:60", "00:00:01:00",
             "00:00", "00:00:+1", "00:00: 1", "00:00:01 ", "aa:bb:cc", "9999999:00:00", "00:00:--1"})
        EXPECT_FALSE(av::parseClock(bad).has_value()) << bad;
}

TEST(AvAmr, RequestMapsToHighestModeNotAbove)
{
    EXPECT_EQ(av::amrNbRate(32000), 12200);
    EXPECT_EQ(av::amrNbRate(12200), 12200);
    EXPECT_EQ(av::amrNbRate(12199), 10200);
    EXPECT_EQ(av::amrNbRate(7000), 6700);
    EXPECT_EQ(av::amrNbRate(1000), 4750);
}

av::Job parseOk(std::vector<std::string> a)
{
    auto r = av::parseArgs(a);
    if (auto* e = std::get_if<av::ArgError>(&r))
        ADD_FAILURE() << e->message;
    return std::holds_alternative<av::Job>(r) ? std::get<av::Job>(r) : av::Job{};
}

av::ArgError parseBad(std::vector<std::string> a)
{
    auto r = av::parseArgs(a);
    EXPECT_TRUE(std::holds_alternative<av::ArgError>(r));
    return std::holds_alternative<av::ArgError>(r) ? std::get<av::ArgError>(r) : av::ArgError{};
}

// The export's own lines go through this parser in the export job's tests;
// here the units and the rules those lines do not show.
TEST(AvArgs, OptionsMapToTodaysUnits)
{
    const av::Job mp3 = parseOk({"-i", "s", "-ss", "00:00:20", "-t", "00:00:10", "-ab", "64", "/t/-x.mp3"});
    EXPECT_EQ(mp3.codec, av::Codec::Mp3);
    EXPECT_EQ(mp3.bitRate, 64000); // kbit/s in, bit/s out
    EXPECT_EQ(mp3.startSeconds, 20);
    EXPECT_EQ(mp3.lengthSeconds, 10);
    EXPECT_FALSE(mp3.channels.has_value());
    EXPECT_FALSE(mp3.sampleRate.has_value());

    // AMR-NB: the highest mode not above the request, mono at 8 kHz.
    const av::Job amr = parseOk({"-i", "s", "-acodec", "amr_nb", "-ab", "32", "-t.amr"});
    EXPECT_EQ(amr.bitRate, 12200);
    EXPECT_EQ(amr.channels, 1);
    EXPECT_EQ(amr.sampleRate, 8000);
    EXPECT_EQ(amr.target, "-t.amr"); // the last argument is the target, dash or not

    // Without -f and -acodec the extension decides, in any letter case.
    EXPECT_EQ(parseOk({"-i", "s", "/t/x.M4R"}).codec, av::Codec::Aac);
    EXPECT_EQ(parseOk({"-i", "s", "x.ogg"}).codec, av::Codec::Vorbis);
    EXPECT_EQ(parseOk({"-i", "s", "x.Amr"}).codec, av::Codec::AmrNb);
}

TEST(AvArgs, InconsistentOrIncompleteLinesAreRefused)
{
    EXPECT_EQ(parseBad({}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-i", "s", "t.mp3"}).message, "option -i is given twice");
    EXPECT_EQ(parseBad({"-i", "s", "-ss", "t.mp3"}).message, "option -ss needs a value");
    EXPECT_EQ(parseBad({"-i", "s", "stray", "t.mp3"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-f", "amr", "-acodec", "mp3", "t.amr"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "amr_nb", "-ac", "2", "t.amr"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "amr_nb", "-ar", "16000", "t.amr"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "mp3", "-ab", "0", "t.mp3"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "mp3", "-ab", "64k", "t.mp3"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "mp3", ""}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "mp3", "folder/"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-f", "ipod", "-acodec", "vorbis", "t.m4r"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "vorbis", "-ab", "32", "t.ogg"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "-acodec", "aac", "-ar", "96000", "t.m4r"}).code, av::ExitUsage);
    EXPECT_EQ(parseBad({"-i", "s", "x.wav"}).code, av::ExitUsage); // no encoder for that name
}

} // namespace
