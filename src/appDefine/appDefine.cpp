#include "appDefine.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

QString WorkDir;
QString WorkDirProblem;
std::atomic<bool> Converting{false};
TApplicationInfo ApplicationInfo;

QString GetTempDirectory()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

namespace {

// Finds ":/<type>/<name>" with letter case ignored in both parts.
QString FindResource(const QString& type, const QString& name)
{
    const QDir root(QStringLiteral(":/"));
    for (const QString& dir : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (dir.compare(type, Qt::CaseInsensitive) != 0)
            continue;
        const QDir typeDir(QStringLiteral(":/") + dir);
        for (const QString& file : typeDir.entryList(QDir::Files)) {
            if (file.compare(name, Qt::CaseInsensitive) == 0)
                return typeDir.filePath(file);
        }
    }
    return {};
}

bool WriteAll(QFile& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
}

// True when fileName is a regular file (not a link) of exactly these bytes
// and permission bits: then there is nothing to write.
bool SameFile(const QString& fileName, const QByteArray& bytes, mode_t perms)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st { };
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777) == perms
        && st.st_size == bytes.size() && st.st_size > 0;
    // Mapped, so the comparison reads the page cache in place.
    void* mapped = same ? ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (mapped == MAP_FAILED)
        return false;
    same = std::memcmp(mapped, bytes.constData(), static_cast<size_t>(bytes.size())) == 0;
    ::munmap(mapped, static_cast<size_t>(st.st_size));
    return same;
}

} // namespace

bool ExtractResourceToFile(
    const QString& resourceType, const QString& resourceName, const QString& fileName, TFileMode mode)
{
    try {
        const QString path = FindResource(resourceType, resourceName);
        if (path.isEmpty())
            return false;
        // An uncompressed resource is read in place, without a copy.
        const QResource resource(path);
        if (!resource.isValid())
            return false;
        const QByteArray bytes = resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size())
            : resource.uncompressedData();
        // An intact copy from an earlier start stays as it is: no write, no flush.
        if (SameFile(fileName, bytes, mode == TFileMode::Executable ? 0700 : 0600))
            return true;

        // Write beside the target and rename over it: a failed write leaves the old
        // file whole, and a tool another instance is running keeps its own inode.
        const QFileInfo target(fileName);
        QTemporaryFile temp(
            target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
        if (!temp.open() || !WriteAll(temp, bytes))
            return false;
        QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner;
        if (mode == TFileMode::Executable)
            perms |= QFile::ExeOwner;
        if (!temp.setPermissions(perms))
            return false;
        temp.close();
        if (::rename(QFile::encodeName(temp.fileName()).constData(),
                QFile::encodeName(target.absoluteFilePath()).constData())
            != 0)
            return false;
        temp.setAutoRemove(false);
        return true;
    } catch (...) {
        return false;
    }
}

QString PrepareWorkFolder(const QString& dir)
{
    QString path = dir;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QByteArray native = QFile::encodeName(path);

    struct stat st { };
    if (::lstat(native.constData(), &st) != 0) {
        if (errno != ENOENT)
            return QCoreApplication::translate("WorkFolder", "Cannot examine the work folder %1: %2")
                .arg(dir, qt_error_string(errno));
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return QCoreApplication::translate("WorkFolder", "Cannot create the work folder %1: %2")
                .arg(dir, qt_error_string(errno));
        if (::lstat(native.constData(), &st) != 0)
            return QCoreApplication::translate("WorkFolder", "Cannot examine the work folder %1: %2")
                .arg(dir, qt_error_string(errno));
    }
    // Another local user could plant the converter in a folder they control.
    if (S_ISLNK(st.st_mode))
        return QCoreApplication::translate("WorkFolder", "The work folder %1 is a symbolic link.").arg(dir);
    if (!S_ISDIR(st.st_mode))
        return QCoreApplication::translate("WorkFolder", "The work folder %1 is not a folder.").arg(dir);
    if (st.st_uid != ::geteuid())
        return QCoreApplication::translate("WorkFolder", "The work folder %1 belongs to another user.")
            .arg(dir);
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QCoreApplication::translate("WorkFolder", "The work folder %1 can be written by other users.")
            .arg(dir);
    // Our own folder with its permissions taken away: the converter in it
    // cannot be found or run, however surely it is there.
    if (::faccessat(AT_FDCWD, native.constData(), R_OK | X_OK, AT_EACCESS) != 0)
        return QCoreApplication::translate("WorkFolder", "The work folder %1 cannot be read (%2).")
            .arg(dir, qt_error_string(errno));
    if (::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)
        return QCoreApplication::translate("WorkFolder", "The work folder %1 cannot be written (%2).")
            .arg(dir, qt_error_string(errno));
    return {};
}

