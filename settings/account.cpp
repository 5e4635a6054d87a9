// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/account.h"

#include "settings/hostport.h"
#include "text/numbervalue.h"

#include <QCoreApplication>

namespace {

constexpr quint16 Pop3Port = 110;
constexpr quint16 Pop3sPort = 995;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Account)
};

// The server's address, or why the Host, Security or Fingerprint value cannot be used.
QString readServer(const AccountSlot& slot, ServerAddress& server)
{
    const QString security = slot.Security.trimmed().toLower();
    if (!security.isEmpty() && security != u"none" && security != u"tls" &&
        security != u"starttls") {
        return Texts::tr(
                   "„%1“ ist keine gültige Angabe für Security (erlaubt sind tls, starttls und "
                   "none).")
            .arg(slot.Security);
    }
    const HostPort hostPort = parseHostPort(slot.Host, security == u"tls" ? Pop3sPort : Pop3Port);
    server.host = hostPort.host;
    server.port = hostPort.port;
    // A pinned certificate asks for a checked server, so it never falls back to plain text.
    const bool pinned = !slot.Fingerprint.trimmed().isEmpty();
    if (security == u"tls" || (security.isEmpty() && hostPort.port == Pop3sPort))
        server.security = Security::Tls;
    else if (security == u"starttls" || (security.isEmpty() && pinned))
        server.security = Security::StartTls;
    QString problem;
    if (!hostPort.valid) {
        problem =
            slot.Host.trimmed().isEmpty()
                ? Texts::tr("Für dieses Konto ist kein Server eingetragen (Host in TARVOLK.INI).")
                : Texts::tr("Die Serverangabe „%1“ ist ungültig.").arg(slot.Host);
    }
    const QByteArray hex =
        slot.Fingerprint.trimmed().remove(u':').remove(u' ').toLower().toLatin1();
    if (!hex.isEmpty()) {
        server.fingerprint = QByteArray::fromHex(hex);
        if (hex.size() != 64 || server.fingerprint.toHex() != hex)
            problem = Texts::tr("Der Fingerabdruck „%1“ ist kein SHA-256-Fingerabdruck (64 "
                                "Hexadezimalziffern).")
                          .arg(slot.Fingerprint);
    }
    return problem;
}

// The log-in method, or why the Auth value cannot be used.
QString readAuth(const AccountSlot& slot, AuthMethod& auth)
{
    const QString value = slot.Auth.trimmed().toLower();
    if (value.isEmpty() || value == u"auto")
        auth = AuthMethod::Auto;
    else if (value == u"user")
        auth = AuthMethod::User;
    else if (value == u"plain")
        auth = AuthMethod::Plain;
    else if (value == u"oauth2")
        auth = AuthMethod::OAuth2;
    else
        return Texts::tr(
                   "Die Anmeldeart „%1“ (Auth) ist unbekannt: möglich sind auto, user, plain und "
                   "oauth2.")
            .arg(slot.Auth);
    return QString();
}

} // namespace

QString AccountIdentity::key() const
{
    return QString::number(port) + u' ' + host + u' ' + user;
}

Account accountFrom(const AccountSlot& slot)
{
    Account account;
    account.title = slot.Title;
    account.user = slot.Account;
    account.password = slot.Password;
    account.passwordGiven = slot.PasswordGiven;
    // A longer interval than a day is a day; what is no number is no interval.
    const double minutes = numberValue(slot.CheckInterval);
    account.checkIntervalMinutes = !(minutes >= 1) ? 0 : int(qMin(minutes, 1440.0));
    account.authServId = slot.AuthServId.trimmed();
    const QString cache = slot.Cache.trimmed().toLower();
    account.cacheOnDisk = cache != u"no" && cache != u"nein" && cache != u"0";
    const QString serverProblem = readServer(slot, account.server);
    const QString authProblem = readAuth(slot, account.auth);
    if (account.auth == AuthMethod::OAuth2) {
        account.oauth = oauthEndpoints(slot);
        account.clientId = slot.ClientId.trimmed();
        account.clientSecret = slot.ClientSecret.trimmed();
    }
    // Whoever reads a bearer token can use it: it never goes over a plain connection.
    const bool tokenInClear =
        account.auth == AuthMethod::OAuth2 && account.server.security == Security::None;
    const QString problems[] = {
        slot.problem, serverProblem, authProblem,
        tokenInClear ? Texts::tr("Die Anmeldung mit OAuth2 braucht eine verschlüsselte Verbindung "
                                 "(Security tls oder starttls).")
                     : QString(),
        account.oauth.problem};
    for (const QString& problem : problems) {
        if (account.problem.isEmpty())
            account.problem = problem;
    }
    return account;
}
