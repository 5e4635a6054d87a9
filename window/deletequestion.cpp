// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/deletequestion.h"

#include "window/messagelistmodel.h"
#include "window/plaintext.h"

#include <QCoreApplication>

namespace {

// Entries named in the question; the others are counted.
constexpr int NamedEntries = 5;
// A sender or subject is cut to this many characters, so that each entry keeps to one line.
constexpr qsizetype ValueLimit = 60;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(DeleteQuestion)
};

QString describe(const MessageListModel& messages, int row)
{
    QStringList parts{messages.entry(row)};
    const std::array<QString, 3> details = messages.details(row);
    for (const QString& value : {details[0], details[1]}) {
        if (!value.isEmpty())
            parts.append(plaintext::line(value, ValueLimit));
    }
    return parts.join(QStringLiteral(" – "));
}

} // namespace

MessageBox::Message deleteQuestion(const QString& title, const MessageListModel& messages,
                                   const QList<int>& marked)
{
    const qsizetype count = marked.size();
    QStringList lines;
    for (qsizetype i = 0; i < qMin<qsizetype>(count, NamedEntries); ++i)
        lines.append(describe(messages, marked[i]));
    if (count > NamedEntries)
        lines.append(Texts::tr("und %1 weitere").arg(count - NamedEntries));
    const QString text = count == 1
                             ? Texts::tr("1 Nachricht auf dem Server löschen?")
                             : Texts::tr("%1 Nachrichten auf dem Server löschen?").arg(count);
    return {title, text, lines.join(u'\n'), Texts::tr("Löschen")};
}
