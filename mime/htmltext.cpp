// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mime/htmltext.h"

#include <QHash>

namespace {

// Elements whose content is no text for the reader.
bool isHidden(QStringView name)
{
    return name == u"script" || name == u"style" || name == u"head" || name == u"title" ||
           name == u"template";
}

// Elements that start a line of their own, and those that stand apart by a blank line.
bool breaksLine(QStringView name)
{
    static const QStringList names = {
        QStringLiteral("br"),      QStringLiteral("div"),     QStringLiteral("li"),
        QStringLiteral("tr"),      QStringLiteral("ul"),      QStringLiteral("ol"),
        QStringLiteral("table"),   QStringLiteral("hr"),      QStringLiteral("dt"),
        QStringLiteral("dd"),      QStringLiteral("section"), QStringLiteral("article"),
        QStringLiteral("header"),  QStringLiteral("footer"),  QStringLiteral("pre"),
        QStringLiteral("address"), QStringLiteral("center"),  QStringLiteral("form")};
    return names.contains(name);
}

bool separatesParagraph(QStringView name)
{
    return name == u"p" || name == u"blockquote" ||
           (name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6');
}

QString namedCharacter(QStringView name)
{
    static const QHash<QString, QString> characters = {
        {QStringLiteral("amp"), QStringLiteral("&")},
        {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},
        {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")},
        {QStringLiteral("nbsp"), QStringLiteral(" ")},
        {QStringLiteral("auml"), QStringLiteral("ä")},
        {QStringLiteral("ouml"), QStringLiteral("ö")},
        {QStringLiteral("uuml"), QStringLiteral("ü")},
        {QStringLiteral("Auml"), QStringLiteral("Ä")},
        {QStringLiteral("Ouml"), QStringLiteral("Ö")},
        {QStringLiteral("Uuml"), QStringLiteral("Ü")},
        {QStringLiteral("szlig"), QStringLiteral("ß")},
        {QStringLiteral("euro"), QStringLiteral("€")},
        {QStringLiteral("copy"), QStringLiteral("©")},
        {QStringLiteral("reg"), QStringLiteral("®")},
        {QStringLiteral("ndash"), QStringLiteral("–")},
        {QStringLiteral("mdash"), QStringLiteral("—")},
        {QStringLiteral("hellip"), QStringLiteral("…")},
        {QStringLiteral("bull"), QStringLiteral("•")},
        {QStringLiteral("laquo"), QStringLiteral("«")},
        {QStringLiteral("raquo"), QStringLiteral("»")},
        {QStringLiteral("bdquo"), QStringLiteral("„")},
        {QStringLiteral("ldquo"), QStringLiteral("“")},
        {QStringLiteral("rdquo"), QStringLiteral("”")},
        {QStringLiteral("lsquo"), QStringLiteral("‘")},
        {QStringLiteral("rsquo"), QStringLiteral("’")},
        {QStringLiteral("shy"), QString()},
        {QStringLiteral("zwnj"), QString()},
        {QStringLiteral("zwj"), QString()}};
    const auto found = characters.constFind(name.toString());
    return found == characters.constEnd() ? QString() : *found;
}

// The character a reference such as "&amp;" or "&#228;" at position stands for, and how many
// characters the reference takes; a reference not known stays as written.
QString decodeReference(QStringView html, qsizetype position, qsizetype& length)
{
    // No reference is longer; looking further would make a text of "&" cost its square.
    constexpr qsizetype LongestReference = 12;
    const qsizetype end = html.sliced(position)
                              .first(qMin(html.size() - position, LongestReference + 2))
                              .indexOf(u';');
    length = 1;
    if (end < 0)
        return QStringLiteral("&");
    const QStringView name = html.sliced(position + 1, end - 1);
    if (name.startsWith(u'#')) {
        bool ok = false;
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const uint code = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return QStringLiteral("&");
        length = end + 1;
        const bool valid = code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code);
        const char32_t shown = valid ? char32_t(code) : char32_t(0xFFFD);
        return QString::fromUcs4(&shown, 1);
    }
    const QString character = namedCharacter(name);
    if (character.isNull())
        return QStringLiteral("&");
    length = end + 1;
    return character;
}

class TextCollector {
public:
    void addText(QStringView text)
    {
        for (const QChar c : text) {
            if (c.isSpace() && c != QChar::Nbsp) {
                m_pendingBlank = !m_text.isEmpty() && !m_text.endsWith(u'\n');
                continue;
            }
            if (m_pendingBlank)
                m_text += u' ';
            m_pendingBlank = false;
            m_text += c;
        }
    }
    // Starts a new line; blankLines more empty lines before it when the text is not empty.
    void breakLine(int blankLines = 0)
    {
        m_pendingBlank = false;
        while (m_text.endsWith(u' '))
            m_text.chop(1);
        if (m_text.isEmpty())
            return;
        qsizetype wanted = 1 + blankLines;
        qsizetype present = 0;
        while (present < m_text.size() && m_text[m_text.size() - 1 - present] == u'\n')
            ++present;
        for (; present < wanted; ++present)
            m_text += u'\n';
    }
    QString text()
    {
        breakLine();
        return m_text.trimmed();
    }

private:
    QString m_text;
    bool m_pendingBlank = false;
};

// The lower-case name of the tag that starts at position ("<p", "</div"), empty for none.
QString tagName(QStringView html, qsizetype position, bool& closing)
{
    qsizetype i = position + 1;
    closing = i < html.size() && html[i] == u'/';
    if (closing)
        ++i;
    const qsizetype start = i;
    while (i < html.size() && html[i].unicode() < 128 && html[i].isLetterOrNumber())
        ++i;
    return html.sliced(start, i - start).toString().toLower();
}

// Where the element's end tag ends, or the end of the document when it has none.
qsizetype afterEndTag(QStringView html, qsizetype from, const QString& name)
{
    const qsizetype end =
        html.indexOf(QString(QStringLiteral("</") + name), from, Qt::CaseInsensitive);
    if (end < 0)
        return html.size();
    const qsizetype close = html.indexOf(u'>', end);
    return close < 0 ? html.size() : close + 1;
}

} // namespace

QString htmlToPlainText(QStringView html)
{
    TextCollector collector;
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html[i];
        if (c == u'&') {
            qsizetype length = 1;
            collector.addText(decodeReference(html, i, length));
            i += length;
            continue;
        }
        if (c != u'<') {
            qsizetype end = i;
            while (end < html.size() && html[end] != u'<' && html[end] != u'&')
                ++end;
            collector.addText(html.sliced(i, end - i));
            i = end;
            continue;
        }
        bool closing = false;
        const QString name = tagName(html, i, closing);
        const QStringView rest = html.sliced(i);
        if (name.isEmpty() && !closing && !rest.startsWith(u"<!") && !rest.startsWith(u"<?")) {
            // A "<" that opens no tag is text.
            collector.addText(u"<");
            ++i;
            continue;
        }
        // A tag or comment without its end takes the rest of the document, as in a browser.
        const qsizetype end =
            rest.startsWith(u"<!--") ? html.indexOf(u"-->", i + 4) : html.indexOf(u'>', i);
        const qsizetype afterTag = end < 0 ? html.size() : end + (rest.startsWith(u"<!--") ? 3 : 1);
        i = !closing && isHidden(name) ? afterEndTag(html, afterTag, name) : afterTag;
        if (separatesParagraph(name))
            collector.breakLine(1);
        else if (breaksLine(name))
            collector.breakLine();
        if (name == u"li" && !closing)
            collector.addText(u"• ");
    }
    return collector.text();
}
