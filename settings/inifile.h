#pragma once

#include <QString>

// Looks up one value of an INI file, keeping what the program relies on from the Windows
// profile lookup it replaces: the default value when nothing is found, at most bufferSize - 1
// characters delivered, and the count of delivered characters returned (0 for a missing file,
// section or key).
//
// The file is read as users of INI files expect: section and key names without regard to letter
// case; blanks and tabs around names and values dropped; a value wholly in double quotes loses
// them; a line starting with ";" is a comment, while ";" inside a value belongs to the value; the
// first matching section and key win; LF or CR LF line ends; a UTF-8 byte-order mark is skipped.
int lookupIniValue(const QString& section, const QString& key, const QString& defaultValue,
                   QString& buffer, int bufferSize, const QString& path);
