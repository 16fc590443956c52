#pragma once
// The skin's pictures, compiled into the program as Qt resources under
// ":/skin/". Button pictures are named "<control>_normal", "<control>_hover"
// and "<control>_down" after the control that shows them; their kinds (JPEG
// or 32-bit BMP) differ from button to button, so look them up here.

#include "SkinButtons.h"

#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

class TMouseEffectImage;

namespace Skin {

inline constexpr const char* Back = ":/skin/back.jpg"; // 598 x 422, main window face
inline constexpr const char* Ad = ":/skin/ad.jpg"; // 361 x 169, banner in the timeline area
inline constexpr const char* About = ":/skin/about.jpg"; // 300 x 266, About window face

enum class TButtonState { Normal, Hover, Down };

// The resource path of one picture of a button; empty for a control that the
// button table (SkinButtons.h) does not hold.
QString ButtonPicturePath(const QString& control, TButtonState state);
QStringList ButtonControls();

// Loads a skin picture; a null image when it is missing or cannot be decoded.
// Each file is decoded once; later calls share that picture.
QImage Load(const QString& resourcePath);
// Decodes the main window's face, banner and every button's three pictures,
// so the window's construction finds them decoded. Any thread may call it:
// the program runs it on a worker while the GUI thread loads the fonts.
void PreloadMainWindow();
// Pictures with words are taken from ":/skin/<language>/" where that holds a
// copy ("de", "fr", "es", "pt_BR"); empty: English. Set before loading.
void SetLanguage(const QString& language);
// The same picture drawn at twice the size ("<name>@2x.<ext>"), for screens
// with more than one device pixel per pixel. A null image for a picture that
// Load did not give, one drawn into since (it is a new picture then), or one
// without a file at exactly twice its size.
QImage SharpCopy(const QImage& picture);

// Gives a button its three pictures (normal, hover, pressed) by control name.
// Returns false when a picture is missing; the button is left unchanged then.
bool ApplyButtonPictures(TMouseEffectImage& button, const QString& control);

// The application icon in all its sizes.
QIcon ApplicationIcon();
// Sizes (pixels) of the icon's colour images; a black-and-white 32 px one exists too.
QList<int> IconSizes();
QString IconPath(int size); // ":/skin/icon/velumo-<size>.png"
QString MonochromeIconPath(); // ":/skin/icon/velumo-32-mono.png"

} // namespace Skin
