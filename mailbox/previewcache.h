// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/fetchedmailbox.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class PreviewStore;

// The previews fetched before, so that a refetch asks only for new messages. A preview is found
// only for the same mailbox, LineCount, unique id and size. With a store, the previews of an
// account that allows it are also kept on disk across runs of the program.
class PreviewCache {
public:
    // Where previews are kept across runs; none keeps them in memory only.
    void setStore(PreviewStore* store) { m_store = store; }

    // Names the mailbox (AccountIdentity::key) and LineCount the previews were fetched with.
    static QString scope(const QString& account, qint16 lineCount);

    // The scope is about to be used: its previews on disk are read, once a run, when onDisk.
    void open(const QString& scope, bool onDisk);
    // Fills the message's text and header block from the preview kept for its id and size.
    bool find(const QString& scope, FetchedMessage& message);
    void store(const QString& scope, const FetchedMessage& message);
    // Forgets the scope's previews whose ids the server no longer lists, and makes room for one
    // preview of each listed message.
    void keepOnly(const QString& scope, const QList<FetchedMessage>& listed);
    // Writes the scope's previews to disk, when it was opened with onDisk.
    void persist(const QString& scope);

private:
    struct Preview {
        qint32 size = 0;
        QString text;
        QByteArray header;
        qint64 usedAt = 0;
    };
    QHash<QString, QHash<QByteArray, Preview>> m_previews;
    PreviewStore* m_store = nullptr;
    QSet<QString> m_opened;
    QSet<QString> m_onDisk;
};
