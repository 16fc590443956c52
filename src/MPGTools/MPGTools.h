// MPEG audio analyser: finds the first pair of frame headers of an MPEG-1/2/2.5
// Layer I/II/III file and reports its header fields, playing time, Xing (VBR)
// mark and ID3v1 tag. Plain C++20 with the standard library and POSIX only, so
// it builds without Qt (the GUI installs its prompt and message pump at start).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TMPEGAudio;
namespace mpg_detail {
struct TReader;
}

// The read-error prompt: the GUI shows a message box with an error icon, this
// caption, the text prefix followed by the full path, and the buttons Cancel,
// Retry and Ignore in that order, answering with the codes below.
namespace MPGReadError {
inline constexpr std::string_view Caption = "Error";
inline constexpr std::string_view TextPrefix = "Error openning file: ";
inline constexpr uint16_t Cancel = 2;
inline constexpr uint16_t Retry = 4;
inline constexpr uint16_t Ignore = 5;
// TextPrefix + the analyser's FileName.
std::string Text(const TMPEGAudio& audio);
} // namespace MPGReadError

using MPGReadErrorHandler = std::function<uint16_t(TMPEGAudio&)>;

// Process-wide prompt that each new analyser takes as its OnReadError. Until one
// is installed (or after installing an empty one) the default shows nothing and
// answers Cancel. Install once at start-up, on the GUI thread.
void SetReadErrorPrompt(MPGReadErrorHandler prompt);

// Process-wide message pump called while the header search moves through a file
// (at every file position that is a multiple of 300). It returns true when a
// quit request was met; the read then ends with -1 without any prompt. Empty:
// nothing is called.
void SetMessagePump(std::function<bool()> pump);

// Playing time split for display; milliseconds are always 0.
struct TMPEGTime {
    int Hours = 0;
    int Minutes = 0;
    int Seconds = 0;
    int Milliseconds = 0;
    friend bool operator==(const TMPEGTime&, const TMPEGTime&) = default;
};

class TMPEGAudio {
public:
    TMPEGAudio();

    // --- Data of the last read (see ClearInfo for the cleared values) ---
    std::string TagId; // "TAG" when an ID3v1 tag was read
    std::string Title; // tag title, else the file's name (30 characters at most)
    std::string Artist;
    std::string Album;
    std::string Year; // the four tag bytes as stored
    std::string Comment;
    uint8_t GenreNr = 0;
    uint8_t Track = 0; // tag byte 126 (ID3v1.1 track)
    uint16_t Duration = 0; // playing time in whole seconds, held at 65535
    int32_t Length = 0; // file size in bytes, held at INT32_MAX for larger files
    uint8_t Version = 0; // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5, 0 reserved
    uint8_t Layer = 0; // 1..3, 0 reserved
    int32_t SampleRate = 0; // Hz
    int32_t BitRate = 0; // kbit/s; -1 marks a Xing (VBR) file
    uint8_t Mode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    bool ErrorProt = false; // protection bit as stored
    bool Padding = false;
    uint16_t FrameLength = 0; // bytes; average frame length for a Xing file
    std::string FileName; // full path (UTF-8), 255 characters at most
    int32_t FileDate = 0; // modification time (Unix seconds), never 0 for a file read

    // --- Settings and state, left alone by ClearInfo ---
    int32_t SearchLimit = 0; // file position beyond which the search gives up; 0 = none
    bool ReadOnAssign = true;
    MPGReadErrorHandler OnReadError;
    int32_t HeaderPos = 0; // offset of the first header; Length + 1 when none found

    // Resets the data fields to their "nothing read" values ("BAD", "[notag]", ...).
    void ClearInfo();
    // Stores at most 255 characters of the path; reads the file when ReadOnAssign.
    void SetFileName(const std::string& name);
    // Analyses FileName. 0 when a header pair was found (or the file has 5 bytes
    // or fewer); otherwise -1 or the system error code, replaced by the answer of
    // OnReadError (Retry reads again). -1 without a prompt when the message pump
    // met a quit request.
    int32_t ReadFileInfo();

    // Decodes four file bytes (first byte most significant) into the header
    // fields and Duration; true when they form a valid header.
    bool DecodeFrameHeader(uint32_t header);
    // Frame length in bytes from Version, Layer, BitRate, SampleRate and Padding.
    uint16_t ComputeFrameLength() const;
    bool HeaderIsValid() const;

    TMPEGTime DurationAsTime() const;
    std::string BitRateText() const; // "VBR", or the bit rate in decimal digits
    std::string ChannelText() const; // "Mono" or "Stereo"

private:
    // The fields a frame header fills, as before any header was decoded.
    void ClearHeaderFields();
    enum class Outcome { Done, Failed, Quit };

    int32_t Attempt(const std::string& givenName, bool& quit);
    Outcome Search(mpg_detail::TReader& ctx, int64_t& pos);
    Outcome XingCheck(mpg_detail::TReader& ctx, int64_t headerPos);
    Outcome AudioDuration(mpg_detail::TReader& ctx, int64_t headerPos);
    Outcome Id3v1Check(mpg_detail::TReader& ctx);
    void ClearKeepingFile();
    void SetLength(int64_t size);
    void SetHeaderPos(int64_t pos);
    int64_t DurationLength() const;

    int64_t fileSize_ = 0; // true size of the file being read (Length may be clamped)
};
