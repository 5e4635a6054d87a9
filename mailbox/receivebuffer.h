// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What has arrived from the server and not yet been taken. Taking moves a read position instead
// of copying the rest to the front, so many queued answers cost linear time.
class ReceiveBuffer {
public:
    void append(QByteArrayView bytes) { m_bytes.append(bytes); }
    QByteArrayView unread() const { return QByteArrayView(m_bytes).sliced(m_read); }
    qsizetype size() const { return m_bytes.size() - m_read; }
    bool isEmpty() const { return size() == 0; }
    void clear();

    // Drops the first count unread bytes.
    void take(qsizetype count);

private:
    QByteArray m_bytes;
    qsizetype m_read = 0;
};
