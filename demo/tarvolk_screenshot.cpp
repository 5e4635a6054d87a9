// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Opens Tarvolk on the demo mailbox, fetches it, previews a message with an attachment, marks
// one entry and saves a picture of the window, to check the window by eye.
// Usage: tarvolk_screenshot <picture.png> [--point-size N] [--dark]
#include "demo/demomailbox.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/window/darkpalette.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvolk"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    const QString picture = arguments.value(0);
    const int sizeAt = int(arguments.indexOf(QStringLiteral("--point-size")));
    if (picture.isEmpty() || picture.startsWith(u'-') ||
        (sizeAt > 0 && arguments.value(sizeAt + 1).toInt() <= 0)) {
        err << "usage: tarvolk_screenshot <picture.png> [--point-size N] [--dark]\n";
        return 2;
    }
    if (sizeAt > 0) {
        QFont font = QApplication::font();
        font.setPointSize(arguments.value(sizeAt + 1).toInt());
        QApplication::setFont(font);
    }
    if (arguments.contains(QStringLiteral("--dark")))
        QApplication::setPalette(windowdriver::darkPalette());
    if (const QString reason = DovecotServer::unavailableReason(); !reason.isEmpty()) {
        err << "The demo mailbox needs dovecot: " << reason << "\n";
        return 2;
    }

    DovecotServer server;
    QTemporaryDir folder;
    QFile settings(folder.filePath(QStringLiteral("TARVOLK.INI")));
    if (!startDemoMailbox(server) || !settings.open(QIODevice::WriteOnly)) {
        err << "Could not start the demo mailbox: " << server.errorString() << "\n";
        return 1;
    }
    settings.write(demoSettings(server).toUtf8());
    settings.close();

    // A box would wait for a user who is not there; it is reported instead.
    MessageBox::Recorder boxes;
    frmTarvolk window(folder.path());
    window.show();
    window.Command1[0]->click();
    if (!boxes.messages.isEmpty() || window.List1->count() < 4) {
        err << "The fetch failed: "
            << (boxes.messages.isEmpty() ? QStringLiteral("too few entries")
                                         : boxes.messages[0].text)
            << "\n";
        return 1;
    }
    window.List1->messages()->toggleMark(3);
    window.List1->setFocus();
    window.List1->setCurrentIndex(window.List1->model()->index(1, 0));
    QApplication::processEvents();
    if (!window.grab().save(picture)) {
        err << "Could not save " << picture << "\n";
        return 1;
    }
    return 0;
}
