#include "window/deletequestion.h"

#include "window/messagelistmodel.h"
#include "window/plaintext.h"

#include <QCoreApplication>

namespace {

// Entries named in the question; the others are counted.
constexpr int NamedEntries = 5;
// A sender or subject is cut to this many characters, so that each entry keeps to one line.
constexpr qsizetype ValueLimit = 60;

QString tr(const char* text)
{
    return QCoreApplication::translate("DeleteQuestion", text);
}

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
        lines.append(tr("und %1 weitere").arg(count - NamedEntries));
    const QString text = count == 1 ? tr("1 Nachricht auf dem Server löschen?")
                                    : tr("%1 Nachrichten auf dem Server löschen?").arg(count);
    return {title, text, lines.join(u'\n'), tr("Löschen")};
}
