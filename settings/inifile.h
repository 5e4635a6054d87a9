// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/inidocument.h"

#include <QString>

// A settings file as read from disk: its document, or why there is none.
struct IniFile {
    enum class Status { Read, Missing, NotRegular, TooLarge, Unreadable };

    // Larger files are no settings files; reading one would only stall the start.
    static constexpr qint64 MaxSize = 1024 * 1024;

    QString path;
    Status status = Status::Missing;
    IniDocument document;

    // Why an existing file was not read, in German and naming the file; empty when it was read or
    // does not exist.
    QString problem() const;
};

// Reads the file once, and only when it is a regular file (after following links) of at most
// MaxSize bytes, so that a FIFO or a device never stalls or floods the start.
IniFile readIniFile(const QString& path);

// Looks up one value, keeping what the program relies on from the Windows profile lookup it
// replaces: the default value when nothing is found, at most bufferSize - 1 characters delivered,
// and the count of delivered characters returned (0 for a missing file, section or key).
int lookupIniValue(const QString& section, const QString& key, const QString& defaultValue,
                   QString& buffer, int bufferSize, const IniDocument& document);
