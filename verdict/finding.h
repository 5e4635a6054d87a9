// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// What a header block shows about a message, in the order of gravity: a verdict lists its
// findings in this order.
enum class FindingKind {
    SenderNotConfirmed,
    DisplayNameDeceives,
    ServerSpam,
    InternationalAddress,
    ReplyToOtherDomain,
    SenderConfirmed,
};

// How a finding should look, for choosing its icon.
enum class Severity {
    Danger,    // the sender is probably not who it claims to be
    Warning,   // worth a closer look
    Notice,    // unusual, often harmless
    Confirmed, // the receiving server vouches for the sender
};

struct Finding {
    FindingKind kind;
    Severity severity;
    QString word;   // short German text for a list column, e.g. "Spam laut Server (7,9)"
    QString detail; // one German sentence for a tooltip; plain text, never markup
};

// A finding with the word and severity of its kind; the word names the value after it when
// there is one ("Absender bestätigt (example.com)").
Finding makeFinding(FindingKind kind, const QString& detail, const QString& value = {});

// Text from a header for a word or detail line: characters that steer the display (controls,
// direction overrides, zero widths) dropped, cut at maxLength characters.
QString shownText(const QString& text, qsizetype maxLength = 80);
