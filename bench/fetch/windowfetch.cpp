// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowfetch.h"

#include "testsupport/resourceusage.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace WindowFetch {

Result press(quint16 port, const QString& user, const QString& password, int lineCount)
{
    Result result;
    QTemporaryDir folder;
    QFile settings(folder.filePath(QStringLiteral("TARVOLK.INI")));
    const QByteArray ini = "[Setup]\nLineCount=" + QByteArray::number(lineCount) +
                           "\nTitle1=Bench\nHost1=127.0.0.1:" + QByteArray::number(port) +
                           "\nAccount1=" + user.toUtf8() + "\nPassword1=" + password.toUtf8() +
                           "\nSecurity1=none\n";
    if (!folder.isValid() || !settings.open(QIODevice::WriteOnly) || settings.write(ini) < 0)
        return result;
    settings.close();

    MessageBox::Recorder boxes;
    frmTarvolk window(folder.path());
    window.show();
    ResourceUsage::resetPeak();
    const qint64 cpu = ResourceUsage::processCpuNs();
    QElapsedTimer clock;
    clock.start();
    window.Command1[0]->click();
    result.wallNs = clock.nsecsElapsed();
    result.processCpuNs = ResourceUsage::processCpuNs() - cpu;
    result.peakRssKiB = ResourceUsage::peakRssKiB();
    const auto* list = window.findChild<QAbstractItemView*>(QStringLiteral("List1"));
    result.entries = list ? list->model()->rowCount() : 0;
    result.ok = boxes.messages.isEmpty();
    return result;
}

} // namespace WindowFetch
