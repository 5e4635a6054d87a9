// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rules/rulesfileedit.h"

#include "settings/inifile.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringTokenizer>
#include <algorithm>

namespace {

// The file's text as code units that map one to one onto its bytes: UTF-16 decoded, any other
// file read byte by byte, which keeps the ASCII of names and brackets where it is.
struct FileUnits {
    enum class Encoding { Utf8, Windows1252, Utf16LE, Utf16BE };
    Encoding encoding = Encoding::Utf8;
    qsizetype markSize = 0; // bytes of the byte-order mark
    QString units;

    qsizetype byteOffset(qsizetype unit) const
    {
        const bool wide = encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
        return markSize + (wide ? 2 * unit : unit);
    }
};

FileUnits readUnits(const QByteArray& file)
{
    FileUnits read;
    if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF")) {
        const bool little = file.startsWith("\xFF\xFE");
        read.encoding = little ? FileUnits::Encoding::Utf16LE : FileUnits::Encoding::Utf16BE;
        read.markSize = 2;
        // An odd last byte is no unit of its own; the reader drops it too.
        QStringDecoder utf16(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        read.units = utf16.decode(QByteArrayView(file).sliced(2, (file.size() - 2) / 2 * 2));
        return read;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString checked = utf8.decode(file);
    read.encoding = utf8.hasError() ? FileUnits::Encoding::Windows1252 : FileUnits::Encoding::Utf8;
    // In Windows-1252 these bytes are letters of the first line.
    const bool marked =
        read.encoding == FileUnits::Encoding::Utf8 && file.startsWith("\xEF\xBB\xBF");
    read.markSize = marked ? 3 : 0;
    read.units = QString::fromLatin1(QByteArrayView(file).sliced(read.markSize));
    return read;
}

// The text in the file's encoding; empty when a character of it has no place there.
QByteArray encoded(const QString& text, FileUnits::Encoding encoding)
{
    switch (encoding) {
    case FileUnits::Encoding::Utf8:
        return text.toUtf8();
    case FileUnits::Encoding::Utf16LE:
    case FileUnits::Encoding::Utf16BE: {
        QStringEncoder utf16(encoding == FileUnits::Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                                      : QStringConverter::Utf16BE);
        return utf16.encode(text);
    }
    case FileUnits::Encoding::Windows1252:
        break;
    }
    // Latin-1 and Windows-1252 agree outside 0x80 to 0x9F.
    for (const QChar c : text) {
        if (c.unicode() > 0xFF || (c.unicode() >= 0x80 && c.unicode() <= 0x9F))
            return {};
    }
    return text.toLatin1();
}

QStringView trimmedLine(QStringView line)
{
    if (line.endsWith(u'\r'))
        line.chop(1);
    while (!line.isEmpty() && (line.front() == u' ' || line.front() == u'\t'))
        line = line.sliced(1);
    while (!line.isEmpty() && (line.back() == u' ' || line.back() == u'\t'))
        line.chop(1);
    return line;
}

// What the first section of a name holds: where its last line ends, and the numbers of the
// kind's keys.
struct SectionPlace {
    qsizetype insertAt = -1; // end of the section's last non-blank line; -1 without the section
    QSet<int> numbers;
};

SectionPlace findSection(const QString& units, const QString& section, const QString& key)
{
    SectionPlace place;
    bool inside = false;
    bool seen = false;
    qsizetype start = 0;
    for (QStringView line : QStringTokenizer(units, u'\n')) {
        const qsizetype lineStart = start;
        start += line.size() + 1;
        const QStringView text = trimmedLine(line);
        if (text.startsWith(u'[')) {
            const qsizetype close = text.indexOf(u']');
            const QStringView name =
                trimmedLine(text.sliced(1, (close < 0 ? text.size() : close) - 1));
            inside = !seen && name.compare(section, Qt::CaseInsensitive) == 0;
            seen = seen || inside;
            if (inside)
                place.insertAt = lineStart + (line.endsWith(u'\r') ? line.size() - 1 : line.size());
            continue;
        }
        if (!inside || text.isEmpty())
            continue;
        place.insertAt = lineStart + (line.endsWith(u'\r') ? line.size() - 1 : line.size());
        const qsizetype equals = text.indexOf(u'=');
        const QStringView name = trimmedLine(text.first(qMax<qsizetype>(0, equals)));
        const QStringView digits = name.sliced(qMin(name.size(), key.size()));
        const int number = digits.toInt();
        if (equals > 0 && name.startsWith(key, Qt::CaseInsensitive) &&
            QString::number(number) == digits)
            place.numbers.insert(number);
    }
    return place;
}

bool hasRule(const QByteArray& file, RuleSection section, RuleKind kind, const QString& normal)
{
    const MarkingRules rules = readMarkingRules(parseIni(file));
    const RuleList& list = section == RuleSection::Mark ? rules.mark : rules.neverMark;
    if (kind == RuleKind::Sender)
        return list.senders.contains(normal);
    if (kind == RuleKind::Domain)
        return list.domains.contains(normal);
    return std::any_of(list.subjects.begin(), list.subjects.end(),
                       [&normal](const auto& rule) { return rule.first == normal; });
}

} // namespace

RuleAdded addRule(QByteArray& file, RuleSection section, RuleKind kind, const QString& value)
{
    const QString normal = normalisedRuleValue(kind, value);
    const bool plain = std::none_of(value.begin(), value.end(),
                                    [](QChar c) { return c.category() == QChar::Other_Control; });
    if (normal.isEmpty() || !plain || value.size() > MaxRuleValueLength)
        return RuleAdded::NotWritable;
    if (hasRule(file, section, kind, normal))
        return RuleAdded::AlreadyThere;
    const FileUnits read = readUnits(file);
    const QString lineEnd =
        read.units.contains(u"\r\n") ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const SectionPlace place = findSection(read.units, sectionName(section), keyName(kind));
    int number = 1;
    while (place.numbers.contains(number))
        ++number;
    if (number > MaxRuleNumber)
        return RuleAdded::NoRoomLeft;
    const QString rule = keyName(kind) + QString::number(number) + u'=' + value;
    QString insertion = lineEnd + rule;
    qsizetype at = place.insertAt;
    if (at < 0) {
        at = read.units.size();
        // A last line ended by a CR alone gets its LF, so that the CR stays out of its value.
        const QString endOfLast = read.units.isEmpty() || read.units.endsWith(u'\n') ? QString()
                                  : read.units.endsWith(u'\r') ? QStringLiteral("\n")
                                                               : lineEnd;
        insertion = endOfLast + (read.units.isEmpty() ? QString() : lineEnd) + u'[' +
                    sectionName(section) + u']' + lineEnd + rule + lineEnd;
    }
    const QByteArray bytes = encoded(insertion, read.encoding);
    if (bytes.isEmpty())
        return RuleAdded::NotWritable;
    QByteArray changed = file;
    changed.insert(read.byteOffset(at), bytes);
    // The reader must find exactly this value under this key: a value it would read otherwise
    // (quoted, with blanks at its ends) is not written.
    const std::optional<QString> found =
        parseIni(changed).value(sectionName(section), keyName(kind) + QString::number(number));
    if (found != value || changed.size() > IniFile::MaxSize)
        return RuleAdded::NotWritable;
    file = changed;
    return RuleAdded::Added;
}
