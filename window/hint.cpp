// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/hint.h"

#include "window/verdicticons.h"

#include <QCoreApplication>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Hint)
};

} // namespace

Hint hintFor(const Verdict& verdict, const RuleMatch& rule)
{
    Hint hint;
    for (const Finding& finding : verdict.findings)
        hint.lines.append(finding.word + QStringLiteral(": ") + finding.detail);
    if (!verdict.findings.isEmpty()) {
        hint.word = verdict.findings.first().word;
        hint.icon = severityIcon(verdict.findings.first().severity);
    }
    if (rule.effect == RuleMatch::Effect::Mark) {
        hint.lines.append(Texts::tr("Regel zum Markieren: %1").arg(rule.rule));
        if (hint.word.isEmpty())
            hint.word = Texts::tr("Regel: markieren");
    } else if (rule.effect == RuleMatch::Effect::NeverMark) {
        hint.lines.append(Texts::tr("Regel gegen das Markieren: %1").arg(rule.rule));
        if (hint.word.isEmpty())
            hint.word = Texts::tr("Regel: nicht markieren");
    }
    return hint;
}
