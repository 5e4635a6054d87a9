// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A real dovecot POP3 server on 127.0.0.1 for tests and benchmarks, driven through
// scripts/dovecot-harness.sh. Everything it writes lives in a temporary folder under /tmp that is
// removed again with the object. The destructor stops the server, by the pid recorded at its
// start when the pid file is gone; a process that ends without it (a crash, a kill on time-out)
// leaves a watcher behind that stops the server.
//
//     DovecotServer server;
//     QVERIFY(server.addUser(QStringLiteral("anna"), QStringLiteral("geheim")));
//     QVERIFY2(server.start(), qPrintable(server.errorString()));
//     QVERIFY(!server.deliver(QStringLiteral("anna"), TestMail::build({})).isEmpty());
//     // connect to 127.0.0.1:server.port()
class DovecotServer {
public:
    enum class Tls { Off, On };

    DovecotServer();
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // Empty when dovecot and the harness script can be used here, else why not.
    static QString unavailableReason();
    // True when a missing dovecot must fail the tests instead of skipping them (CI is set).
    static bool requiredHere();
    // The harness script: $TARVOLK_SOURCE_DIR/scripts/dovecot-harness.sh, or the source tree's.
    static QString scriptPath();

    // Starts dovecot on free loopback ports; with Tls::On also POP3 over TLS on tlsPort() and
    // STLS on port(), with a fresh self-signed certificate for localhost.
    bool start(Tls tls = Tls::Off);
    // dovecot settings added to the harness's own, for the next start().
    bool setExtraConfig(const QByteArray& settings);
    void stop();
    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }

    // Best before start(): dovecot re-reads its user file when it changes, but at most once a
    // second, so a user added to a running server may be refused for up to a second.
    bool addUser(const QString& name, const QString& password);
    // Stores the message exactly as given (LF or CR LF lines: dovecot sends CR LF either way and
    // counts the size as sent). Messages are numbered in delivery order. Returns the message's
    // id, which stays the start of its file name, or an empty string on failure.
    QString deliver(const QString& user, const QByteArray& message);
    // Ids of the messages still in the user's maildir, in delivery order.
    QStringList messageIds(const QString& user) const;
    QString maildirPath(const QString& user) const;

    quint16 port() const { return m_port; }
    quint16 tlsPort() const { return m_tlsPort; }
    QString directory() const;
    QString logPath() const;
    QByteArray log() const;
    QString certificatePath() const;

private:
    bool runScript(const QStringList& arguments, int timeoutMs, QByteArray* output);
    bool tryStart(Tls tls, bool* portTaken);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_error;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    bool m_running = false;
    QString m_pid; // the master's, recorded at the start
    qint64 m_firstSecond = 0;
    int m_delivered = 0;
};
