// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startup.h"

#include "mailbox/previewcache.h"
#include "mailbox/previewstore.h"
#include "window/frmtarvolk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>

namespace Startup {

namespace {

// About as many previews as fit into the budget, each of a few kilobytes as real ones are.
qint64 fillCache(const QString& folder)
{
    QList<PreviewStore::Entry> entries;
    const QString text = QString(1500, u'x');
    const QByteArray header(800, 'h');
    for (int i = 0; i < 15000; ++i)
        entries.append({"uid-" + QByteArray::number(i), 4000, header, text, 1700000000 + i});
    PreviewStore store(folder);
    store.save(PreviewCache::scope(QStringLiteral("bench@127.0.0.1"), 10), entries);
    store.waitForWrites();
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

} // namespace

int showWindow(const QString& programFolder)
{
    frmTarvolk window(programFolder);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("shown\n");
    std::fflush(stdout);
    return 0;
}

qint64 measure(const QString& xdgCacheHome, const QString& childArgument, qint64& cacheBytes)
{
    cacheBytes = fillCache(xdgCacheHome + QStringLiteral("/tarvolk"));
    QTemporaryDir programFolder;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), xdgCacheHome);
    child.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {childArgument, programFolder.path()});
    qint64 shownNs = -1;
    while (shownNs < 0 && child.waitForReadyRead(10000)) {
        if (child.readAll().contains("shown"))
            shownNs = clock.nsecsElapsed();
    }
    child.waitForFinished(10000);
    return shownNs;
}

} // namespace Startup
