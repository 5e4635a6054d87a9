// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/rulesfile.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class MessageListView;
class QLabel;

// What the message list needs to judge its messages: the rules file, read again when it changes
// and added to from the list's context menu, and per mailbox the receiving server's id whose
// Authentication-Results count: the account's AuthServId, else the id its messages agreed on in
// the last fetch (verdict/authservid.h).
class ListJudging : public QObject {
    Q_OBJECT
public:
    // showStatus shows a text in the status line.
    ListJudging(MessageListView* list, std::function<void(const QString&)> showStatus,
                const QString& rulesPath = rulesFilePath());

    // The mailbox's id from its settings, empty for none.
    void configure(const QString& mailbox, const QString& authServId);
    // A listing of the mailbox begins: its messages are judged with the id known so far.
    void listed(const QString& mailbox);
    // The fetch of the mailbox ended: without a configured id its messages now decide it.
    void fetched(const QString& mailbox);

    // Why the rules file or a value in it was not taken; empty when all was.
    QString problem() const { return m_rules.problem(); }
    // The Mailinfo frame's icon for the row: its gravest finding, all of them in the tooltip.
    void showHint(int row, QLabel* picture) const;

private:
    MessageListView* m_list;
    RulesFile m_rules;
    QHash<QString, QString> m_configured;
    QHash<QString, QString> m_agreed;
};
