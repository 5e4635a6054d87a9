// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// One set-up for the window tests: a folder for TARVOLK.INI, a recorder that answers every
// message box and question instead of a user, a scripted POP3 server on loopback, and the window
// itself.

#include "testsupport/scriptedserver.h"
#include "testsupport/window/windowdriver.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace windowdriver {

class WindowFixture {
public:
    // A test that deletes agrees to the question, unless it scripts other answers.
    WindowFixture() { boxes.unscriptedAnswer = true; }

    // False when the folder or the server could not be set up.
    bool isReady() const { return folder.isValid() && server.isListening(); }
    QString path() const { return folder.path(); }

    // TARVOLK.INI as given; false when it cannot be written.
    bool writeSettings(const QByteArray& content)
    {
        QFile file(folder.filePath(QStringLiteral("TARVOLK.INI")));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
    bool writeSettings(const QList<Account>& accounts, int lineCount = 10)
    {
        return windowdriver::writeSettings(folder.path(), accounts, lineCount);
    }
    // Slot 1 on the scripted server, as joe with the password secret.
    QList<Account> serverAccount() const
    {
        return {{"Privat", server.hostWithPort(), "joe", "secret"}};
    }

    // Creates the window on the folder's settings, not shown yet. What it keeps between runs
    // goes into the folder too: each test starts with nothing on disk.
    frmTarvolk& open()
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.filePath(QStringLiteral("cache"))));
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder.filePath(QStringLiteral("state"))));
        window = std::make_unique<frmTarvolk>(folder.path());
        return *window;
    }
    // Opens the window and shows it; false when it did not become active in time.
    bool openActive()
    {
        open().show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    QTemporaryDir folder;
    pop3test::ScriptedServer server;
    MessageBox::Recorder boxes;
    // Declared last, so it goes before the server and the recorder it may still use.
    std::unique_ptr<frmTarvolk> window;
};

} // namespace windowdriver
