// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text/numbervalue.h"

#include <QByteArray>
#include <charconv>
#include <cmath>

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the text and hides the characters that the number rule skips.
class Reader {
public:
    explicit Reader(QStringView text) : m_text(text) {}

    QChar peek()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : QChar();
    }
    QChar take()
    {
        const QChar c = peek();
        ++m_pos;
        return c;
    }
    bool takeIf(QChar a, QChar b)
    {
        if (peek() != a && peek() != b)
            return false;
        ++m_pos;
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

int digitValue(QChar c)
{
    if (isDecimalDigit(c))
        return c.unicode() - u'0';
    const char16_t lower = QChar(c).toLower().unicode();
    if (lower >= u'a' && lower <= u'f')
        return lower - u'a' + 10;
    return -1;
}

double radixValue(Reader& reader, int radix)
{
    double value = 0;
    for (int d = digitValue(reader.peek()); d >= 0 && d < radix; d = digitValue(reader.peek())) {
        value = value * radix + d;
        reader.take();
    }
    return value;
}

void appendSign(Reader& reader, QByteArray& number)
{
    if (reader.peek() == u'+' || reader.peek() == u'-')
        number += char(reader.take().unicode());
}

// Whether a number out of a double's range is too small rather than too large: the power of ten
// of its first non-zero digit, moved by the exponent, is negative.
bool isTooSmall(QByteArrayView mantissa, QByteArrayView exponent)
{
    const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
    qsizetype first = 0;
    while (first < mantissa.size() && (mantissa[first] < '1' || mantissa[first] > '9'))
        ++first;
    if (first == mantissa.size())
        return true;
    qint64 power = first < point ? point - first - 1 : point - first;
    QByteArrayView digits = exponent;
    const bool negative = digits.startsWith('-');
    if (negative || digits.startsWith('+'))
        digits = digits.sliced(1);
    while (digits.startsWith('0'))
        digits = digits.sliced(1);
    // An exponent of more digits than a double could ever use decides alone.
    const qint64 size = digits.size() > 12 ? 1000000000000LL : digits.toLongLong();
    const qint64 shift = negative ? -size : size;
    power += shift;
    return power < 0;
}

double decimalValue(Reader& reader)
{
    QByteArray number;
    appendSign(reader, number);
    bool seenPoint = false;
    bool seenDigit = false;
    for (QChar c = reader.peek(); isDecimalDigit(c) || (c == u'.' && !seenPoint);
         c = reader.peek()) {
        seenPoint = seenPoint || c == u'.';
        seenDigit = seenDigit || c != u'.';
        number += char(reader.take().unicode());
    }
    if (!seenDigit)
        return 0;
    const QByteArray mantissa = number;
    QByteArray exponent;
    if (reader.takeIf(u'E', u'e')) {
        appendSign(reader, exponent);
        const qsizetype signLength = exponent.size();
        while (isDecimalDigit(reader.peek()))
            exponent += char(reader.take().unicode());
        if (exponent.size() > signLength)
            number += 'e' + exponent;
        else
            exponent.clear();
    }
    const char* begin = number.constData();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, number.constData() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too large a number becomes infinite, too small a one zero; callers clamp.
        value =
            isTooSmall(mantissa, exponent) ? 0.0 : (number.startsWith('-') ? -HUGE_VAL : HUGE_VAL);
    }
    return value;
}

} // namespace

double numberValue(QStringView text)
{
    Reader reader(text);
    if (reader.peek() != u'&')
        return decimalValue(reader);
    reader.take();
    if (reader.takeIf(u'H', u'h'))
        return radixValue(reader, 16);
    if (reader.takeIf(u'O', u'o'))
        return radixValue(reader, 8);
    return 0;
}
