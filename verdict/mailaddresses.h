// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// One mailbox of an address header such as From or Reply-To.
struct MailAddress {
    QString name;    // the display name, its encoded words decoded
    QString address; // local part "@" domain, the domain in Unicode form
    QString domain;  // in Unicode form; empty when the address has none
};

// The mailboxes of an address header's value, those of groups too, at most 32. None when the
// value cannot be read as addresses.
QList<MailAddress> readMailAddresses(QByteArrayView value);
