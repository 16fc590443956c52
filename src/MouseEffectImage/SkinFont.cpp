#include "SkinFont.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFontDatabase>
#include <QString>

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <memory>

namespace {

constexpr char Family[] = "Liberation Sans";

struct TSkinFace {
    const char* style; // the font configuration's style name
    const char* resource; // the bundled copy
    qint64 size; // the bundled copy's size and SHA-256, hex
    const char* digest;
};
constexpr TSkinFace Faces[] = {
    {"Regular", ":/fonts/LiberationSans-Regular.ttf", SKIN_FONT_Regular_SIZE, SKIN_FONT_Regular_SHA256},
    {"Bold", ":/fonts/LiberationSans-Bold.ttf", SKIN_FONT_Bold_SIZE, SKIN_FONT_Bold_SHA256},
};

// Set once PrepareSkinFonts found every installed face identical to its bundled copy.
std::atomic<bool> installedAreBundled { false };

struct TFcDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// True when the font configuration knows exactly one file for the face and
// it holds the same bytes as the bundled copy. With two installed versions
// of the family, which one the font database takes is not ours to know.
bool InstalledFaceIsBundled(const TSkinFace& face)
{
    const std::unique_ptr<FcPattern, TFcDeleter> pattern(FcPatternBuild(nullptr, FC_FAMILY, FcTypeString,
        reinterpret_cast<const FcChar8*>(Family), FC_STYLE, FcTypeString,
        reinterpret_cast<const FcChar8*>(face.style), static_cast<char*>(nullptr)));
    const std::unique_ptr<FcObjectSet, TFcDeleter> objects(FcObjectSetBuild(FC_FILE, static_cast<char*>(nullptr)));
    if (!pattern || !objects)
        return false;
    const std::unique_ptr<FcFontSet, TFcDeleter> found(FcFontList(nullptr, pattern.get(), objects.get()));
    FcChar8* path = nullptr;
    if (!found || found->nfont != 1 || FcPatternGetString(found->fonts[0], FC_FILE, 0, &path) != FcResultMatch)
        return false;
    // Compared by digest: the bundled copy's pages are never read.
    QFile installed(QFile::decodeName(reinterpret_cast<const char*>(path)));
    if (installed.size() != face.size || !installed.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash digest(QCryptographicHash::Sha256);
    return digest.addData(&installed) && digest.result().toHex() == face.digest;
}

// The installed faces, when the check found them identical and the font
// database lists both; otherwise the bundled copies are registered.
void LoadFaces()
{
    if (installedAreBundled.load()) {
        const QStringList styles = QFontDatabase::styles(QString::fromLatin1(Family));
        if (styles.contains(QStringLiteral("Regular")) && styles.contains(QStringLiteral("Bold")))
            return;
    }
    for (const TSkinFace& face : Faces)
        QFontDatabase::addApplicationFont(QString::fromLatin1(face.resource));
}

} // namespace

void PrepareSkinFonts()
{
    // Reading the configuration and the font cache is the costly part.
    if (!FcInit())
        return;
    for (const TSkinFace& face : Faces)
        if (!InstalledFaceIsBundled(face))
            return;
    installedAreBundled = true;
}

QFont SkinFont(int pixelSize, QFont::Weight weight)
{
    static const bool loaded = [] {
        LoadFaces();
        return true;
    }();
    (void)loaded;
    QFont font(QString::fromLatin1(Family));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
