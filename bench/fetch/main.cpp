// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// bench_fetch: one fetch of a generated dovecot mailbox, on loopback and through a proxy that
// delays every chunk, with the time, CPU, memory and round trips it costs. It reports; it does
// not judge. The exit code is non-zero only when a fetch went wrong or dovecot could not run.

#include "benchmailbox.h"
#include "delayproxy.h"
#include "mailbox/mailboxclient.h"
#include "rawclient.h"
#include "silentview.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/resourceusage.h"
#include "windowfetch.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

const QString User = QStringLiteral("bench");
const QString RefetchUser = QStringLiteral("refetch");
const QString SmallUser = QStringLiteral("small");
const QString Password = QStringLiteral("bench-secret");
constexpr int SmallCount = 10000;

struct Run {
    QString name;
    int delayMs = 0;
    qint64 wallNs = 0;
    qint64 processCpuNs = 0;
    qint64 clientThreadCpuNs = 0;
    std::optional<ProxyStats> proxy;
    qint64 peakRssKiB = 0;
    bool peakIsOwn = false; // false: the process's peak so far, the reset was refused
    qint64 rssBeforeKiB = 0;
    int commands = 0;
    int waits = 0;
    int flights = 0;
    qint64 toLastEntryNs = 0;
    int messages = 0; // stored texts, not empty
    int entries = 0;  // lines in the message list
    qint64 storedChars = 0;
    qint64 storedUtf8Bytes = 0;
    QStringList problems;
    QStringList texts;
};

struct Options {
    BenchMailbox::Spread spread;
    int delayMs = 25;
    qint16 lineCount = 10;
};

double seconds(qint64 ns)
{
    return ns / 1e9;
}

double mib(qint64 kib)
{
    return kib / 1024.0;
}

Account accountFor(quint16 port, const QString& user = User)
{
    AccountSlot slot;
    slot.Title = QStringLiteral("Benchmark");
    slot.Host = QStringLiteral("127.0.0.1:%1").arg(port);
    slot.Account = user;
    slot.Password = Password;
    slot.PasswordGiven = true;
    slot.Security = QStringLiteral("none");
    return accountFrom(slot);
}

// One fetch through a fresh client, so that its counters are this run's alone. A primed client
// has fetched the header blocks alone before (not measured): it knows what the server announced,
// as in any press but the first of a program run, while no preview of LineCount lines is stored.
Run fetchOnce(const QString& name, quint16 serverPort, int delayMs, const Options& options,
              const QList<QByteArray>& messageIds, bool primed = false)
{
    Run run;
    run.name = name;
    run.delayMs = delayMs;

    std::optional<DelayProxyThread> proxy;
    quint16 port = serverPort;
    if (delayMs > 0) {
        proxy.emplace(serverPort, delayMs);
        port = proxy->port();
        if (port == 0) {
            run.problems << QStringLiteral("the proxy could not listen on 127.0.0.1");
            return run;
        }
    }

    SilentView view;
    MailboxClient client(view);
    const Account account = accountFor(port);
    if (primed)
        client.Emails_abrufen(account, 0);
    const int flightsBefore = client.connection().flights();
    const int linesBefore = client.connection().linesSent();
    const int waitsBefore = client.connection().waits();
    QElapsedTimer wall;
    view.clock = &wall;

    run.rssBeforeKiB = ResourceUsage::currentRssKiB();
    run.peakIsOwn = ResourceUsage::resetPeak();
    const qint64 processCpu = ResourceUsage::processCpuNs();
    const qint64 threadCpu = ResourceUsage::threadCpuNs();
    wall.start();

    client.Emails_abrufen(account, options.lineCount);

    run.wallNs = wall.nsecsElapsed();
    run.clientThreadCpuNs = ResourceUsage::threadCpuNs() - threadCpu;
    run.processCpuNs = ResourceUsage::processCpuNs() - processCpu;
    run.peakRssKiB = ResourceUsage::peakRssKiB();
    if (proxy)
        run.proxy = proxy->stop();

    run.commands = client.connection().linesSent() - linesBefore;
    run.waits = client.connection().waits() - waitsBefore;
    run.flights = client.connection().flights() - flightsBefore;
    run.toLastEntryNs = view.lastArrivalNs;
    run.entries = view.entries;
    run.texts = client.MailTexts();

    for (const Notice& notice : view.notices)
        run.problems << QStringLiteral("notice: %1 %2").arg(notice.text, notice.detail);
    if (client.MailCount != messageIds.size())
        run.problems << QStringLiteral("%1 messages listed, %2 delivered")
                            .arg(client.MailCount)
                            .arg(messageIds.size());
    if (view.entries != messageIds.size())
        run.problems << QStringLiteral("%1 list entries").arg(view.entries);
    int emptyTexts = 0;
    int foreignTexts = 0;
    for (qsizetype i = 0; i < run.texts.size(); ++i) {
        const QString& text = run.texts.at(i);
        run.storedChars += text.size();
        run.storedUtf8Bytes += text.toUtf8().size();
        if (text.isEmpty()) {
            ++emptyTexts;
            continue;
        }
        ++run.messages;
        // Each stored header block must be its own message's, not a neighbour's.
        if (i < messageIds.size() && !text.contains(QString::fromLatin1(messageIds.at(i))))
            ++foreignTexts;
    }
    if (emptyTexts > 0)
        run.problems << QStringLiteral("%1 stored texts empty").arg(emptyTexts);
    if (foreignTexts > 0)
        run.problems
            << QStringLiteral("%1 stored texts without their own Message-ID").arg(foreignTexts);
    return run;
}

