// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Text that comes from a server, a message or the settings file, cleaned and bounded for showing:
// control characters become visible signs, direction overrides and isolates are dropped (the
// marks U+200E and U+200F stay, they turn nothing round), a tab becomes a blank, and nothing is
// longer than it may be. A hostile text can then neither hide behind control characters, nor turn
// itself round, nor grow a label, a box or a notification beyond the screen.
namespace plaintext {

// One line: labels, the status line, list cells and tooltips.
constexpr qsizetype ShownLimit = 1000;
// The lines of a message box, text and detail together.
constexpr qsizetype BoxLimit = 2000;
constexpr int BoxLines = 20;

// The text as one line, line breaks shown as signs, cut to limit characters with an ellipsis.
QString line(const QString& text, qsizetype limit = ShownLimit);

// The text with its line breaks (CR LF and a lone CR become LF), cut to at most maxLines lines
// and limit characters, with an ellipsis where it was cut.
QString lines(const QString& text, qsizetype limit = BoxLimit, int maxLines = BoxLines);

} // namespace plaintext
