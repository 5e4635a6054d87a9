// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings reader. The first byte is the buffer size, then come the section and the key,
// each ended by a zero byte, and the rest is the file. The promises of inifile.h are checked
// against each other: the cut of a long value, letter case of names, line ends, comments, the
// byte-order mark and the first value winning.

#include "fuzz/require.h"
#include "settings/inidocument.h"
#include "settings/inifile.h"

#include <QStringDecoder>
#include <cstdint>
#include <optional>

namespace {

// No line of a file can hold a line feed, so no value found can be this.
const QString NotFound = QStringLiteral("\n");
constexpr int Unlimited = 1 << 20;

std::optional<QString> valueIn(const IniDocument& document, const QString& section,
                               const QString& key)
{
    QString value;
    lookupIniValue(section, key, NotFound, value, Unlimited, document);
    return value == NotFound ? std::nullopt : std::optional<QString>(value);
}

QString swappedCase(const QString& text)
{
    QString swapped = text;
    for (QChar& c : swapped) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
        else if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    }
    return swapped;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    // The decoder works when its result is taken as a string.
    [[maybe_unused]] const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

// A name that can be written into a file as it is.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name.trimmed() == name && !name.contains(u'[') &&
           !name.contains(u']') && !name.contains(u'=') && !name.contains(u';') &&
           !name.contains(u'\n') && !name.contains(u'\r');
}

void checkCut(const IniDocument& document, const QString& section, const QString& key,
              const QString& whole, int bufferSize)
{
    QString cut;
    const int count = lookupIniValue(section, key, NotFound, cut, bufferSize, document);
    const int room = qMax(0, bufferSize - 1);
    require(count == cut.size() && count <= room, "the count is what was delivered, within room");
    require(whole.startsWith(cut) && cut.size() >= qMin<qsizetype>(whole.size(), room) - 1,
            "a cut value is the value's beginning");
    require(cut.isEmpty() || !cut.back().isHighSurrogate(), "no half surrogate pair is delivered");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView input(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const qsizetype sectionEnd = input.indexOf('\0');
    const qsizetype keyEnd = sectionEnd < 0 ? -1 : input.indexOf('\0', sectionEnd + 1);
    if (keyEnd < 0)
        return 0;
    const QString section = QString::fromUtf8(input.first(sectionEnd));
    const QString key = QString::fromUtf8(input.sliced(sectionEnd + 1, keyEnd - sectionEnd - 1));
    const QByteArray content = input.sliced(keyEnd + 1).toByteArray();

    // Lookups in one file share its parse; each changed file below needs one of its own.
    const IniDocument document = parseIni(content);
    const std::optional<QString> value = valueIn(document, section, key);
    checkCut(document, section, key, value.value_or(NotFound), data[0]);
    require(valueIn(document, swappedCase(section), swappedCase(key)) == value,
            "names are found whatever their letter case");
    const QByteArray bom = "\xEF\xBB\xBF";
    // A file that starts with a byte-order mark is read in the encoding the mark names: text put
    // before it would change how the whole file is read.
    if (content.startsWith(bom) || content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF"))
        return 0;
    require(valueIn(parseIni("; a comment\n" + content), section, key) == value,
            "comments are skipped");
    if (!content.contains('\r')) {
        QByteArray crlf = content;
        require(valueIn(parseIni(crlf.replace("\n", "\r\n")), section, key) == value,
                "CR LF line ends read as LF");
    }
    if (isUtf8(content))
        require(valueIn(parseIni(bom + content), section, key) == value,
                "a byte-order mark is skipped");
    if (value && isPlainName(section) && isPlainName(key)) {
        const QByteArray later = "\n[" + section.toUtf8() + "]\n" + key.toUtf8() + "=later\n";
        require(valueIn(parseIni(content + later), section, key) == value, "the first value wins");
    }
    return 0;
}