QJsonObject toJson(const Run& run)
{
    QJsonObject object{
        {QStringLiteral("name"), run.name},
        {QStringLiteral("delay_ms"), run.delayMs},
        {QStringLiteral("wall_s"), seconds(run.wallNs)},
        {QStringLiteral("cpu_process_s"), seconds(run.processCpuNs)},
        {QStringLiteral("cpu_client_thread_s"), seconds(run.clientThreadCpuNs)},
        {QStringLiteral("peak_rss_kib"), run.peakRssKiB},
        {QStringLiteral("peak_rss_is_run_own"), run.peakIsOwn},
        {QStringLiteral("rss_before_kib"), run.rssBeforeKiB},
        {QStringLiteral("commands"), run.commands},
        {QStringLiteral("waits"), run.waits},
        {QStringLiteral("messages"), run.messages},
        {QStringLiteral("stored_chars"), run.storedChars},
        {QStringLiteral("stored_utf8_bytes"), run.storedUtf8Bytes},
        {QStringLiteral("ok"), run.problems.isEmpty()},
    };
    if (run.proxy) {
        object.insert(QStringLiteral("proxy"),
                      QJsonObject{
                          {QStringLiteral("cpu_thread_s"), seconds(run.proxy->threadCpuNs)},
                          {QStringLiteral("chunks_to_server"), run.proxy->chunksToServer},
                          {QStringLiteral("chunks_to_client"), run.proxy->chunksToClient},
                          {QStringLiteral("bytes_to_server"), run.proxy->bytesToServer},
                          {QStringLiteral("bytes_to_client"), run.proxy->bytesToClient},
                      });
    }
    if (!run.problems.isEmpty())
        object.insert(QStringLiteral("problems"), QJsonArray::fromStringList(run.problems));
    return object;
}

