#pragma once
// Reads a Qt Linguist file, so tests take the translations from the one
// place they stand instead of copying them.

#include <QFile>
#include <QString>
#include <QXmlStreamReader>

#include <map>
#include <stdexcept>
#include <utility>

struct TMessage {
    QString source, translation, type;
};

// (context, source) -> message.
using TMessages = std::map<std::pair<QString, QString>, TMessage>;

inline TMessages ReadTs(const QString& path)
{
    TMessages messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    QXmlStreamReader xml(&file);
    QString context;
    TMessage message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == u"message")
                messages[{context, message.source}] = message;
            continue;
        }
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"message")
            message = {};
        else if (xml.name() == u"source")
            message.source = xml.readElementText();
        else if (xml.name() == u"translation") {
            message.type = xml.attributes().value("type").toString();
            message.translation = xml.readElementText();
        }
    }
    if (xml.hasError())
        throw std::runtime_error(path.toStdString() + ": " + xml.errorString().toStdString());
    return messages;
}

inline QString TsFile(const QString& language)
{
    return QStringLiteral(VELUMO_SOURCE_DIR "/translations/velumo_%1.ts").arg(language);
}
