#include "Words.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QXmlStreamReader>

#include <iterator>
#include <stdexcept>

namespace {

constexpr QString TSkinWords::*Fields[] = {&TSkinWords::open, &TSkinWords::save, &TSkinWords::ringtoneFile,
    &TSkinWords::audioInfo, &TSkinWords::segmentInfo, &TSkinWords::adSlogan, &TSkinWords::adAction,
    &TSkinWords::aboutLine1, &TSkinWords::aboutLine2, &TSkinWords::rights};
static_assert(std::size(Fields) == std::size(EnglishSkinWords));

// The finished translations of the skin's context: source -> translation.
QHash<QString, QString> FinishedSkinTexts(const QString& file)
{
    QFile ts(file);
    if (!ts.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("reading %1 failed: %2").arg(file, ts.errorString()).toStdString());
    QHash<QString, QString> texts;
    QXmlStreamReader xml(&ts);
    QString context, source, translation;
    bool finished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"message" && context == QLatin1String(SkinContext)
            && finished)
            texts.insert(source, translation);
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"source")
            source = xml.readElementText();
        else if (xml.name() == u"translation") {
            finished = xml.attributes().value("type").isEmpty();
            translation = xml.readElementText();
            finished = finished && !translation.isEmpty();
        }
    }
    if (xml.hasError())
        throw std::runtime_error(QStringLiteral("%1: %2").arg(file, xml.errorString()).toStdString());
    return texts;
}

} // namespace

std::vector<TSkinWords> SkinLanguages(const QString& translationsFolder, QStringList& skipped)
{
    std::vector<TSkinWords> languages(1);
    for (size_t i = 0; i < std::size(Fields); ++i)
        languages[0].*Fields[i] = QString::fromUtf8(EnglishSkinWords[i]);
    const QString prefix = QStringLiteral("velumo_");
    const QDir folder(translationsFolder);
    for (const QString& name : folder.entryList({prefix + "*.ts"}, QDir::Files, QDir::Name)) {
        const QHash<QString, QString> texts = FinishedSkinTexts(folder.filePath(name));
        TSkinWords words;
        words.code = name.mid(prefix.size(), name.size() - prefix.size() - 3);
        bool complete = true;
        for (size_t i = 0; i < std::size(Fields); ++i) {
            const auto found = texts.find(languages[0].*Fields[i]);
            complete = complete && found != texts.end();
            if (found != texts.end())
                words.*Fields[i] = *found;
        }
        if (complete)
            languages.push_back(words);
        else
            skipped << words.code;
    }
    return languages;
}