void printTable(QTextStream& out, const QList<Run>& runs)
{
    const int labelWidth = 34;
    const int columnWidth = 16;
    const auto row = [&](const QString& label, const auto& cell) {
        out << label.leftJustified(labelWidth);
        for (const Run& run : runs)
            out << cell(run).rightJustified(columnWidth);
        out << '\n';
    };
    const auto number = [](double value, int decimals) {
        return QString::number(value, 'f', decimals);
    };

    row(QString(), [](const Run& run) { return run.name; });
    row(QStringLiteral("wall time [s]"),
        [&](const Run& run) { return number(seconds(run.wallNs), 3); });
    row(QStringLiteral("press to last preview [s]"),
        [&](const Run& run) { return number(seconds(run.toLastEntryNs), 3); });
    row(QStringLiteral("round trips (command flights)"),
        [](const Run& run) { return QString::number(run.flights); });
    row(QStringLiteral("CPU, whole process [s]"),
        [&](const Run& run) { return number(seconds(run.processCpuNs), 3); });
    row(QStringLiteral("CPU, client thread [s]"),
        [&](const Run& run) { return number(seconds(run.clientThreadCpuNs), 3); });
    row(QStringLiteral("CPU, proxy thread [s]"), [&](const Run& run) {
        return run.proxy ? number(seconds(run.proxy->threadCpuNs), 3) : QStringLiteral("-");
    });
    row(QStringLiteral("peak RSS of the run [MiB]"), [&](const Run& run) {
        return number(mib(run.peakRssKiB), 1) + (run.peakIsOwn ? QString() : QStringLiteral("*"));
    });
    row(QStringLiteral("RSS before the run [MiB]"),
        [&](const Run& run) { return number(mib(run.rssBeforeKiB), 1); });
    row(QStringLiteral("commands sent"),
        [](const Run& run) { return QString::number(run.commands); });
    row(QStringLiteral("waits"), [](const Run& run) { return QString::number(run.waits); });
    row(QStringLiteral("messages fetched"),
        [](const Run& run) { return QString::number(run.messages); });
    row(QStringLiteral("characters stored"),
        [](const Run& run) { return QString::number(run.storedChars); });
    row(QStringLiteral("bytes stored (as UTF-8)"),
        [](const Run& run) { return QString::number(run.storedUtf8Bytes); });
    row(QStringLiteral("bytes from the server (proxy)"), [](const Run& run) {
        return run.proxy ? QString::number(run.proxy->bytesToClient) : QStringLiteral("-");
    });
    row(QStringLiteral("chunks to / from the server"), [](const Run& run) {
        return run.proxy ? QStringLiteral("%1 / %2")
                               .arg(run.proxy->chunksToServer)
                               .arg(run.proxy->chunksToClient)
                         : QStringLiteral("-");
    });
    row(QStringLiteral("commands per message"), [&](const Run& run) {
        return run.messages ? number(double(run.commands) / run.messages, 2) : QStringLiteral("-");
    });
    row(QStringLiteral("waits per message"), [&](const Run& run) {
        return run.messages ? number(double(run.waits) / run.messages, 2) : QStringLiteral("-");
    });
    row(QStringLiteral("wall time per command [ms]"), [&](const Run& run) {
        return run.commands ? number(run.wallNs / 1e6 / run.commands, 2) : QStringLiteral("-");
    });
    row(QStringLiteral("sanity checks"), [](const Run& run) {
        return run.problems.isEmpty() ? QStringLiteral("ok") : QStringLiteral("FAILED");
    });
    for (const Run& run : runs) {
        for (const QString& problem : run.problems)
            out << run.name << ": " << problem << '\n';
    }
}

} // namespace

// The raw client through the same kind of link as a run of the program.
RawClient::Result rawRun(quint16 serverPort, int delayMs, int count, qint16 lineCount)
{
    std::optional<DelayProxyThread> proxy;
    if (delayMs > 0)
        proxy.emplace(serverPort, delayMs);
    return RawClient::fetchAllTops(proxy ? proxy->port() : serverPort, User, Password, count,
                                   lineCount);
}

// A deletion of two messages and the fetch that follows it, then one more press of "Emails
// abrufen": the round trips and "top" commands each costs, counted once the connection is open.
void printRefetch(QTextStream& out, quint16 port, qint16 lineCount)
{
    SilentView view;
    MailboxClient client(view);
    const Account account = accountFor(port, RefetchUser);
    client.Emails_abrufen(account, lineCount);
    const auto measure = [&](const QString& what, const std::function<void()>& action) {
        const int flights = client.connection().flights();
        const int lines = client.connection().linesSent();
        QElapsedTimer clock;
        clock.start();
        action();
        out << what.leftJustified(44) << QString::number(clock.nsecsElapsed() / 1e9, 'f', 3)
            << " s, " << client.connection().flights() - flights << " round trips, "
            << client.connection().linesSent() - lines << " commands\n";
    };
    measure(QStringLiteral("deletion of 2 of %1").arg(view.entries), [&] {
        client.DeleteMail(account, {10, 20});
    });
    measure(QStringLiteral("refetch after the deletion (%1 entries)").arg(view.entries - 2),
            [&] { client.Emails_abrufen(account, lineCount); });
    measure(QStringLiteral("second press, nothing new"),
            [&] { client.Emails_abrufen(account, lineCount); });
    for (const Notice& notice : view.notices)
        out << "notice: " << notice.text << ' ' << notice.detail << '\n';
}

