// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/senderauthentication.h"

#include "verdict/authservid.h"
#include "verdict/domainnames.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SenderAuthentication)
};

const QByteArrayView authenticationResults = "Authentication-Results";

bool isAuthenticationResults(const HeaderField& field)
{
    return QByteArrayView(field.name).compare(authenticationResults, Qt::CaseInsensitive) == 0;
}

// The fields the trusted server wrote: its topmost one and those with its id directly below.
// Any other field ends them, as anything further down may come from the sender. A field without
// id is told apart by its place alone: only the topmost one is read.
QList<AuthenticationResults> trustedFields(const QList<HeaderField>& fields,
                                           const QString& trustedAuthServId)
{
    QList<AuthenticationResults> trusted;
    for (const HeaderField& field : fields) {
        const bool isResults = isAuthenticationResults(field);
        if (!isResults && !trusted.isEmpty())
            break;
        if (!isResults)
            continue;
        const AuthenticationResults results = readAuthenticationResults(field.value);
        const bool fromTrustedServer = isFromTrustedServer(results, trustedAuthServId);
        if (fromTrustedServer)
            trusted.append(results);
        if ((!fromTrustedServer && !trusted.isEmpty()) || trustedAuthServId == withoutAuthServId)
            break;
    }
    return trusted;
}

// The domain a result names in the first of the given properties, an address's after its "@".
QString namedDomain(const AuthenticationResult& result, const QStringList& properties)
{
    for (const QString& property : properties) {
        const QString value = result.properties.value(property);
        if (!value.isEmpty())
            return value.sliced(value.lastIndexOf(u'@') + 1);
    }
    return {};
}

QString serverName(const AuthenticationResults& field)
{
    return field.hasAuthServId ? shownText(field.authServId, 60) : Texts::tr("Der Server");
}

struct Results {
    QString server;
    std::optional<AuthenticationResult> dmarc;
    std::optional<AuthenticationResult> spf;
    std::optional<AuthenticationResult> compauth;
    QList<AuthenticationResult> dkim; // a message may carry several signatures
};

void keepTopmost(std::optional<AuthenticationResult>& slot, const AuthenticationResult& result)
{
    if (!slot)
        slot = result;
}

Results resultsOf(const QList<AuthenticationResults>& trusted)
{
    Results results;
    if (!trusted.isEmpty())
        results.server = serverName(trusted.first());
    for (const AuthenticationResults& field : trusted) {
        for (const AuthenticationResult& result : field.results) {
            if (result.method == u"dkim")
                results.dkim.append(result);
            else if (result.method == u"dmarc")
                keepTopmost(results.dmarc, result);
            else if (result.method == u"spf")
                keepTopmost(results.spf, result);
            else if (result.method == u"compauth")
                keepTopmost(results.compauth, result);
        }
    }
    return results;
}

// Whether a result is about the sender's domain: it names the same registrable domain, or,
// when unnamedCounts, it names none.
bool isAbout(const AuthenticationResult& result, const QStringList& properties,
             const QString& fromDomain, bool unnamedCounts)
{
    const QString domain = namedDomain(result, properties);
    return domain.isEmpty() ? unnamedCounts : sameRegistrableDomain(domain, fromDomain);
}

bool anyDkim(const Results& results, const QString& fromDomain, QStringView outcome,
             bool unnamedCounts)
{
    const QStringList properties = {QStringLiteral("header.d"), QStringLiteral("header.i")};
    return std::any_of(results.dkim.begin(), results.dkim.end(), [&](const auto& result) {
        return result.result == outcome && isAbout(result, properties, fromDomain, unnamedCounts);
    });
}

bool dmarcIsAbout(const AuthenticationResult& dmarc, const QString& fromDomain)
{
    const QString named = dmarc.properties.value(QStringLiteral("header.from"));
    return named.isEmpty() || asciiDomain(named) == asciiDomain(fromDomain);
}

bool spfFailed(const Results& results, const QString& fromDomain)
{
    const QStringList properties = {QStringLiteral("smtp.mailfrom"), QStringLiteral("smtp.helo")};
    return results.spf && (results.spf->result == u"fail" || results.spf->result == u"softfail") &&
           isAbout(*results.spf, properties, fromDomain, true);
}

struct Judgement {
    FindingKind kind;
    QString why;
};

// DMARC decides when it was checked for the domain; else a signature of the domain that passed
// confirms it, and only failures of every kind speak against it.
std::optional<Judgement> judge(const Results& results, const QString& fromDomain)
{
    if (results.dmarc && dmarcIsAbout(*results.dmarc, fromDomain)) {
        if (results.dmarc->result == u"pass")
            return Judgement{FindingKind::SenderConfirmed, Texts::tr("DMARC bestanden")};
        if (results.dmarc->result == u"fail")
            return Judgement{FindingKind::SenderNotConfirmed, Texts::tr("DMARC nicht bestanden")};
    }
    if (anyDkim(results, fromDomain, u"pass", false))
        return Judgement{FindingKind::SenderConfirmed, Texts::tr("gültige DKIM-Signatur")};
    if (anyDkim(results, fromDomain, u"fail", true) && spfFailed(results, fromDomain))
        return Judgement{FindingKind::SenderNotConfirmed,
                         Texts::tr("DKIM und SPF nicht bestanden")};
    if (results.compauth && results.compauth->result == u"fail")
        return Judgement{FindingKind::SenderNotConfirmed,
                         Texts::tr("Gesamtprüfung nicht bestanden")};
    return std::nullopt;
}

} // namespace

std::optional<Finding> judgeSenderAuthentication(const QList<HeaderField>& fields,
                                                 const QString& fromDomain,
                                                 const QString& trustedAuthServId)
{
    if (fromDomain.isEmpty())
        return std::nullopt;
    const Results results = resultsOf(trustedFields(fields, trustedAuthServId));
    const std::optional<Judgement> judgement = judge(results, fromDomain);
    if (!judgement)
        return std::nullopt;
    // The ASCII form: a confirmed lookalike in Unicode would read as the domain it imitates.
    const QString domain = shownText(asciiDomain(fromDomain), 60);
    if (judgement->kind == FindingKind::SenderNotConfirmed)
        return makeFinding(judgement->kind,
                           Texts::tr("%1 bestätigt die Absenderdomain %2 nicht: %3.")
                               .arg(results.server, domain, judgement->why));
    return makeFinding(judgement->kind,
                       Texts::tr("%1 bestätigt die Absenderdomain %2: %3.")
                           .arg(results.server, domain, judgement->why),
                       domain);
}
