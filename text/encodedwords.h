// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Decodes the MIME encoded words of a header value ("=?UTF-8?B?...?=", "=?iso-8859-1?q?...?="),
// any letter case and any charset the system knows. White space between two adjacent encoded
// words is dropped; a malformed word is shown as it stands.
QString decodeEncodedWords(const QString& value);
