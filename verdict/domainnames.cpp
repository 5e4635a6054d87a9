// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/domainnames.h"

#include <QList>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <libpsl.h>
#include <memory>

namespace {

constexpr qsizetype maxDomainSize = 253;

// The list the publicsuffix package installs, or the one built into libpsl when that is newer.
const psl_ctx_t* suffixList()
{
    static const std::unique_ptr<psl_ctx_t, decltype(&psl_free)> list(psl_latest(nullptr),
                                                                      &psl_free);
    return list ? list.get() : psl_builtin();
}

QList<QChar::Script> scriptsOf(const QString& label)
{
    QList<QChar::Script> scripts;
    for (const char32_t c : label.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        if (script > QChar::Script_Common && !scripts.contains(script))
            scripts.append(script);
    }
    return scripts;
}

// The combinations the "highly restrictive" level of Unicode's security mechanisms allows.
bool isWrittenTogether(const QList<QChar::Script>& scripts)
{
    using S = QChar::Script;
    static const QList<QSet<S>> allowed = {
        {S::Script_Latin, S::Script_Han, S::Script_Hiragana, S::Script_Katakana},
        {S::Script_Latin, S::Script_Han, S::Script_Bopomofo},
        {S::Script_Latin, S::Script_Han, S::Script_Hangul},
    };
    const QSet<S> used(scripts.begin(), scripts.end());
    return scripts.size() <= 1 ||
           std::any_of(allowed.begin(), allowed.end(),
                       [&](const QSet<S>& set) { return set.contains(used); });
}

} // namespace

QString asciiDomain(const QString& domain)
{
    if (domain.isEmpty() || domain.size() > maxDomainSize)
        return {};
    return QString::fromLatin1(QUrl::toAce(domain)).toLower();
}

QString unicodeDomain(const QString& domain)
{
    const QString ascii = asciiDomain(domain);
    return ascii.isEmpty() ? domain : QUrl::fromAce(ascii.toLatin1());
}

QString registrableDomain(const QString& domain)
{
    const QByteArray ascii = asciiDomain(domain).toLatin1();
    // libpsl answers with a pointer into the name it was given.
    const char* registrable = psl_registrable_domain(suffixList(), ascii.constData());
    return QString::fromLatin1(registrable ? registrable : ascii.constData());
}

bool sameRegistrableDomain(const QString& first, const QString& second)
{
    const QString registrable = registrableDomain(first);
    return !registrable.isEmpty() && registrable == registrableDomain(second);
}

bool looksLikeDomain(const QString& domain)
{
    const QStringList labels = asciiDomain(domain).split(u'.');
    if (labels.size() < 2 || labels.contains(QString()))
        return false;
    const int type = PSL_TYPE_ANY | PSL_TYPE_NO_STAR_RULE;
    return psl_is_public_suffix2(suffixList(), labels.last().toLatin1().constData(), type);
}

bool isInternational(const QString& domain)
{
    const QStringList labels = asciiDomain(domain).split(u'.');
    return std::any_of(domain.begin(), domain.end(), [](QChar c) { return c.unicode() > 127; }) ||
           std::any_of(labels.begin(), labels.end(),
                       [](const QString& label) { return label.startsWith(u"xn--"); });
}

bool mixesScripts(const QString& domain)
{
    const QStringList labels = unicodeDomain(domain).split(u'.');
    return !std::all_of(labels.begin(), labels.end(),
                        [](const QString& label) { return isWrittenTogether(scriptsOf(label)); });
}