void printWindowRun(QTextStream& out, const QString& name, const WindowFetch::Result& result)
{
    out << name.leftJustified(44) << QString::number(result.wallNs / 1e9, 'f', 3) << " s, CPU "
        << QString::number(result.processCpuNs / 1e9, 'f', 3) << " s, peak RSS "
        << QString::number(mib(result.peakRssKiB), 'f', 1) << " MiB, " << result.entries
        << " entries" << (result.ok ? "" : ", FAILED: a message box") << '\n';
}

int main(int argc, char** argv)
{
    // The window runs too; no screen is needed for its figures.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bench_fetch"));
    QTextStream out(stdout);

    Options options;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fetches a generated dovecot mailbox on loopback and through a proxy that "
                       "delays every chunk, and reports time, CPU, memory and round trips."));
    parser.addHelpOption();
    const QCommandLineOption messagesOption(QStringLiteral("messages"),
                                            QStringLiteral("Messages in the mailbox (200)."),
                                            QStringLiteral("count"));
    const QCommandLineOption delayOption(QStringLiteral("delay-ms"),
                                         QStringLiteral("Proxy delay in each direction (25)."),
                                         QStringLiteral("ms"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the message sizes and headers."),
                                        QStringLiteral("number"));
    parser.addOptions({messagesOption, delayOption, seedOption});
    parser.process(app);
    const auto intOption = [&](const QCommandLineOption& option, int low, int high, int& value) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const int given = parser.value(option).toInt(&ok);
        if (!ok || given < low || given > high) {
            std::fprintf(stderr, "--%s wants a number from %d to %d\n",
                         qPrintable(option.names().constFirst()), low, high);
            return false;
        }
        value = given;
        return true;
    };
    int seed = int(options.spread.seed);
    if (!intOption(messagesOption, 1, 5000, options.spread.count) ||
        !intOption(delayOption, 1, 1000, options.delayMs) ||
        !intOption(seedOption, 0, 2147483647, seed))
        return 2;
    options.spread.seed = quint32(seed);

    const QString unavailable = DovecotServer::unavailableReason();
    if (!unavailable.isEmpty()) {
        std::fprintf(stderr, "bench_fetch: %s\n", qPrintable(unavailable));
        return 2;
    }
    DovecotServer server;
    if (!server.addUser(User, Password) || !server.addUser(RefetchUser, Password) ||
        !server.addUser(SmallUser, Password) || !server.start()) {
        std::fprintf(stderr, "bench_fetch: dovecot: %s\n", qPrintable(server.errorString()));
        return 2;
    }

    QElapsedTimer setup;
    setup.start();
    // Only the ids stay: the messages themselves would only swell the memory the runs report.
    QList<QByteArray> messageIds;
    qint64 totalBytes = 0;
    qint64 smallest = std::numeric_limits<qint64>::max();
    qint64 largest = 0;
    int multipart = 0;
    for (const BenchMailbox::Mail& mail : BenchMailbox::build(options.spread)) {
        if (server.deliver(User, mail.bytes).isEmpty() ||
            server.deliver(RefetchUser, mail.bytes).isEmpty()) {
            std::fprintf(stderr, "bench_fetch: delivery: %s\n", qPrintable(server.errorString()));
            return 2;
        }
        messageIds.append(mail.messageId);
        totalBytes += mail.bytes.size();
        smallest = qMin<qint64>(smallest, mail.bytes.size());
        largest = qMax<qint64>(largest, mail.bytes.size());
        if (mail.bytes.contains("multipart/mixed"))
            ++multipart;
    }
    out << "Mailbox: " << messageIds.size() << " messages, " << totalBytes << " bytes (" << smallest
        << " to " << largest << " each, " << multipart << " multipart), seed "
        << options.spread.seed << ", built and delivered in " << setup.elapsed() << " ms\n"
        << "Fetch: Emails_abrufen with LineCount " << options.lineCount
        << "; dovecot on 127.0.0.1:" << server.port() << "\n\n";
    out.flush();

    // The first fetch also pays for dovecot indexing the new maildir and for the client's
    // one-time set-up; it is shown, but the two measured runs both start warm.
    QList<Run> runs;
    runs << fetchOnce(QStringLiteral("loopback, cold"), server.port(), 0, options, messageIds);
    runs << fetchOnce(QStringLiteral("loopback"), server.port(), 0, options, messageIds);
    runs << fetchOnce(QStringLiteral("delay %1 ms").arg(options.delayMs), server.port(),
                      options.delayMs, options, messageIds);
    runs << fetchOnce(QStringLiteral("delay, known"), server.port(), options.delayMs, options,
                      messageIds, true);

    // The proxy must change nothing but the timing.
    for (qsizetype r = 1; r < runs.size(); ++r) {
        if (runs.at(r).problems.isEmpty() && runs.at(0).problems.isEmpty() &&
            runs.at(r).texts != runs.at(0).texts)
            runs[r].problems << QStringLiteral("stored texts differ from the first run's");
    }

    printTable(out, runs);

    // The same work as the program's fetch, by a client that writes every "top" at once.
    const int count = int(messageIds.size());
    const RawClient::Result rawLoopback = rawRun(server.port(), 0, count, options.lineCount);
    const RawClient::Result rawDelayed =
        rawRun(server.port(), options.delayMs, count, options.lineCount);
    const auto versus = [&](const QString& name, const Run& run, const RawClient::Result& raw) {
        out << name.leftJustified(44) << "program " << QString::number(seconds(run.wallNs), 'f', 3)
            << " s (last preview " << QString::number(seconds(run.toLastEntryNs), 'f', 3)
            << " s), raw pipelined client " << QString::number(seconds(raw.wallNs), 'f', 3) << " s"
            << (raw.ok ? "" : " FAILED") << ", ratio "
            << QString::number(double(run.toLastEntryNs) / qMax<qint64>(1, raw.wallNs), 'f', 2)
            << '\n';
    };
    out << '\n';
    versus(QStringLiteral("loopback"), runs.at(1), rawLoopback);
    versus(QStringLiteral("delay %1 ms each way").arg(options.delayMs), runs.at(2), rawDelayed);
    versus(QStringLiteral("delay, a later press"), runs.at(3), rawDelayed);
    out << '\n';
    printRefetch(out, server.port(), options.lineCount);

    out << '\n';
    printWindowRun(out, QStringLiteral("window, %1 messages, loopback").arg(count),
                   WindowFetch::press(server.port(), User, Password, options.lineCount));
    {
        DelayProxyThread proxy(server.port(), options.delayMs);
        printWindowRun(
            out, QStringLiteral("window, %1 messages, delay %2 ms").arg(count).arg(options.delayMs),
            WindowFetch::press(proxy.port(), User, Password, options.lineCount));
    }
    BenchMailbox::Spread small;
    small.count = SmallCount;
    small.minSize = 300;
    small.maxSize = 2000;
    for (const BenchMailbox::Mail& mail : BenchMailbox::build(small)) {
        if (server.deliver(SmallUser, mail.bytes).isEmpty()) {
            std::fprintf(stderr, "bench_fetch: delivery: %s\n", qPrintable(server.errorString()));
            return 2;
        }
    }
    printWindowRun(out, QStringLiteral("window, %1 small messages, loopback").arg(SmallCount),
                   WindowFetch::press(server.port(), SmallUser, Password, options.lineCount));
    out << "\nCPU, whole process: the client and, in the delayed run, the proxy thread inside "
           "this process; dovecot runs in processes of its own and is not counted.\n";
    if (std::any_of(runs.cbegin(), runs.cend(), [](const Run& run) { return !run.peakIsOwn; }))
        out << "* the kernel refused to reset the peak: the process's peak so far.\n";
    out << "ru_maxrss at the end (reset together with the peaks above): "
        << QString::number(mib(ResourceUsage::maxRssKiB()), 'f', 1) << " MiB\n\n";

    QJsonArray jsonRuns;
    for (const Run& run : runs)
        jsonRuns.append(toJson(run));
    const QJsonObject json{
        {QStringLiteral("benchmark"), QStringLiteral("fetch")},
        {QStringLiteral("messages"), int(messageIds.size())},
        {QStringLiteral("mailbox_bytes"), totalBytes},
        {QStringLiteral("seed"), qint64(options.spread.seed)},
        {QStringLiteral("line_count"), options.lineCount},
        {QStringLiteral("runs"), jsonRuns},
        {QStringLiteral("ru_maxrss_kib_at_end"), ResourceUsage::maxRssKiB()},
    };
    out << QJsonDocument(json).toJson(QJsonDocument::Compact) << '\n';
    out.flush();

    const bool ok = std::all_of(runs.cbegin(), runs.cend(),
                                [](const Run& run) { return run.problems.isEmpty(); });
    return ok ? 0 : 1;
}
