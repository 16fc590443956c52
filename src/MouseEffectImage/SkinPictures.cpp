#include "SkinPictures.h"

#include "MouseEffectImage.h"

#include <QImageReader>

namespace Skin {

namespace {

struct TButtonFiles {
    const char* control;
    const char* normal;
    const char* hover;
    const char* down;
};

// Kinds differ per button: Play's pressed picture is its hover JPEG, and
// Minimise has a BMP hover and a JPEG pressed picture.
constexpr TButtonFiles Buttons[] = {
    {"btnOpen", "jpg", "jpg", "bmp"},
    {"btnSave", "jpg", "jpg", "bmp"},
    {"btnPlay", "jpg", "jpg", "jpg"},
    {"btnMarkStart", "jpg", "jpg", "bmp"},
    {"btnMarkEnd", "jpg", "jpg", "bmp"},
    {"btnPlaySelected", "jpg", "jpg", "bmp"},
    {"btnMoveLeft", "jpg", "jpg", "bmp"},
    {"btnMoveRight", "jpg", "jpg", "bmp"},
    {"MouseEffectImage1", "jpg", "jpg", "bmp"},
    {"btnMinimize", "jpg", "bmp", "jpg"},
    {"btnClose", "jpg", "jpg", "bmp"},
};

constexpr int ColourIconSizes[] = {16, 24, 32, 48, 64, 72, 96, 128};

} // namespace

QStringList ButtonControls()
{
    QStringList names;
    for (const auto& b : Buttons)
        names << QString::fromLatin1(b.control);
    return names;
}

QString ButtonPicturePath(const QString& control, TButtonState state)
{
    for (const auto& b : Buttons) {
        if (control != QLatin1String(b.control))
            continue;
        switch (state) {
        case TButtonState::Normal:
            return QStringLiteral(":/skin/buttons/%1_normal.%2").arg(control, QLatin1String(b.normal));
        case TButtonState::Hover:
            return QStringLiteral(":/skin/buttons/%1_hover.%2").arg(control, QLatin1String(b.hover));
        case TButtonState::Down:
            return QStringLiteral(":/skin/buttons/%1_down.%2").arg(control, QLatin1String(b.down));
        }
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
