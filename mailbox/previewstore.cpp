// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/previewstore.h"

#include "mailbox/framebudget.h"
#include "settings/userfolders.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {

const QByteArray Magic = QByteArrayLiteral("tarvolk-previews-1\n");
constexpr int ChecksumSize = 32;
// What one preview may hold: the text and header block a fetch stores, with room to spare.
constexpr qsizetype MostBytesPerPreview = 256 * 1024;

QByteArray checksumOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

qint64 costOf(const PreviewStore::Entry& entry)
{
    return entry.uid.size() + entry.header.size() + 2 * entry.text.size() + 32;
}

// Passes what is written on to the file and into the checksum: fifty megabytes of previews go to
// disk without a buffer of their size beside the previews themselves.
class ChecksummedWriter : public QIODevice {
public:
    explicit ChecksummedWriter(QIODevice& file) : m_file(file) { open(QIODevice::WriteOnly); }
    QByteArray checksum() const { return m_hash.result(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_hash.addData(QByteArrayView(data, size));
        return m_file.write(data, size);
    }

private:
    QIODevice& m_file;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

// Writes the magic, the entries and the checksum; false when the file took less.
bool writeEntries(QIODevice& file, const QString& scope,
                  const QList<const PreviewStore::Entry*>& entries)
{
    ChecksummedWriter writer(file);
    writer.write(Magic);
    QDataStream out(&writer);
    out.setVersion(QDataStream::Qt_6_4);
    out << scope << quint32(entries.size());
    for (const PreviewStore::Entry* entry : entries)
        out << entry->uid << entry->size << entry->header << entry->text << entry->usedAt;
    return out.status() == QDataStream::Ok && file.write(writer.checksum()) == ChecksumSize;
}

// Passes on what is read of the file before its checksum and hashes it: fifty megabytes of
// previews are read without a buffer of their size beside them.
class ChecksummedReader : public QIODevice {
public:
    ChecksummedReader(QIODevice& file, qint64 contentSize) : m_file(file), m_left(contentSize)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    // The whole content has been read, and nothing more.
    bool allRead() const { return m_left == 0; }
    QByteArray checksum() const { return m_hash.result(); }

protected:
    qint64 readData(char* data, qint64 size) override
    {
        const qint64 got = m_file.read(data, qMin(size, m_left));
        if (got > 0) {
            m_hash.addData(QByteArrayView(data, got));
            m_left -= got;
        }
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_file;
    qint64 m_left = 0;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

// Reads the magic and the entries from the content, the file's bytes up to its checksum. A torn
// or foreign file may fail anywhere; what it held counts only when the checksum agrees.
bool parse(ChecksummedReader& content, const QString& scope, QList<PreviewStore::Entry>& entries)
{
    if (content.read(Magic.size()) != Magic)
        return false;
    QDataStream in(&content);
    in.setVersion(QDataStream::Qt_6_4);
    QString storedScope;
    quint32 count = 0;
    in >> storedScope >> count;
    if (storedScope != scope)
        return false;
    FrameBudget frame;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        PreviewStore::Entry entry;
        in >> entry.uid >> entry.size >> entry.header >> entry.text >> entry.usedAt;
        if (costOf(entry) > MostBytesPerPreview)
            return false;
        entries.append(entry);
        frame.yieldWhenSpent();
    }
    return in.status() == QDataStream::Ok && content.allRead();
}

// Makes room for a file of the scope: the files of other scopes used least recently go first,
// and the scope keeps its most recently used previews within what is left, most recent first.
// The entries are pointed to, not copied: they may be a hundred thousand.
QList<const PreviewStore::Entry*> withinBudget(const QDir& folder, const QString& ownName,
                                               qint64 budget,
                                               const QList<PreviewStore::Entry>& entries)
{
    QFileInfoList others =
        folder.entryInfoList({QStringLiteral("*.previews")}, QDir::Files, QDir::Time);
    others.removeIf([&](const QFileInfo& other) { return other.fileName() == ownName; });
    qint64 othersSize = 0;
    for (const QFileInfo& other : std::as_const(others))
        othersSize += other.size();
    qint64 ownSize = 0;
    for (const PreviewStore::Entry& entry : std::as_const(entries))
        ownSize += costOf(entry);
    while (othersSize + ownSize > budget && !others.isEmpty()) {
        const QFileInfo oldest = others.takeLast();
        if (QFile::remove(oldest.filePath()))
            othersSize -= oldest.size();
    }
    QList<const PreviewStore::Entry*> byUse;
    byUse.reserve(entries.size());
    for (const PreviewStore::Entry& entry : entries)
        byUse.append(&entry);
    std::sort(byUse.begin(), byUse.end(),
              [](const PreviewStore::Entry* a, const PreviewStore::Entry* b) {
                  return a->usedAt > b->usedAt;
              });
    qint64 left = budget - othersSize;
    qsizetype kept = 0;
    while (kept < byUse.size() && (left -= costOf(*byUse[kept])) >= 0)
        ++kept;
    byUse.resize(kept);
    return byUse;
}

} // namespace

PreviewStore::PreviewStore(QString folder, qint64 budget)
    : m_folder(std::move(folder)), m_budget(budget)
{
    m_writer.setMaxThreadCount(1);
}

PreviewStore::~PreviewStore()
{
    m_writer.waitForDone();
}

QString PreviewStore::defaultFolder()
{
    return UserFolders::cache();
}

QString PreviewStore::pathOf(const QString& scope) const
{
    const QByteArray name = checksumOf(scope.toUtf8()).toHex().left(32);
    return m_folder + u'/' + QString::fromLatin1(name) + QStringLiteral(".previews");
}

QList<PreviewStore::Entry> PreviewStore::load(const QString& scope) const
{
    QFile file(pathOf(scope));
    if (!QFileInfo(file).isFile() || file.size() > m_budget + Magic.size() + ChecksumSize ||
        file.size() < Magic.size() + ChecksumSize || !file.open(QIODevice::ReadOnly))
        return {};
    ChecksummedReader content(file, file.size() - ChecksumSize);
    QList<Entry> entries;
    if (!parse(content, scope, entries) || content.checksum() != file.read(ChecksumSize))
        return {};
    return entries;
}

void PreviewStore::save(const QString& scope, const QList<Entry>& entries)
{
    const QString path = pathOf(scope);
    const QString folder = m_folder;
    const qint64 budget = m_budget;
    m_writer.start([path, folder, budget, scope, entries] {
        QSaveFile file(path);
        if (!UserFolders::openPrivately(file))
            return;
        const QList<const Entry*> kept =
            withinBudget(QDir(folder), QFileInfo(path).fileName(), budget, entries);
        if (writeEntries(file, scope, kept))
            file.commit();
    });
}
