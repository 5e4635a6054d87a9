#include "settings/inifile.h"

#include "settings/textdecoding.h"

#include <QFile>
#include <QStringTokenizer>
#include <optional>

namespace {

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

std::optional<QString> findValue(const QString& content, const QString& section, const QString& key)
{
    bool inSection = false;
    bool sectionSeen = false;
    for (QStringView line : QStringTokenizer(content, u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = trimBlanksAndTabs(line);
        if (line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            // Only the first section of that name counts, as with the Windows lookup.
            if (sectionSeen)
                return std::nullopt;
            const qsizetype close = line.indexOf(u']');
            const QStringView name = line.sliced(1, (close < 0 ? line.size() : close) - 1);
            inSection = trimBlanksAndTabs(name).compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = inSection;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0)
            continue;
        if (trimBlanksAndTabs(line.first(equals)).compare(key, Qt::CaseInsensitive) == 0)
            return unquoted(trimBlanksAndTabs(line.sliced(equals + 1))).toString();
    }
    return std::nullopt;
}

} // namespace

int lookupIniValue(const QString& section, const QString& key, const QString& defaultValue,
                   QString& buffer, int bufferSize, const QString& path)
{
    QFile file(path);
    std::optional<QString> value;
    if (file.open(QIODevice::ReadOnly))
        value = findValue(decodeUtf8OrWindows1252(file.readAll()), section, key);
    buffer = value.value_or(defaultValue).left(qMax(0, bufferSize - 1));
    // Never hand out half of a surrogate pair.
    if (!buffer.isEmpty() && buffer.back().isHighSurrogate())
        buffer.chop(1);
    return int(buffer.size());
}
