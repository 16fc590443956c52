#include "SkinPictures.h"

#include "MouseEffectImage.h"
#include "SkinButtons.h"

#include <QFile>
#include <QHash>
#include <QImageReader>

#include <mutex>

namespace Skin {

namespace {

constexpr int ColourIconSizes[] = {16, 24, 32, 48, 64, 72, 96, 128};

QImage Read(const QString& path)
{
    QImageReader reader(path);
    // The file's contents decide the kind, not its name.
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

// "buttons/btnOpen_normal.jpg" -> "buttons/btnOpen_normal@2x.jpg"
QString TwiceFile(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype slash = path.lastIndexOf(u'/');
    if (dot <= slash)
        return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

struct TLoaded {
    QImage picture;
    QImage twice; // decoded on first use: screens at scale 1 never need it
    bool twiceRead = false;
};

// Skin pictures by file, and their files by picture identity (a copy of a
// QImage keeps its cache key; drawing into one gives it a new key).
struct TCache {
    std::mutex mutex;
    QString language; // "" for English
    QHash<QString, TLoaded> byPath;
    QHash<qint64, QString> pathByKey;
};

TCache& Cache()
{
    static TCache cache;
    return cache;
}

// The language's own copy of a picture with words, if it has one.
QString InLanguage(const QString& resourcePath, const QString& language)
{
    static const QString root = QStringLiteral(":/skin/");
    if (language.isEmpty() || !resourcePath.startsWith(root))
        return resourcePath;
    const QString own = root + language + u'/' + resourcePath.mid(root.size());
    return QFile::exists(own) ? own : resourcePath;
}

} // namespace

void SetLanguage(const QString& language)
{
    TCache& cache = Cache();
    const std::lock_guard lock(cache.mutex);
    cache.language = language;
}

QStringList ButtonControls()
{
    QStringList names;
    for (const TButtonFace& b : Buttons)
        names << QString::fromLatin1(b.control);
    return names;
}

QString ButtonPicturePath(const QString& control, TButtonState state)
{
    const TButtonFace* b = FindButton(control.toStdString());
    if (!b)
        return {};
    const auto path = [&](const char* suffix, TPictureKind kind) {
        return QStringLiteral(":/skin/buttons/%1_%2.%3")
            .arg(control, QLatin1String(suffix), QLatin1String(Extension(kind)));
    };
    switch (state) {
    case TButtonState::Normal:
        return path("normal", b->normal);
    case TButtonState::Hover:
        return path("hover", b->hover);
    case TButtonState::Down:
        return path("down", b->down);
    }
    return {};
}

QImage Load(const QString& resourcePath)
{
    if (resourcePath.isEmpty())
        return {};
    TCache& cache = Cache();
    const std::lock_guard lock(cache.mutex);
    const QString file = InLanguage(resourcePath, cache.language);
    if (const auto found = cache.byPath.constFind(file); found != cache.byPath.cend())
        return found->picture;
    const QImage picture = Read(file);
    if (picture.isNull())
        return {};
    cache.byPath.insert(file, TLoaded{picture, {}, false});
    cache.pathByKey.insert(picture.cacheKey(), file);
    return picture;
}

QImage SharpCopy(const QImage& picture)
{
    if (picture.isNull())
        return {};
    TCache& cache = Cache();
    const std::lock_guard lock(cache.mutex);
    const auto path = cache.pathByKey.constFind(picture.cacheKey());
    if (path == cache.pathByKey.cend())
        return {};
    TLoaded& loaded = cache.byPath[*path];
    if (!loaded.twiceRead) {
        loaded.twiceRead = true;
        const QImage twice = Read(TwiceFile(*path));
        if (twice.size() == picture.size() * 2)
            loaded.twice = twice;
    }
    return loaded.twice;
}

void PreloadMainWindow()
{
    Load(QString::fromLatin1(Back));
    for (const QString& control : ButtonControls())
        for (const TButtonState state : {TButtonState::Normal, TButtonState::Hover, TButtonState::Down})
            Load(ButtonPicturePath(control, state));
    Load(QString::fromLatin1(Ad));
}

bool ApplyButtonPictures(TMouseEffectImage& button, const QString& control)
{
    const QImage normal = Load(ButtonPicturePath(control, TButtonState::Normal));
    const QImage hover = Load(ButtonPicturePath(control, TButtonState::Hover));
    const QImage down = Load(ButtonPicturePath(control, TButtonState::Down));
    if (normal.isNull() || hover.isNull() || down.isNull())
        return false;
    button.SetOverPicture(hover);
    button.SetDownPicture(down);
    button.SetOriginPicture(normal);
    return true;
}

QList<int> IconSizes()
{
    return QList<int>(std::begin(ColourIconSizes), std::end(ColourIconSizes));
}

QString IconPath(int size)
{
    return QStringLiteral(":/skin/icon/velumo-%1.png").arg(size);
}

QString MonochromeIconPath()
{
    return QStringLiteral(":/skin/icon/velumo-32-mono.png");
}

QIcon ApplicationIcon()
{
    // Read once: the application and its window share it.
    static const QIcon icon = [] {
        QIcon all;
        for (const int size : ColourIconSizes)
            all.addFile(IconPath(size), QSize(size, size));
        all.addFile(QStringLiteral(":/skin/icon/velumo-256.png"), QSize(256, 256));
        return all;
    }();
    return icon;
}

} // namespace Skin
