// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

// The readable text of an HTML document, for showing it as plain text: tags and comments
// dropped, the content of script, style, head and title left out, runs of white space made one
// blank, line breaks where paragraphs, blocks, list items, table rows and <br> are, and character
// references decoded. Nothing is loaded: no image, no style sheet, no link is followed.
QString htmlToPlainText(QStringView html);
