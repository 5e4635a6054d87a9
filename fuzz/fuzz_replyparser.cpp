// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The two numbers of a "+OK" status line, held to an independent reading of each field: blanks,
// tabs and line feeds dropped, then the longest number at its start converted by strtod.

#include "fuzz/require.h"
#include "mailbox/replyparser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

bool isDigit(char c)
{
    return digitValue(c) < 10;
}

// "&H1F" and "&O17": hexadecimal and octal digits after the marker.
double radixValue(const std::string& digits, int radix)
{
    double value = 0;
    for (size_t i = 0; i < digits.size() && digitValue(digits[i]) < radix; ++i)
        value = value * radix + digitValue(digits[i]);
    return value;
}

// Sign, digits with at most one point, and an exponent only when it has digits.
double decimalValue(const std::string& text)
{
    size_t end = text.rfind('+', 0) == 0 || text.rfind('-', 0) == 0 ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; end < text.size(); ++end) {
        if (isDigit(text[end]))
            digits = true;
        else if (text[end] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        size_t exponentEnd = exponent;
        while (exponentEnd < text.size() && isDigit(text[exponentEnd]))
            ++exponentEnd;
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    return std::strtod(text.substr(0, end).c_str(), nullptr);
}

qint32 expectedNumber(QByteArrayView field)
{
    std::string text;
    for (const char c : field) {
        if (c != ' ' && c != '\t' && c != '\n')
            text += c;
    }
    double value = 0;
    if (text.rfind("&H", 0) == 0 || text.rfind("&h", 0) == 0)
        value = radixValue(text.substr(2), 16);
    else if (text.rfind("&O", 0) == 0 || text.rfind("&o", 0) == 0)
        value = radixValue(text.substr(2), 8);
    else if (text.rfind('&', 0) != 0)
        value = decimalValue(text);
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (rounded >= std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return qint32(rounded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray text = original;
    // Set beforehand to see what is left alone.
    qint32 number1 = 7;
    qint32 number2 = 11;
    Parse_Reply(text, number1, number2);

    const qsizetype ok = original.indexOf("+OK");
    if (ok < 0) {
        require(text == original && number1 == 7 && number2 == 11, "without +OK nothing changes");
        return 0;
    }
    require(text == original.sliced(ok), "the text is cut to begin at +OK");
    const QByteArray tail = text.sliced(3);
    qsizetype begin = 0;
    qsizetype end = tail.size();
    while (begin < end && tail[begin] == ' ')
        ++begin;
    while (end > begin && tail[end - 1] == ' ')
        --end;
    const qsizetype blank = tail.indexOf(' ', begin);
    if (blank < 0 || blank >= end) {
        require(number1 == -1 && number2 == 11, "one field alone gives -1 and leaves the second");
        return 0;
    }
    require(number1 == expectedNumber(QByteArrayView(tail).sliced(begin, blank - begin)),
            "the first number reads as written");
    require(number2 == expectedNumber(QByteArrayView(tail).sliced(blank + 1, end - blank - 1)),
            "the second number reads as written");
    return 0;
}
