// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>

// Text from bytes whose encoding nobody declared: UTF-8 when the bytes are valid UTF-8,
// otherwise Windows-1252, the code page that files and mail written on Windows mostly use.
QString decodeUtf8OrWindows1252(QByteArrayView bytes);