QString ReadProfileString(
    const QString& iniPath, const QString& section, const QString& key, const QString& defaultValue)
{
    constexpr int MaxValueLength = 2047;
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return defaultValue;
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        return line.mid(eq + 1).trimmed().left(MaxValueLength);
    }
    return defaultValue;
}

QString FileExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'/'))
        return {};
    return path.mid(dot);
}

namespace {

constexpr char16_t EscapeBase = 0xDC00; // + byte (0x80..0xFF) gives its lone surrogate

// Length of the valid UTF-8 sequence at bytes[at] (its code point in cp), or 0
// when none starts there: overlong forms, surrogates and values past U+10FFFF
// are not valid.
int Utf8SequenceAt(const QByteArray& bytes, qsizetype at, char32_t& cp)
{
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(at + k) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

QByteArray NativeName(const QString& name)
{
    return FileNameBytes(name).value_or(QByteArray());
}

} // namespace

QString FileNameFromBytes(const QByteArray& bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t cp = 0;
        const int length = Utf8SequenceAt(bytes, at, cp);
        if (length == 0) {
            name += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(cp))
            name += QChar(QChar::highSurrogate(cp)), name += QChar(QChar::lowSurrogate(cp));
        else
            name += QChar(char16_t(cp));
        at += length;
    }
    return name;
}

std::optional<QByteArray> FileNameBytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c == 0)
            return std::nullopt;
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            bytes += QString(name.mid(i, 2)).toUtf8();
            ++i;
        } else if (c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF) {
            bytes += char(c - EscapeBase);
        } else if (QChar::isSurrogate(c)) {
            return std::nullopt;
        } else {
            bytes += QString(QChar(c)).toUtf8();
        }
    }
    return bytes;
}

QString DisplayFileName(const QString& name)
{
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i).isHighSurrogate() && i + 1 < shown.size() && shown.at(i + 1).isLowSurrogate())
            ++i;
        else if (shown.at(i).isSurrogate())
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

QString AbsoluteFileName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/'))
        return name.isEmpty() ? name : QDir::cleanPath(name);
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd)
        return name;
    return QDir::cleanPath(FileNameFromBytes(QByteArray(cwd.get())) + u'/' + name);
}

bool IsFolder(const QString& name)
{
    struct stat st { };
    const QByteArray native = NativeName(name);
    return !native.isEmpty() && ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

qint64 FileSize(const QString& name)
{
    struct stat st { };
    const QByteArray native = NativeName(name);
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0)
        return -1;
    return st.st_size;
}

QString ClockText(int t)
{
    return QString::asprintf("%.2d:%.2d:%.2d", t / 3600, (t % 3600) / 60, t % 60);
}

QString ClockTextMs(int64_t ms, int digits)
{
    const int seconds = static_cast<int>(std::clamp<int64_t>(ms / 1000, INT_MIN, INT_MAX));
    if (ms % 1000 == 0)
        return ClockText(seconds);
    const QString clock = ms < 0 && seconds == 0 ? QStringLiteral("00:00:-00") : ClockText(seconds);
    const int fraction = static_cast<int>((ms < 0 ? -ms : ms) % 1000);
    return clock
        + (digits >= 3 ? QString::asprintf(".%03d", fraction) : QString::asprintf(".%02d", fraction / 10));
}
