#include "mailbox/serveraddress.h"

#include "mailbox/hostport.h"

#include <QCoreApplication>

namespace {

constexpr quint16 Pop3Port = 110;
constexpr quint16 Pop3sPort = 995;

QString tr(const char* text)
{
    return QCoreApplication::translate("ServerAddress", text);
}

} // namespace

ServerAddress resolveServer(const AccountSlot& account)
{
    ServerAddress server;
    const QString security = account.Security.trimmed().toLower();
    if (!security.isEmpty() && security != u"none" && security != u"tls" &&
        security != u"starttls") {
        server.problem = tr("„%1“ ist keine gültige Angabe für Security "
                            "(erlaubt sind tls, starttls und none).")
                             .arg(account.Security);
        return server;
    }

    const HostPort hostPort =
        parseHostPort(account.Host, security == u"tls" ? Pop3sPort : Pop3Port);
    server.host = hostPort.host;
    server.port = hostPort.port;
    // A pinned certificate asks for a checked server, so it never falls back to plain text.
    const bool pinned = !account.Fingerprint.trimmed().isEmpty();
    if (security == u"tls" || (security.isEmpty() && hostPort.port == Pop3sPort))
        server.security = Security::Tls;
    else if (security == u"starttls" || (security.isEmpty() && pinned))
        server.security = Security::StartTls;
    if (!hostPort.valid) {
        server.problem =
            account.Host.trimmed().isEmpty()
                ? tr("Für dieses Konto ist kein Server eingetragen (Host in TARVOLK.INI).")
                : tr("Die Serverangabe „%1“ ist ungültig.").arg(account.Host);
    }

    const QByteArray hex =
        account.Fingerprint.trimmed().remove(u':').remove(u' ').toLower().toLatin1();
    if (!hex.isEmpty()) {
        server.fingerprint = QByteArray::fromHex(hex);
        if (hex.size() != 64 || server.fingerprint.toHex() != hex) {
            server.problem = tr("Der Fingerabdruck „%1“ ist kein SHA-256-Fingerabdruck "
                                "(64 Hexadezimalziffern).")
                                 .arg(account.Fingerprint);
        }
    }
    return server;
}

QString formatFingerprint(const QByteArray& digest)
{
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

QString accountKey(const AccountSlot& account)
{
    const ServerAddress server = resolveServer(account);
    // The user name may hold any character; it goes last so that no name can pass for another.
    return QStringLiteral("%1 %2 %3").arg(server.port).arg(server.host, account.Account);
}
