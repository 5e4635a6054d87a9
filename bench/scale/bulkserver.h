// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QThread>

class QTcpServer;
class QTcpSocket;

// A POP3 server with as many small generated messages as asked for, in a thread of its own: a
// mailbox of half a million messages is served at once, with no maildir to build first. It
// answers what a fetch asks (capa, user, pass, stat, list, uidl, top, quit) and announces
// PIPELINING, as dovecot does.
class BulkServer : public QObject {
    Q_OBJECT
public:
    explicit BulkServer(int count) : m_count(count) {}
    // Listens on 127.0.0.1 at a free port; returns it, or 0 when listening failed.
    quint16 listen();

private:
    void accept();
    void answer(QTcpSocket* socket, const QByteArray& line);
    QByteArray listing(bool uids) const;
    QByteArray top(int number) const;

    int m_count = 0;
    QTcpServer* m_server = nullptr;
};

// The server and the thread it runs in, stopped together.
class BulkServerThread {
public:
    explicit BulkServerThread(int count);
    ~BulkServerThread();
    quint16 port() const { return m_port; }

private:
    QThread m_thread;
    BulkServer* m_server = nullptr;
    quint16 m_port = 0;
};
