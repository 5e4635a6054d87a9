// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/capabilities.h"
#include "mailbox/transport.h"
#include "settings/account.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

// A message a check has not seen before, named as a notification names it.
struct CheckedMessage {
    QByteArray uid; // empty when the server gives no usable ids
    QString sender;
    QString subject;
};

// What a check found, or why it found nothing.
struct CheckResult {
    bool done = false;
    // Why the check failed, in German, one line for a tooltip; empty when it was done.
    QString problem;
    // The server asked to wait ([LOGIN-DELAY], [IN-USE]): the next check not before this many
    // seconds.
    int waitSeconds = 0;
    bool passwordRefused = false;
    qint32 count = 0;
    // Every listed id, when the server gives usable ids; else empty, and new means the count grew.
    QSet<QByteArray> ids;
    QList<CheckedMessage> fresh;
};

// Looks into an account's mailbox in the background: log-in, "stat", "list", "uidl", and the
// header block ("top k 0") only of messages not seen before, to name their sender and subject.
// It never shows anything: its result says what it found and what went wrong. Each check is a
// conversation of its own, on a transport of its own.
class MailboxCheck {
public:
    explicit MailboxCheck(std::unique_ptr<Transport> transport = nullptr);
    ~MailboxCheck();

    // seenIds: what the user has been told of; without ids, seenCount messages count as seen.
    CheckResult run(const Account& account, const AccessToken& token,
                    const QSet<QByteArray>& seenIds, qint32 seenCount);
    bool isRunning() const { return m_running; }
    // Ends a running check at once, without "quit".
    void abort();
    Transport& transport() { return *m_transport; }

private:
    std::unique_ptr<Transport> m_transport;
    // What each server announced, so that later checks may send commands ahead.
    Capabilities m_announced;
    bool m_running = false;
};
