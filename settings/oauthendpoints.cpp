// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/oauthendpoints.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace {

struct Provider {
    const char* name;
    const char* authUrl;
    const char* tokenUrl;
    const char* scope;
};

constexpr Provider Providers[] = {
    {"microsoft", "https://login.microsoftonline.com/common/oauth2/v2.0/authorize",
     "https://login.microsoftonline.com/common/oauth2/v2.0/token",
     "https://outlook.office.com/POP.AccessAsUser.All offline_access"},
    {"google", "https://accounts.google.com/o/oauth2/v2/auth",
     "https://oauth2.googleapis.com/token", "https://mail.google.com/"},
};

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(OAuthEndpoints)
};

// "localhost", ::1, or an IPv4 address in 127.0.0.0/8, written out in full.
bool isLoopback(const QString& host)
{
    if (host == u"localhost" || host == u"::1")
        return true;
    const QStringList parts = host.split(u'.');
    return parts.size() == 4 && parts[0] == u"127" &&
           std::all_of(parts.begin(), parts.end(), [](const QString& part) {
               bool number = false;
               return part.size() <= 3 && part.toUInt(&number) <= 255 && number;
           });
}

// Codes and tokens travel over https; plain http only stays on this computer.
bool protectedUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == u"https")
        return true;
    return url.scheme() == u"http" && isLoopback(url.host());
}

} // namespace

OAuthEndpoints oauthEndpoints(const AccountSlot& account)
{
    OAuthEndpoints endpoints;
    const QString provider = account.OAuthProvider.trimmed().toLower();
    if (provider == u"custom") {
        endpoints = {QUrl(account.AuthUrl.trimmed()), QUrl(account.TokenUrl.trimmed()),
                     account.Scope.trimmed(), QString()};
    } else {
        for (const Provider& known : Providers) {
            if (provider == QLatin1String(known.name))
                endpoints = {QUrl(QLatin1String(known.authUrl)),
                             QUrl(QLatin1String(known.tokenUrl)), QLatin1String(known.scope),
                             QString()};
        }
    }
    if (endpoints.authUrl.isEmpty() && provider != u"custom") {
        endpoints.problem =
            Texts::tr("Der Anbieter „%1“ (OAuthProvider) ist unbekannt: möglich sind "
                      "microsoft, google und custom.")
                .arg(account.OAuthProvider);
    } else if (!protectedUrl(endpoints.authUrl) || !protectedUrl(endpoints.tokenUrl)) {
        endpoints.problem =
            Texts::tr("AuthUrl und TokenUrl müssen vollständige https-Adressen sein.");
    } else if (account.ClientId.trimmed().isEmpty()) {
        endpoints.problem = Texts::tr("Für die Anmeldung mit OAuth2 fehlt die ClientId der beim "
                                      "Anbieter eingetragenen Anwendung.");
    }
    return endpoints;
}
