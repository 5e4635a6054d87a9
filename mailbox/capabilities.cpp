// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/capabilities.h"

void Capabilities::addLine(QByteArrayView line)
{
    const QByteArray text = line.toByteArray().simplified();
    if (text.isEmpty())
        return;
    const qsizetype blank = text.indexOf(' ');
    const QByteArray name = (blank < 0 ? text : text.left(blank)).toUpper();
    m_arguments.insert(name, blank < 0 ? QByteArray() : text.mid(blank + 1));
}

QList<QByteArray> Capabilities::lines() const
{
    QList<QByteArray> lines;
    for (auto it = m_arguments.begin(); it != m_arguments.end(); ++it)
        lines.append(it.value().isEmpty() ? it.key() : it.key() + ' ' + it.value());
    return lines;
}
