// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// bench_scale: one press of "Emails abrufen" in the window against a server with a very large
// mailbox: the time until the whole list shows and until the last preview, the peak memory, and
// the longest time the window's event loop did not run (its longest frame). It reports; it does
// not judge.

#include "bulkserver.h"
#include "testsupport/resourceusage.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"
#include "window/messagelistmodel.h"
#include "window/messagelistview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

struct Figures {
    qint64 toListNs = -1;
    qint64 toLastPreviewNs = -1;
    qint64 wallNs = 0;
    qint64 longestFrameNs = 0;
    qint64 peakRssKiB = 0;
    int entries = 0;
    QStringList boxes;
};

bool writeSettings(const QString& folder, quint16 port)
{
    QFile settings(folder + QStringLiteral("/TARVOLK.INI"));
    const QByteArray ini =
        "[Setup]\nLineCount=2\nTitle1=Bulk\nHost1=127.0.0.1:" + QByteArray::number(port) +
        "\nAccount1=bulk\nPassword1=bulk\nSecurity1=none\n";
    return settings.open(QIODevice::WriteOnly) && settings.write(ini) == ini.size();
}

Figures press(frmTarvolk& window, int count)
{
    Figures figures;
    MessageBox::Recorder boxes;
    const MessageListModel* model = window.List1->messages();
    QElapsedTimer clock;
    qint64 lastTick = 0;
    bool cleared = false;
    // Ticks as often as the loop lets it: a gap between two ticks is a frame the window spent
    // elsewhere.
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        figures.longestFrameNs = qMax(figures.longestFrameNs, now - lastTick);
        lastTick = now;
        // A second press shows the list of the first until the new listing clears it.
        cleared = cleared || model->rowCount() < count;
        if (cleared && figures.toListNs < 0 && model->rowCount() == count)
            figures.toListNs = now;
        if (cleared && figures.toLastPreviewNs < 0 && !model->text(count - 1).isEmpty())
            figures.toLastPreviewNs = now;
    });
    ResourceUsage::resetPeak();
    clock.start();
    ticker.start(5);
    window.Command1[0]->click();
    figures.wallNs = clock.nsecsElapsed();
    figures.longestFrameNs = qMax(figures.longestFrameNs, figures.wallNs - lastTick);
    figures.peakRssKiB = ResourceUsage::peakRssKiB();
    figures.entries = model->rowCount();
    // The last preview may arrive after the last tick.
    if (figures.toLastPreviewNs < 0 && !model->text(count - 1).isEmpty())
        figures.toLastPreviewNs = figures.wallNs;
    for (const MessageBox::Message& box : boxes.messages)
        figures.boxes << box.text;
    return figures;
}

QString ms(qint64 ns)
{
    return ns < 0 ? QStringLiteral("never")
                  : QString::number(ns / 1e6, 'f', 0) + QStringLiteral(" ms");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The previews kept on disk would make later runs cheaper; each run here starts afresh.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QList<int> counts;
    for (const QString& argument : app.arguments().mid(1))
        counts << argument.toInt();
    if (counts.isEmpty())
        counts = {100000, 500000};
    for (int count : std::as_const(counts)) {
        BulkServerThread server(count);
        QTemporaryDir folder;
        if (server.port() == 0 || !folder.isValid() || !writeSettings(folder.path(), server.port()))
            return 2;
        const auto report = [&](const QString& name, const Figures& figures) {
            out << count << " messages, " << name << ": list " << ms(figures.toListNs)
                << ", last preview " << ms(figures.toLastPreviewNs) << ", whole press "
                << ms(figures.wallNs) << ", longest frame " << ms(figures.longestFrameNs)
                << ", peak RSS " << QString::number(figures.peakRssKiB / 1024.0, 'f', 1) << " MiB, "
                << figures.entries << " entries";
            for (const QString& box : figures.boxes)
                out << ", box: " << box;
            out << Qt::endl;
        };
        {
            frmTarvolk window(folder.path());
            window.show();
            report(QStringLiteral("first press"), press(window, count));
            report(QStringLiteral("second press"), press(window, count));
        }
        // A new window of the same program: the previews come from the disk.
        frmTarvolk window(folder.path());
        window.show();
        report(QStringLiteral("after a restart"), press(window, count));
    }
    return 0;
}
