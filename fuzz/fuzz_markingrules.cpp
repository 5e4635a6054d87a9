// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The rules file: reading it, and adding a rule to it. The first byte chooses the section and the
// kind of rule, then come the value and a zero byte, and the rest is the file. Checked: the reader
// stays within its bounds, an added rule is read back where it belongs, every other rule stays as
// it was, the file's other bytes stay as they were, and the same rule is not added twice.

#include "fuzz/require.h"
#include "rules/markingrules.h"
#include "rules/rulesfileedit.h"

#include <cstdint>

namespace {

const RuleList& listOf(const MarkingRules& rules, RuleSection section)
{
    return section == RuleSection::Mark ? rules.mark : rules.neverMark;
}

bool holds(const RuleList& list, RuleKind kind, const QString& normal)
{
    if (kind == RuleKind::Sender)
        return list.senders.contains(normal);
    if (kind == RuleKind::Domain)
        return list.domains.contains(normal);
    for (const auto& rule : list.subjects) {
        if (rule.first == normal)
            return true;
    }
    return false;
}

// The rules of after without the one added.
RuleList without(RuleList list, RuleKind kind, const QString& normal)
{
    if (kind == RuleKind::Sender)
        list.senders.remove(normal);
    else if (kind == RuleKind::Domain)
        list.domains.remove(normal);
    else
        list.subjects.removeIf([&normal](const auto& rule) { return rule.first == normal; });
    return list;
}

// Whether after is before with one run of bytes put in somewhere.
bool isInsertionInto(const QByteArray& before, const QByteArray& after)
{
    qsizetype prefix = 0;
    while (prefix < before.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return after.size() > before.size() && prefix + suffix == before.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const qsizetype zero = rest.indexOf('\0');
    if (zero < 0)
        return 0;
    const RuleSection section = data[0] & 1 ? RuleSection::NeverMark : RuleSection::Mark;
    const RuleKind kind = RuleKind((data[0] >> 1) % 3);
    const QString value = QString::fromUtf8(rest.first(zero));
    const QByteArray before = rest.sliced(zero + 1);

    const MarkingRules rules = readMarkingRules(parseIni(before));
    for (const RuleList* list : {&rules.mark, &rules.neverMark})
        require(list->senders.size() <= MaxRuleNumber && list->domains.size() <= MaxRuleNumber &&
                    list->subjects.size() <= MaxRuleNumber,
                "no more rules of a kind than numbers");

    QByteArray after = before;
    const RuleAdded added = addRule(after, section, kind, value);
    if (added != RuleAdded::Added) {
        require(after == before, "a rule not added leaves the file as it was");
        return 0;
    }
    const QString normal = normalisedRuleValue(kind, value);
    const MarkingRules now = readMarkingRules(parseIni(after));
    require(holds(listOf(now, section), kind, normal), "the added rule is read back");
    require(without(listOf(now, section), kind, normal) == listOf(rules, section),
            "the section's other rules stay");
    const RuleSection other =
        section == RuleSection::Mark ? RuleSection::NeverMark : RuleSection::Mark;
    require(listOf(now, other) == listOf(rules, other), "the other section stays");
    require(isInsertionInto(before, after), "every other byte stays where it was");
    QByteArray again = after;
    require(addRule(again, section, kind, value) == RuleAdded::AlreadyThere && again == after,
            "a rule is not added twice");
    return 0;
}
