// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxcheck.h"
#include "settings/account.h"
#include "watch/backgroundsecrets.h"
#include "watch/seenstate.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

// Checks the watched accounts in the background, each every CheckInterval minutes, one after
// another. A check never runs for a mailbox while the window talks to it; it waits out what the
// server asks ([LOGIN-DELAY], [IN-USE]) and backs off after failures (1, 2, 4 … 60 minutes). It
// shows nothing itself: what it found comes as signals and statuses.
class CheckScheduler : public QObject {
    Q_OBJECT
public:
    // How an account stands, for the tray and the account box.
    struct Status {
        int slot = 0;
        QString title;
        bool watched = false; // checked on its own, every CheckInterval minutes
        bool checked = false; // a check has run in this run of the program
        int newCount = 0;     // told of by a notification, not listed in the window since
        qint32 total = 0;     // in the mailbox at the last check that went well
        QString problem;      // of the last check; empty when it went well
    };

    CheckScheduler(SeenState& seen, BackgroundSecrets& secrets, QObject* parent = nullptr);

    // The accounts by slot; those with a CheckInterval are watched from now on.
    void setAccounts(const QList<std::pair<int, Account>>& accounts);
    bool watchesAny() const;
    // Checks every account that has a server, one after another, now.
    void checkAll();
    // The window talks to this mailbox (AccountIdentity::key), or to none (empty): a check of it
    // running now ends, and none starts until the window is done.
    void setWindowMailbox(const QString& mailboxKey);
    // The window listed the mailbox: all of it is seen, nothing in it is new.
    void markListed(const QString& mailboxKey, const QSet<QByteArray>& ids, qint32 count);

    QList<Status> statuses() const;
    int newTotal() const;

    // How long a second of every interval, back-off and wait lasts: a second, unless a test
    // makes the minutes pass in a moment.
    static void setSecondLength(std::chrono::milliseconds length);

signals:
    void changed();
    // A check found messages the user has not been told of.
    void newMail(int slot, const QString& title, const QList<CheckedMessage>& fresh);

private:
    struct Watch {
        int slot = 0;
        Account account;
        QDateTime due;
        int failures = 0;
        bool checked = false;
        qint32 total = 0;
        QString problem;
    };

    void runDue();
    void check(Watch& watch);
    void succeeded(Watch& watch, const CheckResult& result);
    void failed(Watch& watch, const QString& problem, int waitSeconds);
    void planNext();
    static QDateTime inSeconds(qint64 seconds);

    SeenState& m_seen;
    BackgroundSecrets& m_secrets;
    MailboxCheck m_check;
    QList<Watch> m_watches;
    QString m_windowMailbox;
    QString m_checking; // the mailbox being checked now
    QTimer m_timer;
};
