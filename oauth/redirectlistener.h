// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/tokenreplyhandler.h"

#include <QTcpServer>

class QTcpSocket;

// The browser's way back after signing in: a listener on 127.0.0.1 at a free port. Anyone on the
// computer can reach it, so it hands the flow only the one answer of the provider that carries
// this sign-in's state; every other request gets a plain 400 page and changes nothing, and one
// over MaxRedirectRequestBytes is cut off unread. It stops listening after that answer, and when
// it is destroyed, which ends the sign-in.
class RedirectListener : public TokenReplyHandler {
    Q_OBJECT
public:
    explicit RedirectListener(const QString& state, QObject* parent = nullptr);

    bool listen();
    QString callback() const override;

private:
    void accept();
    void readFrom(QTcpSocket* client);
    void answer(QTcpSocket* client, const QByteArray& status, const QString& text);

    QTcpServer m_server;
    QString m_state;
};
