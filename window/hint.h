// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/markingrules.h"
#include "verdict/verdict.h"

#include <QIcon>
#include <QString>
#include <QStringList>

// What the list's "Hinweis" column and the Mailinfo frame show of a message: the gravest finding
// of its verdict with its icon, else the rule that decided its mark; every finding and the rule
// in the tooltip. Nothing for a message without either.
struct Hint {
    QString word;
    QIcon icon;
    QStringList lines; // plain text, for plaintext::toolTip

    bool isEmpty() const { return word.isEmpty(); }
};

Hint hintFor(const Verdict& verdict, const RuleMatch& rule);
