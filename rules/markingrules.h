// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/inidocument.h"

#include <QHash>
#include <QList>
#include <QString>
#include <utility>

// The user's rules that tick messages for deletion, from regeln.ini:
//
//     [Markieren]
//     Absender1=gewinn@lotto.example   ; this address, any letter case
//     Domain1=werbung.example          ; the sender's domain is this one or below it
//     Betreff1=Gewinnspiel             ; part of the decoded subject, any letter case
//     ServerSpam=ja                    ; the receiving server's spam filter says spam
//     [NichtMarkieren]
//     Domain1=example.org              ; the same keys: never ticked by a rule
//
// Numbers run from 1 to MaxRuleNumber and may have gaps.

enum class RuleSection { Mark, NeverMark };
enum class RuleKind { Sender, Domain, Subject };

inline constexpr int MaxRuleNumber = 500;
// Longer values are no addresses, domains or subjects anybody writes.
inline constexpr qsizetype MaxRuleValueLength = 254;

// "Markieren", "Absender" and so on, as the file names them.
QString sectionName(RuleSection section);
QString keyName(RuleKind kind);

// A value as the rules compare it: an address in lower case with its domain in ASCII form, a
// domain in lower-case ASCII form, a subject part case-folded with its blanks made single. Empty
// when the value cannot be one of its kind.
QString normalisedRuleValue(RuleKind kind, const QString& value);

// The rules of one section, each value normalised, mapped to the rule's name for the user
// ("[Markieren] Absender1=gewinn@lotto.example").
struct RuleList {
    QHash<QString, QString> senders;
    QHash<QString, QString> domains;
    QList<std::pair<QString, QString>> subjects;
    QString serverSpam; // the rule's name when ServerSpam=ja, else empty

    bool operator==(const RuleList& other) const;
};

struct MarkingRules {
    RuleList mark;
    RuleList neverMark;
    // The first value that was not taken, and why, in German; empty when every value was.
    QString problem;

    bool isEmpty() const;
    bool operator==(const MarkingRules& other) const;
};

MarkingRules readMarkingRules(const IniDocument& document);

// What the rules look at in a message's header block.
struct MessageFacts {
    QString sender;          // From's first address, normalised (see normalisedRuleValue)
    QString domain;          // its domain, normalised; empty when it has none
    QString subject;         // decoded, normalised
    bool serverSpam = false; // a finding of kind ServerSpam (verdict/serverspam.h)
};

MessageFacts readMessageFacts(QByteArrayView headerBlock);

struct RuleMatch {
    enum class Effect { None, Mark, NeverMark };
    Effect effect = Effect::None;
    QString rule; // the name of the rule that decided, empty for none
};

// [NichtMarkieren] wins over [Markieren]; within a section the sender counts before the domain,
// the domain before the subject and the subject before the spam filter's word.
RuleMatch matchRules(const MarkingRules& rules, const MessageFacts& facts);
