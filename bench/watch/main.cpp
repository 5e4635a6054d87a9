// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// bench_watch: the real program watches ten dovecot accounts of 20 messages, each checked every
// minute, first with nothing new, then with one delivery each, spread over a minute. It reports the
// program's average CPU and peak memory, the round trips of a check that finds nothing new, and the
// time from each delivery to its notification. It reports; it does not judge. Run it on a private
// session bus (scripts/bench.sh does): it is the notification server there.

#include "delayproxy.h"
#include "notificationserver.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/testmail.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int Accounts = 10;
// In each mailbox from the start: told of once by the first check, seen by every later one.
constexpr int Kept = 20;
const QString Password = QStringLiteral("watch-secret");

QString userOf(int n)
{
    return QStringLiteral("konto%1").arg(n);
}

void waitMs(qint64 ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Waits until the condition holds or the time is up; checks twice a second.
bool waitFor(const std::function<bool()>& condition, qint64 ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition() && waited.elapsed() < ms)
        waitMs(500);
    return condition();
}

// User and system CPU of the process, in ms, from /proc.
qint64 cpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toLongLong() + fields.value(12).toLongLong()) * 1000 /
           sysconf(_SC_CLK_TCK);
}

// The process's peak resident memory, in KiB.
qint64 peakRssKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

bool writeSettings(const QString& path, quint16 port)
{
    QByteArray ini = "[Setup]\n";
    for (int n = 1; n <= Accounts; ++n) {
        const QByteArray k = QByteArray::number(n);
        ini += "Title" + k + "=Konto" + k + "\nHost" + k +
               "=127.0.0.1:" + QByteArray::number(port) + "\nAccount" + k + '=' +
               userOf(n).toUtf8() + "\nPassword" + k + '=' + Password.toUtf8() + "\nCheckInterval" +
               k + "=1\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size();
}

int fail(const QString& why)
{
    std::fprintf(stderr, "bench_watch: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption minutesOption(QStringLiteral("minutes"),
                                           QStringLiteral("quiet minutes before the deliveries"),
                                           QStringLiteral("n"), QStringLiteral("10"));
    parser.addOption(minutesOption);
    parser.addHelpOption();
    parser.process(app);
    const int minutes = qMax(1, parser.value(minutesOption).toInt());

    QElapsedTimer clock;
    clock.start();
    NotificationServer notifications(clock);
    if (!notifications.start())
        return fail(QStringLiteral("no session bus of its own, or a notification server on it"));
    DovecotServer dovecot;
    for (int n = 1; n <= Accounts; ++n)
        dovecot.addUser(userOf(n), Password);
    if (!dovecot.start())
        return fail(dovecot.errorString());
    for (int n = 1; n <= Accounts; ++n) {
        for (int k = 0; k < Kept; ++k)
            dovecot.deliver(userOf(n), TestMail::build({}));
    }
    // Forwards without delay, counting the program's writes: one a round trip.
    DelayProxyThread proxy(dovecot.port(), 0);
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("TARVOLK.INI"));
    if (!writeSettings(ini, proxy.port()))
        return fail(QStringLiteral("cannot write %1").arg(ini));

    QProcess tarvolk;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), folder.filePath(QStringLiteral("state")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder.filePath(QStringLiteral("cache")));
    tarvolk.setProcessEnvironment(environment);
    tarvolk.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tarvolk.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarvolk"),
                  {QStringLiteral("--hidden"), QStringLiteral("--config"), ini});
    if (!tarvolk.waitForStarted())
        return fail(tarvolk.errorString());
    const qint64 pid = tarvolk.processId();

    // The first checks of the empty mailboxes settle; then the quiet minutes are measured.
    if (!waitFor([&] { return proxy.stats().connections >= Accounts; }, 60000))
        return fail(QStringLiteral("the first checks did not happen"));
    waitMs(5000);
    const ProxyStats quietStart = proxy.stats();
    const qint64 cpuStart = cpuMs(pid);
    const qint64 quietStartMs = clock.elapsed();
    waitMs(60000LL * minutes);
    const qint64 quietCpuMs = cpuMs(pid) - cpuStart;
    const qint64 quietMs = clock.elapsed() - quietStartMs;
    const ProxyStats quietEnd = proxy.stats();
    const int quietChecks = quietEnd.connections - quietStart.connections;

    const qsizetype told = notifications.received().size();
    // One delivery each, spread over a minute: each falls at another point between two checks.
    QList<qint64> deliveredMs;
    for (int n = 1; n <= Accounts; ++n) {
        TestMail::Message mail;
        mail.subject = "Neu für " + userOf(n).toUtf8();
        dovecot.deliver(userOf(n), TestMail::build(mail));
        deliveredMs.append(clock.elapsed());
        waitMs(60000 / Accounts);
    }
    waitFor([&] { return notifications.received().size() >= told + Accounts; }, 150000);
    QList<qint64> latencies;
    for (const NotificationServer::Received& notice : notifications.received().mid(told)) {
        const int n = notice.summary.section(QStringLiteral("Konto"), -1).toInt();
        if (n >= 1 && n <= Accounts)
            latencies.append(notice.atMs - deliveredMs[n - 1]);
    }
    const qint64 peak = peakRssKiB(pid);
    tarvolk.kill();
    tarvolk.waitForFinished();

    QTextStream out(stdout);
    out << "Watched accounts: " << Accounts << ", checked every minute\n"
        << "Quiet: " << quietMs / 1000 << " s, " << quietChecks << " checks of " << Kept
        << " messages with nothing new; " << told << " notifications of them at the start\n"
        << "Average CPU: " << QString::number(100.0 * quietCpuMs / qMax<qint64>(1, quietMs), 'f', 3)
        << " % of one core (" << quietCpuMs << " ms)\n"
        << "Writes to the server per check with nothing new: "
        << QString::number(double(quietEnd.chunksToServer - quietStart.chunksToServer) /
                               qMax(1, quietChecks),
                           'f', 2)
        << "\n"
        << "Peak RSS: " << QString::number(peak / 1024.0, 'f', 1) << " MiB\n"
        << "Notifications after one delivery each: " << latencies.size() << " of " << Accounts
        << "\n";
    if (!latencies.isEmpty()) {
        std::sort(latencies.begin(), latencies.end());
        qint64 sum = 0;
        for (qint64 latency : latencies)
            sum += latency;
        out << "Delivery to notification: mean " << sum / latencies.size() / 1000.0 << " s, max "
            << latencies.last() / 1000.0 << " s\n";
    }
    return latencies.size() == Accounts ? 0 : 1;
}
