#pragma once
// The main window's image buttons: each one's place, hint and the kinds of its
// three picture files. The window's layout, the picture lookup and the artwork
// generator (tools/skingen) all read this one table, so it needs QtCore only.

#include <QRect>
#include <QtGlobal>

#include <string_view>

namespace Skin {

enum class TPictureKind { Jpeg, Bmp };

struct TButtonFace {
    const char* control; // object name, and the stem of its picture files
    QRect place; // pixels in the main window's client area; the pictures have its size
    const char* hint; // English source text, translated in context "Skin"; empty: no hint
    TPictureKind normal;
    TPictureKind hover;
    TPictureKind down;
    bool downIsHover; // the pressed picture is the hover file again: no change when pressed
};

using enum TPictureKind;

inline constexpr TButtonFace OpenButton{"btnOpen", {26, 254, 108, 32}, "", Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace SaveButton{"btnSave", {26, 303, 108, 32}, "", Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace PlayButton{
    "btnPlay", {454, 97, 47, 48}, QT_TRANSLATE_NOOP("Skin", "Play"), Jpeg, Jpeg, Jpeg, true};
inline constexpr TButtonFace MarkStartButton{
    "btnMarkStart", {414, 105, 36, 35}, QT_TRANSLATE_NOOP("Skin", "Mark start"), Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace MarkEndButton{
    "btnMarkEnd", {500, 104, 36, 35}, QT_TRANSLATE_NOOP("Skin", "Mark end"), Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace PlaySelectedButton{"btnPlaySelected", {458, 60, 36, 36},
    QT_TRANSLATE_NOOP("Skin", "Play the selected segment"), Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace MoveLeftButton{
    "btnMoveLeft", {408, 51, 40, 40}, QT_TRANSLATE_NOOP("Skin", "Extend left"), Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace MoveRightButton{
    "btnMoveRight", {503, 51, 42, 42}, QT_TRANSLATE_NOOP("Skin", "Extend right"), Jpeg, Jpeg, Bmp, false};
// The options menu, left of minimise and drawn like it.
inline constexpr TButtonFace MenuButton{
    "btnMenu", {526, 8, 14, 14}, QT_TRANSLATE_NOOP("Skin", "Options"), Jpeg, Bmp, Jpeg, false};
// Minimise has a BMP hover and a JPEG pressed picture.
inline constexpr TButtonFace MinimizeButton{"btnMinimize", {549, 8, 14, 14}, "", Jpeg, Bmp, Jpeg, false};
inline constexpr TButtonFace CloseButton{"btnClose", {572, 8, 14, 14}, "", Jpeg, Jpeg, Bmp, false};
inline constexpr TButtonFace PauseButton{
    "MouseEffectImage1", {458, 144, 35, 35}, QT_TRANSLATE_NOOP("Skin", "Pause"), Jpeg, Jpeg, Bmp, false};

// Every button, in the window's stacking order from bottom to top.
inline constexpr TButtonFace Buttons[] = {OpenButton, SaveButton, PlayButton, MarkStartButton, MarkEndButton,
    PlaySelectedButton, MoveLeftButton, MoveRightButton, MenuButton, MinimizeButton, CloseButton, PauseButton};

constexpr const char* Extension(TPictureKind kind)
{
    return kind == Jpeg ? "jpg" : "bmp";
}

// The row of a control; nullptr for a name the table does not hold.
constexpr const TButtonFace* FindButton(std::string_view control)
{
    for (const TButtonFace& b : Buttons)
        if (control == b.control)
            return &b;
    return nullptr;
}

} // namespace Skin
