// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/certificatereason.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Connection)
};

QString reasonOf(const QSslError& error, const QString& host)
{
    switch (error.error()) {
    case QSslError::CertificateExpired:
        return Texts::tr("Das Zertifikat ist abgelaufen.");
    case QSslError::CertificateNotYetValid:
        return Texts::tr("Das Zertifikat ist noch nicht gültig.");
    case QSslError::HostNameMismatch:
        return Texts::tr("Das Zertifikat gilt nicht für den Server „%1“.").arg(host);
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
        return Texts::tr("Das Zertifikat ist selbst signiert.");
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return Texts::tr("Der Aussteller des Zertifikats ist unbekannt.");
    case QSslError::CertificateRevoked:
        return Texts::tr("Das Zertifikat wurde widerrufen.");
    default:
        return Texts::tr("Das Zertifikat ist ungültig (%1).").arg(error.errorString());
    }
}

} // namespace

QString formatFingerprint(const QByteArray& digest)
{
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

QString certificateReason(const QList<QSslError>& errors, bool fingerprintMismatch,
                          const QString& host, const QByteArray& digest)
{
    QStringList reasons;
    if (fingerprintMismatch)
        reasons += Texts::tr("Der Fingerabdruck des Zertifikats stimmt nicht mit dem eingetragenen "
                             "(Fingerprint) überein.");
    for (const QSslError& error : errors) {
        const QString reason = reasonOf(error, host);
        if (!reasons.contains(reason))
            reasons += reason;
    }
    reasons +=
        Texts::tr("SHA-256-Fingerabdruck des Zertifikats:\n%1").arg(formatFingerprint(digest));
    return reasons.join(u'\n');
}
