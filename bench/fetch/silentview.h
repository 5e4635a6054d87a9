// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxview.h"

#include <QElapsedTimer>
#include <QList>
#include <QSet>

// Stands in for the window and shows nothing, so that the figures are the conversation's own.
// Keeps only what tells whether the fetch went right.
class SilentView : public MailboxView {
public:
    void setStatus(const QString&) override {}
    void setSummary(const QString& text) override { summary = text; }
    void clearMessages() override { entries = 0; }
    void appendMessages(const QList<ListedMessage>& more) override { entries += int(more.size()); }
    void messageArrived(int, const QString&, const QByteArray&) override
    {
        if (clock)
            lastArrivalNs = clock->nsecsElapsed();
    }
    void wholeMessageArrived(int, const QByteArray&) override {}
    void setProgressRange(int maximum) override { progressMax = maximum; }
    void setProgress(int) override {}
    int progressMaximum() const override { return progressMax; }
    void setBusy(bool) override {}
    void showNotice(const Notice& notice) override { notices.append(notice); }

    QString summary;
    int entries = 0;
    const QElapsedTimer* clock = nullptr; // when set, the time of the last preview is kept
    qint64 lastArrivalNs = 0;
    int progressMax = 100;
    QList<Notice> notices;
};
