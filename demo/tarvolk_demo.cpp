// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Starts a throw-away dovecot with a demo mailbox on loopback and opens Tarvolk on it, so that
// everything can be tried without a mail account. Usage: tarvolk_demo <path of tarvolk>
#include "demo/demomailbox.h"
#include "testsupport/dovecotserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <csignal>
#include <sys/types.h>

namespace {

pid_t windowProcess = 0;

void endWindow(int)
{
    if (windowProcess > 0)
        kill(windowProcess, SIGTERM);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QString tarvolk = app.arguments().value(1);
    if (tarvolk.isEmpty() || !QFile::exists(tarvolk)) {
        err << "usage: tarvolk_demo <path of the tarvolk executable>\n";
        return 2;
    }
    if (const QString reason = DovecotServer::unavailableReason(); !reason.isEmpty()) {
        err << "The demo needs dovecot: " << reason << "\n";
        return 2;
    }

    DovecotServer server;
    if (!startDemoMailbox(server)) {
        err << "Could not start the demo mail server: " << server.errorString() << "\n";
        return 1;
    }

    // Tarvolk reads TARVOLK.INI beside its executable, so the demo gives it a folder of its own.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("tarvolk"));
    QFile settings(folder.filePath(QStringLiteral("TARVOLK.INI")));
    if (!QFile::copy(tarvolk, program) || !settings.open(QIODevice::WriteOnly)) {
        err << "Could not prepare " << folder.path() << "\n";
        return 1;
    }
    settings.write(demoSettings(server).toUtf8());
    settings.close();

    err << "Demo mailbox on 127.0.0.1:" << server.port() << " (TLS on " << server.tlsPort()
        << "), user demo, password demo.\n";
    err.flush();
    QProcess window;
    window.setProcessChannelMode(QProcess::ForwardedChannels);
    window.start(program, {});
    if (!window.waitForStarted())
        return 1;
    // Told to stop, the demo ends the window and goes on to stop its mail server and remove
    // its files.
    windowProcess = pid_t(window.processId());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, endWindow);
    if (!window.waitForFinished(-1))
        return 1;
    return window.exitCode();
}
