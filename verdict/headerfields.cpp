// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/headerfields.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Appends a line to a value, cut at the bound: a huge field must not grow without end.
void appendBounded(QByteArray& value, QByteArrayView line)
{
    value += line.first(qMin(line.size(), qMax(qsizetype(0), maxFieldValueSize - value.size())));
}

} // namespace

QList<HeaderField> readHeaderFields(QByteArrayView block)
{
    block = block.first(qMin(block.size(), maxHeaderBlockSize));
    QList<HeaderField> fields;
    bool continues = false; // whether the line before began or continued a field
    for (qsizetype start = 0; start < block.size();) {
        qsizetype end = block.indexOf('\n', start);
        end = end < 0 ? block.size() : end;
        QByteArrayView line = block.sliced(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        if (isBlank(line.front())) {
            if (continues)
                appendBounded(fields.last().value, line);
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        continues = colon > 0;
        if (continues) {
            fields.append(HeaderField{line.first(colon).trimmed().toByteArray(), {}});
            appendBounded(fields.last().value, line.sliced(colon + 1));
        }
    }
    return fields;
}

QList<QByteArray> fieldValues(const QList<HeaderField>& fields, QByteArrayView name)
{
    QList<QByteArray> values;
    for (const HeaderField& field : fields) {
        if (QByteArrayView(field.name).compare(name, Qt::CaseInsensitive) == 0)
            values.append(field.value);
    }
    return values;
}
