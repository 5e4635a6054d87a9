// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The sections and keys of a settings file, parsed once so that every later lookup is a table
// access. Names are kept without regard to letter case; of two sections or two keys with the same
// name, only the first counts, as with the Windows profile lookup.
class IniDocument {
public:
    // The value as written (trimmed and unquoted), or nothing for a missing section or key.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // The section's key names, case-folded, in no particular order.
    QStringList keys(const QString& section) const
    {
        return m_sections.value(section.toCaseFolded()).keys();
    }

private:
    friend IniDocument parseIni(const QByteArray& bytes);
    QHash<QString, QHash<QString, QString>> m_sections;
};

// Parses the bytes of a settings file: UTF-16 with a byte-order mark (LE or BE), otherwise UTF-8
// (a byte-order mark is skipped) or, when the bytes are not valid UTF-8, Windows-1252. Blanks and
// tabs around names and values are dropped; a value wholly in double quotes loses them; a line
// starting with ";" is a comment, while ";" inside a value belongs to the value; LF or CR LF line
// ends. Any bytes at all give a document, possibly an empty one.
IniDocument parseIni(const QByteArray& bytes);
