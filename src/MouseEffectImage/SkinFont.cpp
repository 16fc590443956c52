#include "SkinFont.h"

#include <QFontDatabase>
#include <QString>

QFont SkinFont(int pixelSize, QFont::Weight weight)
{
    static const bool loaded = [] {
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Bold.ttf"));
        return true;
    }();
    (void)loaded;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
