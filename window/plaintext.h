// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "text/boundedtext.h"

#include <QString>
#include <QStringList>

class QLabel;

// Text that comes from a server, a message or the settings file is shown as it stands: never as
// markup, never as a link, never loading an image, and cleaned and bounded (text/boundedtext.h).
// Every such text in the window is set through here.
namespace plaintext {

// A tooltip that shows each line literally: tooltips guess whether they hold markup, so the text
// is escaped and handed over as markup. Empty when every line is.
QString toolTip(const QStringList& shownLines);
inline QString toolTip(const QString& text)
{
    return toolTip(QStringList{text});
}

// Sets a label's text as one plain line, with the same text as its tooltip when withToolTip.
void show(QLabel* label, const QString& text, bool withToolTip = true);

} // namespace plaintext
