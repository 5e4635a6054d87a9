#pragma once

#include "mailbox/fetchedmailbox.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// The previews fetched while the program runs, so that a refetch asks only for new messages.
// A preview is found only for the same account, LineCount, unique id and size; nothing is
// written to disk.
class PreviewCache {
public:
    // Names the mailbox (AccountIdentity::key) and LineCount the previews were fetched with.
    static QString scope(const QString& account, qint16 lineCount);

    // Fills the message's text and header block from the preview kept for its id and size.
    bool find(const QString& scope, FetchedMessage& message) const;
    void store(const QString& scope, const FetchedMessage& message);
    // Forgets the scope's previews whose ids the server no longer lists.
    void keepOnly(const QString& scope, const QSet<QByteArray>& listed);

private:
    struct Preview {
        qint32 size = 0;
        QString text;
        QByteArray header;
    };
    QHash<QString, QHash<QByteArray, Preview>> m_previews;
};
