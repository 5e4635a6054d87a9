// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/rulemenu.h"

#include "rules/rulesfile.h"
#include "text/boundedtext.h"
#include "verdict/domainnames.h"
#include "window/messagelistview.h"

#include <QCoreApplication>
#include <QMenu>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(RuleMenu)
};

// A value in a menu entry: one short plain line, "&" shown as itself.
QString menuText(const QString& value)
{
    return plaintext::line(value, 60).replace(u'&', QStringLiteral("&&"));
}

} // namespace

namespace RuleMenu {

void popUp(MessageListView* list, int row, const QPoint& globalPosition, RulesFile& rules,
           const std::function<void(const QString&)>& showStatus)
{
    const MessageFacts facts = list->messages()->facts(row);
    if (facts.sender.isEmpty())
        return;
    const QString domain = registrableDomain(facts.domain);
    auto* menu = new QMenu(list);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [&](const QString& text, RuleSection section, RuleKind kind,
                         const QString& value) {
        if (value.isEmpty())
            return;
        QObject::connect(menu->addAction(text), &QAction::triggered, list,
                         [&rules, showStatus, section, kind, value] {
                             showStatus(rules.add(section, kind, value));
                         });
    };
    add(Texts::tr("Absender %1 immer &markieren").arg(menuText(facts.sender)), RuleSection::Mark,
        RuleKind::Sender, facts.sender);
    add(Texts::tr("Domain %1 immer m&arkieren").arg(menuText(domain)), RuleSection::Mark,
        RuleKind::Domain, domain);
    menu->addSeparator();
    add(Texts::tr("Absender %1 &nie markieren").arg(menuText(facts.sender)), RuleSection::NeverMark,
        RuleKind::Sender, facts.sender);
    add(Texts::tr("Domain %1 n&ie markieren").arg(menuText(domain)), RuleSection::NeverMark,
        RuleKind::Domain, domain);
    menu->popup(globalPosition);
}

} // namespace RuleMenu
