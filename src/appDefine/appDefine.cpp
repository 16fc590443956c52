#include "appDefine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
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

} // namespace

bool ExtractResourceToFile(
    const QString& resourceType, const QString& resourceName, const QString& fileName, TFileMode mode)
{
    try {
        const QString path = FindResource(resourceType, resourceName);
        if (path.isEmpty())
            return false;
        QFile resource(path);
        if (!resource.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = resource.readAll();

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
            return QStringLiteral("Cannot examine the work folder %1: %2").arg(dir, qt_error_string(errno));
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return QStringLiteral("Cannot create the work folder %1: %2").arg(dir, qt_error_string(errno));
        if (::lstat(native.constData(), &st) != 0)
            return QStringLiteral("Cannot examine the work folder %1: %2").arg(dir, qt_error_string(errno));
    }
    // Another local user could plant the converter in a folder they control.
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("The work folder %1 is a symbolic link.").arg(dir);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("The work folder %1 is not a folder.").arg(dir);
    if (st.st_uid != ::geteuid())
        return QStringLiteral("The work folder %1 belongs to another user.").arg(dir);
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("The work folder %1 can be written by other users.").arg(dir);
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

QString ClockText(int t)
{
    return QString::asprintf("%.2d:%.2d:%.2d", t / 3600, (t % 3600) / 60, t % 60);
}
