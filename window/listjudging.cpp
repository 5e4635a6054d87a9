// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/listjudging.h"

#include "verdict/authservid.h"
#include "window/hint.h"
#include "window/messagelistview.h"
#include "window/plaintext.h"
#include "window/rulemenu.h"

#include <QLabel>
#include <QStyle>

ListJudging::ListJudging(MessageListView* list, std::function<void(const QString&)> showStatus,
                         const QString& rulesPath)
    : m_list(list), m_rules(rulesPath)
{
    m_list->messages()->setRules(m_rules.rules());
    connect(&m_rules, &RulesFile::changed, this, [this, showStatus] {
        m_list->messages()->setRules(m_rules.rules());
        m_list->messages()->publish();
        showStatus(QString());
    });
    connect(m_list, &MessageListView::menuRequested, this,
            [this, showStatus](int row, const QPoint& globalPosition) {
                RuleMenu::popUp(m_list, row, globalPosition, m_rules, showStatus);
            });
}

void ListJudging::configure(const QString& mailbox, const QString& authServId)
{
    if (!authServId.isEmpty())
        m_configured.insert(mailbox, authServId);
}

void ListJudging::listed(const QString& mailbox)
{
    m_list->messages()->setTrustedAuthServId(m_configured.value(mailbox, m_agreed.value(mailbox)));
}

void ListJudging::fetched(const QString& mailbox)
{
    if (m_configured.contains(mailbox))
        return;
    const MessageListModel& messages = *m_list->messages();
    QList<QByteArray> headers;
    headers.reserve(messages.entryCount());
    // Only blocks that hold the field count; the rest need no reading.
    for (int row = 0; row < messages.entryCount(); ++row) {
        if (messages.holdsAuthenticationResults(row))
            headers.append(messages.header(row));
    }
    const QString agreed = commonAuthServId(headers);
    m_agreed.insert(mailbox, agreed);
    m_list->messages()->setTrustedAuthServId(agreed);
    m_list->messages()->publish();
}

void ListJudging::showHint(int row, QLabel* picture) const
{
    const MessageListModel& messages = *m_list->messages();
    const Hint hint = hintFor(messages.verdict(row), messages.rule(row));
    const int size = picture->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, picture);
    picture->setPixmap(hint.icon.isNull() ? QPixmap() : hint.icon.pixmap(size));
    picture->setToolTip(plaintext::toolTip(hint.lines));
    picture->setAccessibleName(plaintext::line(hint.word));
}
