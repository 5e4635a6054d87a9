// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/markingrules.h"

#include <QByteArray>
#include <QString>

// Adds one rule to the bytes of regeln.ini and leaves every other byte as it was: comments,
// order, other sections, blank lines, line ends and the encoding (UTF-8 with or without a
// byte-order mark, Windows-1252, UTF-16 with a mark), as the settings reader reads them.
// The rule goes after the last line of the first section of that name (the one the reader
// takes), numbered with the smallest number no key of its kind there has yet; without the
// section, the section is added at the end.
enum class RuleAdded {
    Added,
    AlreadyThere, // the section has a rule of that kind with the same value
    NoRoomLeft,   // every number up to MaxRuleNumber is taken
    NotWritable,  // the value cannot stand in the file as it is (its encoding, its characters)
};

RuleAdded addRule(QByteArray& file, RuleSection section, RuleKind kind, const QString& value);
