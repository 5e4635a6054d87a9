// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxview.h"

#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>

// Stands in for the window: records what a conversation shows and answers what it reads.
class RecordingView : public MailboxView {
public:
    void setStatus(const QString& text) override { statusHistory.append(text); }
    void setSummary(const QString& text) override { summary = text; }
    void clearMessages() override
    {
        entries.clear();
        ++clears;
    }
    void appendMessages(const QList<ListedMessage>& more) override
    {
        for (const ListedMessage& message : more)
            entries.append(message.entry);
    }
    void messageArrived(int position, const QString&, const QByteArray&) override
    {
        arrivals.append(position);
    }
    void wholeMessageArrived(int, const QByteArray&) override {}
    void setProgressRange(int maximum) override
    {
        progressMax = maximum;
        progressValues.append(0);
    }
    void setProgress(int value) override { progressValues.append(value); }
    int progressMaximum() const override { return progressMax; }
    void setBusy(bool busy) override { busyHistory.append(busy); }
    void showNotice(const Notice& notice) override
    {
        notices.append(notice);
        if (onNotice)
            onNotice(notice);
    }

    QString status() const { return statusHistory.value(statusHistory.size() - 1); }

    QStringList statusHistory;
    QString summary = QStringLiteral("0 Emails");
    QStringList entries;
    QList<int> arrivals;
    int clears = 0;
    int progressMax = 100;
    QList<int> progressValues;
    QList<bool> busyHistory;
    QList<Notice> notices;
    std::function<void(const Notice&)> onNotice;
};
