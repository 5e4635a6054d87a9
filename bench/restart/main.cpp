// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// bench_restart: what the previews and capabilities kept on disk save a new run of the program,
// through a proxy that delays every chunk: "top" commands and round trips of a restart with
// unchanged mail and with one new message, the first press with and without known capabilities,
// and the start-up beside a full cache. It reports; it does not judge.

#include "benchmailbox.h"
#include "delayproxy.h"
#include "mailbox/mailboxclient.h"
#include "silentview.h"
#include "startup.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/e2esupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace {

const QString User = QStringLiteral("bench");
const QString Password = QStringLiteral("bench-secret");
const QString ChildArgument = QStringLiteral("--show-window");
constexpr int DelayMs = 25;
constexpr int Messages = 200;

struct Press {
    int tops = -1;   // as dovecot logged them
    int flights = 0; // runs of commands sent without waiting: one round trip each
    qint64 toLastPreviewNs = 0;
    QStringList notices;
};

// The "top" count of the user's last session, once dovecot has logged it out.
int topsOfLastSession(const DovecotServer& server, int sessionsBefore)
{
    const QRegularExpression tops(QStringLiteral("top=(\\d+)/"));
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QList<QByteArray> loggedOut;
        for (const QByteArray& line : e2e::logLinesOf(server, User))
            if (line.contains("Logged out"))
                loggedOut.append(line);
        if (loggedOut.size() > sessionsBefore)
            return tops.match(QString::fromLatin1(loggedOut.last())).captured(1).toInt();
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return -1;
}

// One press of a new program run: a new client on the cache folder, through the delaying proxy.
// The proxy stays the same: its port is part of the account that previews and capabilities are
// kept for.
Press pressInNewRun(const DovecotServer& server, quint16 proxyPort, const QString& cacheFolder,
                    qint16 lineCount, int& sessions)
{
    SilentView view;
    MailboxClient client(view);
    client.useDisk(cacheFolder);
    QElapsedTimer clock;
    view.clock = &clock;
    clock.start();
    client.Emails_abrufen(e2e::account(e2e::loopback(proxyPort), User, Password), lineCount);
    Press press;
    press.flights = client.connection().flights();
    press.toLastPreviewNs = view.lastArrivalNs;
    for (const Notice& notice : view.notices)
        press.notices << notice.text;
    press.tops = topsOfLastSession(server, sessions++);
    return press;
}

void print(QTextStream& out, const QString& name, const Press& press)
{
    out << name.leftJustified(52) << "top sent " << press.tops << ", round trips " << press.flights
        << ", last preview after " << QString::number(press.toLastPreviewNs / 1e6, 'f', 0)
        << " ms (" << QString::number(press.toLastPreviewNs / 1e6 / (2 * DelayMs), 'f', 1)
        << " round trips of " << 2 * DelayMs << " ms)";
    for (const QString& notice : press.notices)
        out << ", box: " << notice;
    out << Qt::endl;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().value(1) == ChildArgument)
        return Startup::showWindow(app.arguments().value(2));
    QTextStream out(stdout);
    DovecotServer server;
    if (!DovecotServer::unavailableReason().isEmpty() || !server.addUser(User, Password) ||
        !server.start()) {
        std::fprintf(stderr, "bench_restart: dovecot: %s\n", qPrintable(server.errorString()));
        return 2;
    }
    BenchMailbox::Spread spread;
    spread.count = Messages;
    for (const BenchMailbox::Mail& mail : BenchMailbox::build(spread))
        server.deliver(User, mail.bytes);
    out << Messages << " messages in dovecot, " << DelayMs << " ms each way, LineCount 10\n";

    QTemporaryDir fresh;
    QTemporaryDir known;
    int sessions = 0;
    DelayProxyThread proxy(server.port(), DelayMs);
    // Only the capabilities are known afterwards: the previews of LineCount 0 serve no other.
    print(out, QStringLiteral("earlier run, LineCount 0"),
          pressInNewRun(server, proxy.port(), known.path(), 0, sessions));
    print(out, QStringLiteral("(c) first press, capabilities unknown"),
          pressInNewRun(server, proxy.port(), fresh.path(), 10, sessions));
    print(out, QStringLiteral("(c) first press, capabilities known"),
          pressInNewRun(server, proxy.port(), known.path(), 10, sessions));
    print(out, QStringLiteral("(a) restart, unchanged mail"),
          pressInNewRun(server, proxy.port(), known.path(), 10, sessions));
    server.deliver(User, BenchMailbox::build({1, 2000, 2000, 7}).constFirst().bytes);
    print(out, QStringLiteral("(b) restart, one new message"),
          pressInNewRun(server, proxy.port(), known.path(), 10, sessions));

    QTemporaryDir cache;
    qint64 cacheBytes = 0;
    const qint64 startupNs = Startup::measure(cache.path(), ChildArgument, cacheBytes);
    out << QStringLiteral("(e) exec to window shown, cache of %1 MB present")
               .arg(cacheBytes / 1e6, 0, 'f', 1)
               .leftJustified(52)
        << QString::number(startupNs / 1e6, 'f', 0) << " ms" << Qt::endl;
    return 0;
}
