// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/finding.h"

#include <QCoreApplication>
#include <QList>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Finding)
};

Severity severityOf(FindingKind kind)
{
    switch (kind) {
    case FindingKind::SenderNotConfirmed:
    case FindingKind::DisplayNameDeceives:
        return Severity::Danger;
    case FindingKind::ServerSpam:
    case FindingKind::InternationalAddress:
        return Severity::Warning;
    case FindingKind::ReplyToOtherDomain:
        return Severity::Notice;
    case FindingKind::SenderConfirmed:
        break;
    }
    return Severity::Confirmed;
}

QString wordOf(FindingKind kind)
{
    switch (kind) {
    case FindingKind::SenderNotConfirmed:
        return Texts::tr("Absender nicht bestätigt");
    case FindingKind::DisplayNameDeceives:
        return Texts::tr("Anzeigename täuscht");
    case FindingKind::ServerSpam:
        return Texts::tr("Spam laut Server");
    case FindingKind::InternationalAddress:
        return Texts::tr("Internationale Adresse");
    case FindingKind::ReplyToOtherDomain:
        return Texts::tr("Antwort an andere Domain");
    case FindingKind::SenderConfirmed:
        break;
    }
    return Texts::tr("Absender bestätigt");
}

} // namespace

Finding makeFinding(FindingKind kind, const QString& detail, const QString& value)
{
    QString word = wordOf(kind);
    if (!value.isEmpty())
        word += QStringLiteral(" (%1)").arg(shownText(value, 40));
    return {kind, severityOf(kind), word, detail};
}

QString shownText(const QString& text, qsizetype maxLength)
{
    QString shown;
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control)
            shown += u' ';
        else if (category != QChar::Other_Format)
            shown += QString::fromUcs4(&c, 1);
    }
    shown = shown.simplified();
    if (shown.size() > maxLength) {
        shown.truncate(maxLength - 1);
        if (!shown.isEmpty() && shown.back().isHighSurrogate())
            shown.chop(1);
        shown += u'…';
    }
    return shown;
}
