// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A whole message made readable. The input is the message; as text it is also read as HTML.
// Checked: attachments stay within their bound, each is named on a line of its own in the
// readable text, text without markup comes out with its blanks made single, and a script's
// content never shows.

#include "fuzz/require.h"
#include "mime/htmltext.h"
#include "mime/readablemessage.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ReadableMessage message = readMessage(bytes);
    require(message.attachments.size() <= ReadableMessage::MaxAttachments,
            "no more attachments listed than the bound");
    const QStringList lines = readableText(message).split(u'\n');
    for (const ReadableMessage::Attachment& attachment : message.attachments) {
        require(!attachment.name.contains(u'\n') && attachment.size >= 0,
                "an attachment is one line with a size");
        const QString start = QStringLiteral("  ") + attachment.name + QStringLiteral(" (");
        require(std::any_of(lines.begin(), lines.end(),
                            [&start](const QString& line) { return line.startsWith(start); }),
                "each attachment has its line");
    }

    const QString text = QString::fromUtf8(bytes);
    if (!text.contains(u'<') && !text.contains(u'&') && !text.contains(QChar::Nbsp))
        require(htmlToPlainText(text) == text.simplified(), "plain text keeps its words");
    if (!text.contains(u"</"))
        require(htmlToPlainText(QStringLiteral("<script>") + text + QStringLiteral("</script>"))
                    .isEmpty(),
                "a script's content never shows");
    return 0;
}
