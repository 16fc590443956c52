#include "Translations.h"

#include "SkinPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The languages the build embedded, one .qm file each: "de", "pt_BR", ...
const QStringList& Translated()
{
    static const QStringList languages = [] {
        QStringList found;
        const QString prefix = QStringLiteral("velumo_");
        for (const QString& file : QDir(QStringLiteral(":/i18n")).entryList({prefix + "*.qm"}, QDir::Files))
            found << file.mid(prefix.size(), file.size() - prefix.size() - 3);
        return found;
    }();
    return languages;
}

const QString TranslatorName = QStringLiteral("velumoTranslator");

bool Install(const QString& file, const QString& folder)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(TranslatorName);
    if (translator->load(file, folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace

QString ChooseLanguage(const QStringList& uiLanguages)
{
    for (QString language : uiLanguages) {
        language.replace(u'-', u'_');
        const QLocale locale(language);
        if (locale.language() == QLocale::English || language == QLatin1String("C"))
            return {};
        if (Translated().contains(language))
            return language;
        // Brazilian Portuguese serves every Portuguese; other languages go by
        // their language alone ("de_AT" reads German).
        if (locale.language() == QLocale::Portuguese && Translated().contains(QStringLiteral("pt_BR")))
            return QStringLiteral("pt_BR");
        const QString bare = QLocale::languageToCode(locale.language());
        if (Translated().contains(bare))
            return bare;
    }
    return {};
}

QString InstallTranslations()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return {};
    for (QTranslator* old : app->findChildren<QTranslator*>(TranslatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    const QString language = ChooseLanguage(QLocale().uiLanguages());
    Skin::SetLanguage(language);
    if (language.isEmpty())
        return {};
    Install(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!Install(QStringLiteral("velumo_") + language, QStringLiteral(":/i18n")))
        qWarning("The %s translation is missing; the window stays English", qPrintable(language));
    return language;
}
