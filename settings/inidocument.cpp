// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/inidocument.h"

#include "text/textdecoding.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringTokenizer>

namespace {

QString decodeSettings(const QByteArray& bytes)
{
    // Notepad's "Unicode" is UTF-16 with a byte-order mark; without one nobody can tell it apart.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE);
        return utf16.decode(QByteArrayView(bytes).sliced(2));
    }
    return decodeUtf8OrWindows1252(bytes);
}

QStringView trimBlanksAndTabs(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.sliced(begin, end - begin);
}

QStringView unquoted(QStringView value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const auto keys = m_sections.constFind(section.toCaseFolded());
    if (keys == m_sections.constEnd())
        return std::nullopt;
    const auto found = keys->constFind(key.toCaseFolded());
    if (found == keys->constEnd())
        return std::nullopt;
    return *found;
}

IniDocument parseIni(const QByteArray& bytes)
{
    IniDocument document;
    const QString content = decodeSettings(bytes);
    QSet<QString> seenSections;
    // Keys of a section are collected only in its first occurrence; null elsewhere.
    QHash<QString, QString>* keys = nullptr;
    for (QStringView line : QStringTokenizer(content, u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = trimBlanksAndTabs(line);
        if (line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name =
                trimBlanksAndTabs(line.sliced(1, (close < 0 ? line.size() : close) - 1))
                    .toString()
                    .toCaseFolded();
            keys = nullptr;
            if (!seenSections.contains(name)) {
                seenSections.insert(name);
                keys = &document.m_sections[name];
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!keys || equals < 0)
            continue;
        const QString key = trimBlanksAndTabs(line.first(equals)).toString().toCaseFolded();
        if (!keys->contains(key))
            keys->insert(key, unquoted(trimBlanksAndTabs(line.sliced(equals + 1))).toString());
    }
    return document;
}
