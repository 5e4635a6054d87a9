// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rules/markingrules.h"

#include "text/encodedwords.h"
#include "text/textdecoding.h"
#include "verdict/domainnames.h"
#include "verdict/headerfields.h"
#include "verdict/mailaddresses.h"
#include "verdict/serverspam.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MarkingRules)
};

QString normalisedAddress(const QString& address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || address.contains(u' '))
        return {};
    const QString domain = asciiDomain(address.sliced(at + 1));
    return domain.isEmpty() ? QString() : address.first(at).toLower() + u'@' + domain;
}

// The number of a key such as "absender12" (case-folded) for the kind, written without blanks,
// sign or leading zeros; 0 for another key.
int ruleNumber(const QString& key, RuleKind kind)
{
    const QString name = keyName(kind).toCaseFolded();
    const QStringView digits = QStringView(key).sliced(qMin(key.size(), name.size()));
    const int number = digits.toInt();
    const bool plain = key.startsWith(name) && QString::number(number) == digits;
    return plain && number >= 1 && number <= MaxRuleNumber ? number : 0;
}

// Reads the numbered values of one kind; a value that cannot be one of its kind is named in
// problem when it is the first.
void readKind(const IniDocument& document, RuleSection section, RuleKind kind, RuleList& list,
              QString& problem)
{
    const QString sectionText = sectionName(section);
    QList<std::pair<int, QString>> numbered;
    for (const QString& key : document.keys(sectionText)) {
        if (const int number = ruleNumber(key, kind); number > 0)
            numbered.append({number, key});
    }
    // In the file's numbering, so that the first of two matching rules is the one named.
    std::sort(numbered.begin(), numbered.end());
    for (const auto& [n, foundKey] : std::as_const(numbered)) {
        const QString key = keyName(kind) + QString::number(n);
        const QString value = document.value(sectionText, foundKey).value_or(QString());
        if (value.isEmpty())
            continue;
        const QString normal =
            value.size() > MaxRuleValueLength ? QString() : normalisedRuleValue(kind, value);
        if (normal.isEmpty()) {
            if (problem.isEmpty())
                problem =
                    Texts::tr("regeln.ini: %1 in [%2] ist nicht brauchbar und wird übergangen.")
                        .arg(key, sectionText);
            continue;
        }
        const QString name = QStringLiteral("[%1] %2=%3").arg(sectionText, key, value);
        if (kind == RuleKind::Sender)
            list.senders.insert(normal, name);
        else if (kind == RuleKind::Domain)
            list.domains.insert(normal, name);
        else
            list.subjects.append({normal, name});
    }
}

RuleList readSection(const IniDocument& document, RuleSection section, QString& problem)
{
    RuleList list;
    for (RuleKind kind : {RuleKind::Sender, RuleKind::Domain, RuleKind::Subject})
        readKind(document, section, kind, list, problem);
    const QString spam =
        document.value(sectionName(section), QStringLiteral("ServerSpam")).value_or(QString());
    if (spam.compare(u"ja", Qt::CaseInsensitive) == 0)
        list.serverSpam = QStringLiteral("[%1] ServerSpam=%2").arg(sectionName(section), spam);
    else if (!spam.isEmpty() && spam.compare(u"nein", Qt::CaseInsensitive) != 0 &&
             problem.isEmpty())
        problem = Texts::tr("regeln.ini: ServerSpam in [%1] ist weder „ja“ noch „nein“.")
                      .arg(sectionName(section));
    return list;
}

// The name of the first rule of the list that the message matches, empty for none.
QString firstMatch(const RuleList& list, const MessageFacts& facts)
{
    if (const auto sender = list.senders.constFind(facts.sender);
        !facts.sender.isEmpty() && sender != list.senders.constEnd())
        return *sender;
    // The domain and each domain above it: a rule for example.org takes mail.example.org.
    for (QString domain = facts.domain; !domain.isEmpty();
         domain = domain.contains(u'.') ? domain.section(u'.', 1) : QString()) {
        if (const auto found = list.domains.constFind(domain); found != list.domains.constEnd())
            return *found;
    }
    for (const auto& [part, name] : list.subjects) {
        if (facts.subject.contains(part))
            return name;
    }
    return facts.serverSpam ? list.serverSpam : QString();
}

} // namespace

QString sectionName(RuleSection section)
{
    return section == RuleSection::Mark ? QStringLiteral("Markieren")
                                        : QStringLiteral("NichtMarkieren");
}

QString keyName(RuleKind kind)
{
    switch (kind) {
    case RuleKind::Sender:
        return QStringLiteral("Absender");
    case RuleKind::Domain:
        return QStringLiteral("Domain");
    case RuleKind::Subject:
        break;
    }
    return QStringLiteral("Betreff");
}

QString normalisedRuleValue(RuleKind kind, const QString& value)
{
    switch (kind) {
    case RuleKind::Sender:
        return normalisedAddress(value.trimmed());
    case RuleKind::Domain:
        return asciiDomain(value.trimmed());
    case RuleKind::Subject:
        break;
    }
    return value.simplified().toCaseFolded();
}

bool RuleList::operator==(const RuleList& other) const
{
    return senders == other.senders && domains == other.domains && subjects == other.subjects &&
           serverSpam == other.serverSpam;
}

bool MarkingRules::isEmpty() const
{
    return mark == RuleList() && neverMark == RuleList();
}

bool MarkingRules::operator==(const MarkingRules& other) const
{
    return mark == other.mark && neverMark == other.neverMark && problem == other.problem;
}

MarkingRules readMarkingRules(const IniDocument& document)
{
    MarkingRules rules;
    rules.mark = readSection(document, RuleSection::Mark, rules.problem);
    rules.neverMark = readSection(document, RuleSection::NeverMark, rules.problem);
    return rules;
}

MessageFacts readMessageFacts(QByteArrayView headerBlock)
{
    const QList<HeaderField> fields = readHeaderFields(headerBlock);
    MessageFacts facts;
    const QList<QByteArray> from = fieldValues(fields, "From");
    const QList<MailAddress> senders =
        from.isEmpty() ? QList<MailAddress>() : readMailAddresses(from.first());
    if (!senders.isEmpty()) {
        facts.sender = normalisedAddress(senders.first().address);
        facts.domain = asciiDomain(senders.first().domain);
    }
    const QList<QByteArray> subject = fieldValues(fields, "Subject");
    if (!subject.isEmpty())
        facts.subject = normalisedRuleValue(
            RuleKind::Subject, decodeEncodedWords(decodeUtf8OrWindows1252(subject.first())));
    facts.serverSpam = judgeServerSpam(fields).has_value();
    return facts;
}

RuleMatch matchRules(const MarkingRules& rules, const MessageFacts& facts)
{
    if (const QString never = firstMatch(rules.neverMark, facts); !never.isEmpty())
        return {RuleMatch::Effect::NeverMark, never};
    if (const QString mark = firstMatch(rules.mark, facts); !mark.isEmpty())
        return {RuleMatch::Effect::Mark, mark};
    return {};
}
