// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mime/readablemessage.h"

#include "mime/htmltext.h"
#include "text/boundedtext.h"
#include "text/textdecoding.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringDecoder>
#include <gmime/gmime.h>
#include <memory>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ReadableMessage)
};

// Mail programs nest a few levels; GMime itself stops at a thousand.
constexpr int MaxDepth = 32;

void initialiseGMimeOnce()
{
    [[maybe_unused]] static const bool initialised = [] {
        g_mime_init();
        return true;
    }();
}

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using Owned = std::unique_ptr<T, Unref>;

QByteArray decodedContent(GMimePart* part)
{
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content)
        return {};
    const Owned<GMimeStream> stream(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, stream.get());
    const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    return QByteArray(reinterpret_cast<const char*>(bytes->data), qsizetype(bytes->len));
}

qint64 decodedSize(GMimeObject* object)
{
    const Owned<GMimeStream> counter(g_mime_stream_null_new());
    if (GMIME_IS_PART(object)) {
        GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
        if (content)
            g_mime_data_wrapper_write_to_stream(content, counter.get());
    } else {
        g_mime_object_write_to_stream(object, nullptr, counter.get());
    }
    return qint64(GMIME_STREAM_NULL(counter.get())->written);
}

QString decodedText(GMimePart* part)
{
    const QByteArray bytes = decodedContent(part);
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    if (charset) {
        QStringDecoder decoder(charset);
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return decodeUtf8OrWindows1252(bytes);
}

QString attachmentName(GMimeObject* object)
{
    const char* fileName =
        GMIME_IS_PART(object) ? g_mime_part_get_filename(GMIME_PART(object)) : nullptr;
    if (fileName && *fileName)
        return plaintext::line(QString::fromUtf8(fileName), 200);
    char* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object));
    const QString name = plaintext::line(QString::fromUtf8(type), 200);
    g_free(type);
    return name;
}

// Walks the parts in the message's order: the first plain and HTML text that is no attachment
// are kept for the text, every other part is an attachment.
class PartWalk {
public:
    void visit(GMimeObject* object, int depth)
    {
        if (!object || depth > MaxDepth)
            return;
        if (GMIME_IS_MULTIPART(object)) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i)
                visit(g_mime_multipart_get_part(multipart, i), depth + 1);
            return;
        }
        if (GMIME_IS_PART(object) && !g_mime_part_is_attachment(GMIME_PART(object))) {
            GMimeContentType* type = g_mime_object_get_content_type(object);
            if (!m_plain && g_mime_content_type_is_type(type, "text", "plain")) {
                m_plain = GMIME_PART(object);
                return;
            }
            if (!m_html && g_mime_content_type_is_type(type, "text", "html")) {
                m_html = GMIME_PART(object);
                return;
            }
        }
        if (m_read.attachments.size() < ReadableMessage::MaxAttachments)
            m_read.attachments.append({attachmentName(object), decodedSize(object)});
        else
            ++m_read.moreAttachments;
    }

    ReadableMessage result()
    {
        if (m_plain)
            m_read.text = decodedText(m_plain);
        else if (m_html)
            m_read.text = htmlToPlainText(decodedText(m_html));
        m_read.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return m_read;
    }

private:
    GMimePart* m_plain = nullptr;
    GMimePart* m_html = nullptr;
    ReadableMessage m_read;
};

QString sizeText(qint64 bytes)
{
    const QLocale german(QLocale::German);
    if (bytes < 1024)
        return QStringLiteral("%1 Bytes").arg(bytes);
    if (bytes < 1024 * 1024)
        return german.toString(double(bytes) / 1024, 'f', 1) + QStringLiteral(" KB");
    return german.toString(double(bytes) / (1024 * 1024), 'f', 1) + QStringLiteral(" MB");
}

} // namespace

ReadableMessage readMessage(QByteArrayView message)
{
    initialiseGMimeOnce();
    const Owned<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(
        reinterpret_cast<const char*>(message.data()), size_t(message.size())));
    const Owned<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    const Owned<GMimeMessage> parsed(g_mime_parser_construct_message(parser.get(), nullptr));
    PartWalk walk;
    if (parsed)
        walk.visit(g_mime_message_get_mime_part(parsed.get()), 0);
    return walk.result();
}

QString readableText(const ReadableMessage& message)
{
    QString text = message.text;
    if (message.attachments.isEmpty())
        return text;
    text += QStringLiteral("\n\n") + Texts::tr("Anhänge:") + u'\n';
    for (const ReadableMessage::Attachment& attachment : message.attachments)
        text += QStringLiteral("  %1 (%2)\n").arg(attachment.name, sizeText(attachment.size));
    if (message.moreAttachments > 0)
        text += QStringLiteral("  ") + Texts::tr("… und %1 weitere").arg(message.moreAttachments) +
                u'\n';
    return text;
}
