// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

// What a server announced in its answer to "capa"; nothing when it answered "-ERR".
class Capabilities {
public:
    // Takes one line of the answer: a capability's name and its arguments.
    void addLine(QByteArrayView line);

    bool has(const QByteArray& name) const { return m_arguments.contains(name); }
    // The arguments after the name, as the server wrote them ("PLAIN XOAUTH2" for "SASL").
    QByteArray arguments(const QByteArray& name) const { return m_arguments.value(name); }
    bool isEmpty() const { return m_arguments.isEmpty(); }
    // One line per capability, as addLine() takes them.
    QList<QByteArray> lines() const;

private:
    QHash<QByteArray, QByteArray> m_arguments; // by upper-case name
};
