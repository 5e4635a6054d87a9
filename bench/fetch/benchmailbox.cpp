// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "benchmailbox.h"

#include "testsupport/testmail.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <random>

namespace BenchMailbox {

namespace {

// A uniform number in [0, 1) from the generator's raw output, the same on every standard
// library (the distributions of <random> are not).
double unit(std::mt19937& random)
{
    return random() / 4294967296.0;
}

template <typename T> const T& pick(std::mt19937& random, const QList<T>& list)
{
    return list.at(qsizetype(random() % quint32(list.size())));
}

QByteArray encoded(std::mt19937& random, const QString& text)
{
    switch (random() % 4) {
    case 0:
        return TestMail::encodedWord(text, "UTF-8", 'Q');
    case 1:
        return TestMail::encodedWord(text, "UTF-8", 'B');
    case 2:
        return TestMail::encodedWord(text, "ISO-8859-1", 'Q');
    default:
        return TestMail::encodedWord(text, "ISO-8859-1", 'B');
    }
}

// Sizes spread evenly on a log scale, as real mailboxes are: many short messages, few large
// ones. Both ends of the range are always present.
QList<int> sizes(const Spread& spread, std::mt19937& random)
{
    QList<int> out;
    const double ratio = double(spread.maxSize) / spread.minSize;
    for (int i = 0; i < spread.count; ++i)
        out.append(int(std::lround(spread.minSize * std::pow(ratio, unit(random)))));
    if (spread.count >= 2) {
        out[0] = spread.minSize;
        out[1] = spread.maxSize;
        // Fisher-Yates with the raw generator, again for the same order everywhere.
        for (qsizetype i = out.size() - 1; i > 0; --i)
            std::swap(out[i], out[qsizetype(random() % quint32(i + 1))]);
    }
    return out;
}

QByteArray randomBytes(std::mt19937& random, int size)
{
    QByteArray out(size, Qt::Uninitialized);
    for (char& c : out)
        c = char(random() & 0xff);
    return out;
}

} // namespace

QList<Mail> build(const Spread& spread)
{
    std::mt19937 random(spread.seed);
    const QList<int> targets = sizes(spread, random);

    const QList<QByteArray> senders{
        "Anna Absender <anna@example.org>",     "\"Meier, Jürgen\" <juergen.meier@example.com>",
        "newsletter@shop.example.net",          "Support-Team <support@example.de>",
        "Lena Schmitt <lena@mail.example.org>",
    };
    const QList<QString> encodedNames{QStringLiteral("Jürgen Größer"), QStringLiteral("Zoë Åström"),
                                      QStringLiteral("Björn Müller")};
    const QList<QString> subjects{
        QStringLiteral("Rechnung Nr. %1"),
        QStringLiteral("Re: Termin am Donnerstag (%1)"),
        QStringLiteral("Fotos vom Ausflug %1"),
        QStringLiteral("Ihre Bestellung %1 wurde versandt"),
        QStringLiteral("Protokoll der Sitzung %1"),
        QStringLiteral("Grüße aus München, Teil %1"),
        QStringLiteral("Änderung der Öffnungszeiten %1"),
    };
    const QList<QByteArray> mailers{"Tarvolk-Bench/1.0", "Thunderbird 115.6.0",
                                    "Microsoft Outlook 16.0", "Roundcube Webmail/1.6.5"};
    const QList<QByteArray> bodies{
        "Hallo,\n\nanbei die Unterlagen, um die Sie gebeten hatten.\nBitte pruefen Sie die "
        "Angaben bis Freitag.\n\nMit freundlichen Gruessen\nAnna\n",
        "Hi,\n\nthe meeting moves to room 4.\n.\n..two dots at the start of this line\n"
        "Regards.\n\n-- \nsent from my phone\n",
        "Liebe Grüße aus dem Urlaub!\nDas Wetter ist schön, das Essen großartig.\n\nBis bald,\n"
        "Jürgen\n",
        "Sehr geehrte Damen und Herren,\n\nIhre Bestellung ist unterwegs.\nSendungsnummer: "
        "00340434161094042557\n\nRegards.\nIhr Shop\n",
    };

    QList<Mail> mailbox;
    for (int i = 0; i < spread.count; ++i) {
        const int number = i + 1;
        TestMail::Message message;
        Mail mail;
        mail.messageId = "bench-" + QByteArray::number(number).rightJustified(4, '0') + '.' +
                         QByteArray::number(random(), 16) + "@mail.example.org";

        const quint32 kind = random() % 8;
        message.from = kind == 0 ? encoded(random, pick(random, encodedNames)) + " <person" +
                                       QByteArray::number(number) + "@example.org>"
                                 : pick(random, senders);
        message.to = kind == 1 ? QByteArray() : "Bert Empfaenger <bert@example.org>";
        const QString subject = pick(random, subjects).arg(1000 + number);
        message.subject =
            random() % 3 == 0 ? encoded(random, subject) : TestMail::fold(subject.toUtf8(), 30);
        // One message an hour, back from a fixed day.
        message.date = "Mon, 15 Jan 2024 " +
                       QByteArray::number(number % 24).rightJustified(2, '0') + ":" +
                       QByteArray::number(random() % 60).rightJustified(2, '0') + ":00 +0100";
        message.extraHeaders = {
            {"Message-ID", '<' + mail.messageId + '>'},
            {"Received", "from relay" + QByteArray::number(random() % 9) +
                             ".example.net (relay.example.net [192.0.2." +
                             QByteArray::number(random() % 250 + 1) +
                             "])\r\n\tby mail.example.org (Postfix) with ESMTPS id 4T" +
                             QByteArray::number(random(), 36).toUpper() +
                             "\r\n\tfor <bert@example.org>; Mon, 15 Jan 2024 10:30:00 +0100"},
            {"X-Mailer", pick(random, mailers)},
        };
        if (random() % 3 == 0)
            message.extraHeaders.emplaceBack("Reply-To", "antwort@example.org");

        QByteArray body = pick(random, bodies);
        if (random() % 2 == 0) {
            message.charset = "ISO-8859-1";
            body = QString::fromUtf8(body).toLatin1();
        }
        message.body = body;

        // Larger messages are often a short text with an attachment.
        const int target = targets.at(i);
        if (target >= 8 * 1024 && random() % 3 == 0) {
            // Base64 grows the content by a third, its line ends by a little more.
            const int raw = int(target * 0.7 * 3 / 4);
            message.attachments.append({"anhang-" + QByteArray::number(number) + ".pdf",
                                        "application/pdf", randomBytes(random, raw)});
        }
        message.targetSize = target;
        mail.bytes = TestMail::build(message);
        mailbox.append(mail);
    }
    return mailbox;
}

} // namespace BenchMailbox
