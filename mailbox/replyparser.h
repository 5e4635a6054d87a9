// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

// Reads the two numbers of a "+OK" status line ("+OK 2 320" after "stat", "+OK 3 152" after
// "list 3"). ReplyText is cut to begin at "+OK". Without "+OK" nothing changes; when no blank
// follows the first number, Number1 becomes -1 and Number2 is left as it was.
void Parse_Reply(QByteArray& ReplyText, qint32& Number1, qint32& Number2);
