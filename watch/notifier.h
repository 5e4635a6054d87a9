// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxcheck.h"

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// Desktop notifications of new mail (org.freedesktop.Notifications): one per account, each
// replacing that account's previous one, with an action "Anzeigen". Sender and subject come from
// the mail: they are bounded, and escaped for a server that reads markup.
class Notifier : public QObject {
    Q_OBJECT
public:
    explicit Notifier(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                      QObject* parent = nullptr);

    // A notification server is on the bus.
    bool isAvailable() const;
    void tellNewMail(int slot, const QString& title, const QList<CheckedMessage>& fresh);

    // The summary and body of a notification, for a server that reads markup or not.
    static QString summaryOf(const QString& title, int count);
    static QString bodyOf(const QList<CheckedMessage>& fresh, bool markup);

signals:
    // The user chose "Anzeigen" on the notification of this account.
    void showRequested(int slot);

private slots:
    void onActionInvoked(uint id, const QString& action);

private:
    void sent(int slot, QDBusPendingCallWatcher* call);

    QDBusConnection m_bus;
    // Until the server has told what it reads, a body is escaped: markup in a mail must never be
    // read as markup.
    bool m_markup = true;
    QHash<int, uint> m_shown; // slot to the id of its notification
};
