#pragma once
// The window's language: the first of the user's languages that has a
// translation, unless English comes first. Texts without a translation stay
// English.

#include <QString>
#include <QStringList>

// "de", "fr", "es", "pt_BR", or empty for English, from the user's languages
// in order of preference ("de-DE", "en-GB", ...).
QString ChooseLanguage(const QStringList& uiLanguages);

// Installs the program's and Qt's own translations for the default locale's
// languages, replacing any installed before; the skin's pictures follow the
// same language. Returns the language chosen.
QString InstallTranslations();
