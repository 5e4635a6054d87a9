// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/plaintext.h"

#include <QLabel>
#include <QTextDocument>

namespace plaintext {

QString toolTip(const QStringList& shownLines)
{
    QStringList cleanedLines;
    bool empty = true;
    for (const QString& text : shownLines) {
        cleanedLines.append(line(text));
        empty = empty && text.isEmpty();
    }
    if (empty)
        return QString();
    return Qt::convertFromPlainText(cleanedLines.join(u'\n'), Qt::WhiteSpaceNormal);
}

void show(QLabel* label, const QString& text, bool withToolTip)
{
    label->setTextFormat(Qt::PlainText);
    label->setText(line(text));
    if (withToolTip)
        label->setToolTip(toolTip(text));
}

} // namespace plaintext
