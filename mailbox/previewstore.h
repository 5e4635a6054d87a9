// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QThreadPool>

// The previews on disk, so that a new run of the program need not fetch them again: a file per
// mailbox and LineCount in $XDG_CACHE_HOME/tarvolk/, in a folder and files only the user may
// read. A file is written whole and renamed into place, and carries a checksum: a torn or foreign
// file is ignored, never shown. All files together stay within a budget; the previews used least
// recently go first. Files are written on a thread of their own, off the window's way.
class PreviewStore {
public:
    struct Entry {
        QByteArray uid;
        qint32 size = 0;
        QByteArray header; // the raw header block that a deletion compares
        QString text;
        qint64 usedAt = 0; // seconds since the epoch
    };

    static constexpr qint64 DefaultBudget = 50LL * 1024 * 1024;

    explicit PreviewStore(QString folder = defaultFolder(), qint64 budget = DefaultBudget);
    // Waits for the writes still running.
    ~PreviewStore();
    static QString defaultFolder();

    // The previews kept for the scope; none when there is no whole file of ours.
    QList<Entry> load(const QString& scope) const;
    // Replaces the scope's file, in the background.
    void save(const QString& scope, const QList<Entry>& entries);
    void waitForWrites() { m_writer.waitForDone(); }

private:
    QString pathOf(const QString& scope) const;

    QString m_folder;
    qint64 m_budget = DefaultBudget;
    QThreadPool m_writer;
};
