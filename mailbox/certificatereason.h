// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QSslError>
#include <QString>

// "AB:CD:..." for showing a fingerprint to the user.
QString formatFingerprint(const QByteArray& digest);

// Why a server's certificate was not accepted, in German for the user: each distinct reason on a
// line of its own, then the certificate's SHA-256 fingerprint, which the user may pin.
QString certificateReason(const QList<QSslError>& errors, bool fingerprintMismatch,
                          const QString& host, const QByteArray& digest);
