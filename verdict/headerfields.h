// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One field of a message's header block, its continuation lines joined.
struct HeaderField {
    QByteArray name;  // as written
    QByteArray value; // from after the colon, without line ends, at most maxFieldValueSize bytes
};

inline constexpr qsizetype maxHeaderBlockSize = 256 * 1024;
inline constexpr qsizetype maxFieldValueSize = 8 * 1024;

// The fields of a header block, topmost first, up to the empty line that ends it. Any bytes: a
// line without a colon is skipped, a bare LF ends a line too, and only the first
// maxHeaderBlockSize bytes are read.
QList<HeaderField> readHeaderFields(QByteArrayView block);

// The fields of that name, in any letter case, topmost first.
QList<QByteArray> fieldValues(const QList<HeaderField>& fields, QByteArrayView name);
