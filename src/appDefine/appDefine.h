#pragma once
// Process-wide values shared by the units: the work folder, the busy flag of
// the export job, the settings record, and the helpers that fill them.

#include <QString>

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <optional>

inline constexpr const char* ApplicationTitle = "Velumo MP3 Ringtone Maker";
inline constexpr const char* DefaultHomepageUrl = "https://www.velumo-soft.com/ringtone-maker/";
inline constexpr const char* SupportAddress = "support@velumo-soft.com";
inline constexpr const char* WorkFolderName = "DravikMp3RingTone/";

struct TApplicationInfo {
    QString HomepageUrl;
};

// Full path of the work folder; ends with '/'. Set once at start-up.
extern QString WorkDir;
// Empty while the work folder is safe to run tools from; otherwise why it is not.
extern QString WorkDirProblem;
// True from the start of an export until its worker has been released.
extern std::atomic<bool> Converting;
extern TApplicationInfo ApplicationInfo;

// The user's private temporary directory: $XDG_RUNTIME_DIR when set, else the
// system temporary path. Always ends with '/'.
QString GetTempDirectory();

// Writes resource <type>/<name> (letter case ignored) into fileName through a
// temporary file in the same folder that is renamed over the target, so a failed
// write leaves the old file whole. Sets the run bit when executable is true.
// A regular file that already holds exactly these bytes and permissions is
// left untouched. Never throws, never shows anything.
enum class TFileMode { Plain, Executable };
bool ExtractResourceToFile(const QString& resourceType, const QString& resourceName, const QString& fileName,
    TFileMode mode = TFileMode::Plain);

// Creates the work folder (mode 0700, parents as needed) and checks that only
// this user can write into it. Returns an empty string when it is safe to use,
// else a message saying why not.
QString PrepareWorkFolder(const QString& dir);

// Reads one value of an INI file: "[section]" lines open a section, "key=value"
// lines follow, ';' lines are comments and the first matching key wins. Section
// and key ignore letter case, blanks around the value are dropped, the value is
// cut to 2047 characters; a missing file, section or key gives defaultValue.
QString ReadProfileString(
    const QString& iniPath, const QString& section, const QString& key, const QString& defaultValue);

// The text from the last '.' behind the last '/', the dot included; empty
// when the file name has no dot. Letter case is kept: the callers compare it
// exactly.
QString FileExtension(const QString& path);

// File names are bytes, not text. A name lives in a QString without loss:
// valid UTF-8 decodes as usual, and each byte of an invalid sequence becomes
// the lone surrogate U+DC80 + byte. FileNameBytes reverses it exactly; it
// gives none for a name no file can have (a NUL, or a lone surrogate that
// stands for no byte).
QString FileNameFromBytes(const QByteArray& bytes);
std::optional<QByteArray> FileNameBytes(const QString& name);
// The name (or any text holding one) for labels and messages: each lone
// surrogate shown as U+FFFD.
QString DisplayFileName(const QString& name);
// The name made absolute against the current folder and cleaned of "." and
// ".."; symbolic links are kept. Works on the text alone, so nothing is lost.
QString AbsoluteFileName(const QString& name);
// True when name is an existing folder (symbolic links followed).
bool IsFolder(const QString& name);
// The file's size in bytes; -1 when it does not exist or cannot be examined.
qint64 FileSize(const QString& name);

// "%.2d:%.2d:%.2d" of a whole number of seconds; division truncates, the
// remainder keeps the sign of t (t = -1 gives "00:00:-01").
QString ClockText(int t);
// ClockText of a time in ms, with `digits` (2 or 3) decimals of the second,
// truncated, when it is not a whole second; a time between -1 s and 0 keeps
// its sign.
QString ClockTextMs(int64_t ms, int digits);
