// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/addresschecks.h"

#include "verdict/domainnames.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(AddressChecks)
};

constexpr qsizetype maxNameSize = 256;

// Characters that can be part of an address or a domain name, after compatibility folding.
bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'.' || c == u'-' || c == u'@' || c == u'_' ||
           c == u'+';
}

// The runs of address characters in a display name, the dots that IDNA reads as dots made
// plain ("example。com").
QStringList addressLikeWords(const QString& name)
{
    QString folded = name.left(maxNameSize).normalized(QString::NormalizationForm_KC);
    folded.replace(u'\u3002', u'.').replace(u'\uff61', u'.');
    QStringList words;
    QString word;
    for (const QChar c : folded + u' ') {
        if (isNamePart(c)) {
            word += c;
        } else if (!word.isEmpty()) {
            words.append(word);
            word.clear();
        }
    }
    return words;
}

// What in the word is not the sender's: an address of its own or a domain of another
// registrable domain. Empty when the word is neither, or is the sender's.
QString foreignName(QString word, const MailAddress& from)
{
    while (word.endsWith(u'.') || word.endsWith(u'-'))
        word.chop(1);
    const qsizetype at = word.lastIndexOf(u'@');
    const QString domain = word.sliced(at + 1);
    if (!looksLikeDomain(domain))
        return {};
    if (at > 0) {
        const QString address = word.left(at) + u'@' + asciiDomain(domain);
        const QString own =
            from.address.left(from.address.lastIndexOf(u'@') + 1) + asciiDomain(from.domain);
        return address.compare(own, Qt::CaseInsensitive) == 0 ? QString() : word;
    }
    return sameRegistrableDomain(domain, from.domain) ? QString() : domain;
}

QString domainAndAscii(const QString& domain)
{
    const QString ascii = asciiDomain(domain);
    if (ascii.isEmpty() || ascii.compare(domain, Qt::CaseInsensitive) == 0)
        return shownText(domain, 60);
    return QStringLiteral("%1 (ASCII: %2)").arg(shownText(domain, 60), shownText(ascii, 80));
}

} // namespace

std::optional<Finding> judgeDisplayName(const MailAddress& from)
{
    for (const QString& word : addressLikeWords(from.name)) {
        const QString foreign = foreignName(word, from);
        if (!foreign.isEmpty())
            return makeFinding(FindingKind::DisplayNameDeceives,
                               Texts::tr("Der Anzeigename nennt %1, gesendet hat %2.")
                                   .arg(shownText(foreign), shownText(from.address)));
    }
    return std::nullopt;
}

std::optional<Finding> judgeReplyTo(const MailAddress& from, const QList<MailAddress>& replyTo)
{
    for (const MailAddress& address : replyTo) {
        if (!address.domain.isEmpty() && !sameRegistrableDomain(address.domain, from.domain))
            return makeFinding(FindingKind::ReplyToOtherDomain,
                               Texts::tr("Antworten gehen an %1, nicht an die Domain %2.")
                                   .arg(shownText(address.address), domainAndAscii(from.domain)));
    }
    return std::nullopt;
}

std::optional<Finding> judgeInternationalDomains(const QList<MailAddress>& addresses)
{
    for (const MailAddress& address : addresses) {
        if (!isInternational(address.domain))
            continue;
        const QString detail = mixesScripts(address.domain)
                                   ? Texts::tr("Die Domain %1 mischt Schriften.")
                                   : Texts::tr("Die Domain %1 ist international.");
        return makeFinding(FindingKind::InternationalAddress,
                           detail.arg(domainAndAscii(address.domain)));
    }
    return std::nullopt;
}
