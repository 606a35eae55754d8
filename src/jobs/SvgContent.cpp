// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/SvgContent.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Elements in other vocabularies (editor data, RDF metadata) are neither shown nor referenced by a page.
bool isSvgElement(const QXmlStreamReader& xml)
{
    const QStringView space = xml.namespaceUri();
    return space.isEmpty() || space == u"http://www.w3.org/2000/svg";
}

bool holdsText(QStringView name)
{
    static const QStringList names{"text",     "tspan",    "textPath", "title",   "desc",
                                   "flowRoot", "flowPara", "flowSpan", "flowDiv", "foreignObject"};
    return names.contains(name);
}

} // namespace

std::optional<SvgContent> SvgContent::read(const QByteArray& bytes, QString* why)
{
    QXmlStreamReader xml(bytes);
    SvgContent content;
    bool rootSeen = false;
    int textDepth = 0; // inside an outermost text element when above 0
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const bool svg = isSvgElement(xml);
            const QXmlStreamAttributes attributes = xml.attributes();
            if (!rootSeen) {
                if (xml.name() != QLatin1String("svg")) {
                    *why = QStringLiteral("has <%1> as its root element, not <svg>").arg(xml.name());
                    return std::nullopt;
                }
                rootSeen = true;
                content.width = attributes.value(QLatin1String("width")).trimmed().toString();
                content.height = attributes.value(QLatin1String("height")).trimmed().toString();
                content.hasViewBox = attributes.hasAttribute(QLatin1String("viewBox"));
            }
            if (svg && attributes.hasAttribute(QLatin1String("id")))
                content.ids.insert(attributes.value(QLatin1String("id")).toString());
            if (textDepth > 0 || (svg && holdsText(xml.name())))
                ++textDepth;
        } else if (xml.isEndElement() && textDepth > 0 && --textDepth == 0) {
            content.texts.append(text.simplified());
            text.clear();
        } else if (xml.isCharacters() && textDepth > 0) {
            text += xml.text();
        }
    }
    if (xml.hasError()) {
        *why = QStringLiteral("is not well-formed XML (%1)").arg(xml.errorString());
        return std::nullopt;
    }
    if (!rootSeen) {
        *why = QStringLiteral("has no <svg> element");
        return std::nullopt;
    }
    std::sort(content.texts.begin(), content.texts.end());
    return content;
}
