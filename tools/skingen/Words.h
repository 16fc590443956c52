#pragma once
// The words drawn into the skin's pictures. The English words stand here; each
// other language's come from its translation file, translations/velumo_<code>.ts
// (context "Skin"), where the window's other texts are translated too.
// English pictures lie in the assets folder itself, each other language's in
// assets/<code>/, where the program's resources offer them to that language.

#include <QString>
#include <QtGlobal>

#include <vector>

struct TSkinWords {
    QString code; // empty for English, else the folder and resource language
    QString open; // the Open and Save bars
    QString save;
    QString ringtoneFile; // left column title
    QString audioInfo; // panel titles
    QString segmentInfo;
    QString adSlogan; // banner
    QString adAction;
    QString aboutLine1; // About window
    QString aboutLine2;
    QString rights;
};

inline const char* const SkinContext = "Skin";

// The English words, in the order of TSkinWords's fields after `code`.
inline const char* const EnglishSkinWords[] = {QT_TRANSLATE_NOOP("Skin", "OPEN"),
    QT_TRANSLATE_NOOP("Skin", "SAVE"), QT_TRANSLATE_NOOP("Skin", "RINGTONE FILE"),
    QT_TRANSLATE_NOOP("Skin", "Audio Information"), QT_TRANSLATE_NOOP("Skin", "Selected Segment Info"),
    QT_TRANSLATE_NOOP("Skin", "Cut your favourite song into a ringtone"),
    QT_TRANSLATE_NOOP("Skin", "Open a music file to begin  \u25b8"),
    QT_TRANSLATE_NOOP("Skin", "Turn your favourite songs into"),
    QT_TRANSLATE_NOOP("Skin", "MP3 and AMR ringtones for your phone."),
    QT_TRANSLATE_NOOP("Skin", "\u00a9 2026 Velumo Soft. All rights reserved.")};

// English first, then every language of the translations folder whose skin
// words are all finished; a language with one unfinished keeps the English
// pictures, and `skipped` names it. Throws when a file cannot be read.
std::vector<TSkinWords> SkinLanguages(const QString& translationsFolder, QStringList& skipped);
