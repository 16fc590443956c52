#include "SkinPictures.h"

#include "MouseEffectImage.h"
#include "SkinButtons.h"

#include <QImageReader>

namespace Skin {

namespace {

constexpr int ColourIconSizes[] = {16, 24, 32, 48, 64, 72, 96, 128};

} // namespace

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
    QImageReader reader(resourcePath);
    // The file's contents decide the kind, not its name.
    reader.setDecideFormatFromContent(true);
    return reader.read();
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
    QIcon icon;
    for (const int size : ColourIconSizes)
        icon.addFile(IconPath(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/skin/icon/velumo-256.png"), QSize(256, 256));
    return icon;
}

} // namespace Skin
