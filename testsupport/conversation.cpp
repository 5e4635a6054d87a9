// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/conversation.h"

namespace pop3test {

QByteArray multiLineAnswer(const QByteArray& body, const QByteArray& status)
{
    QByteArray stuffed;
    for (const QByteArray& line : body.split('\n')) {
        if (line.startsWith('.'))
            stuffed += '.';
        stuffed += line + '\n';
    }
    stuffed.chop(1);
    return status + "\r\n" + stuffed + ".\r\n";
}

namespace {

qint64 sizeOf(const ServedMail& mail)
{
    return mail.size < 0 ? mail.text.size() : mail.size;
}

} // namespace

QByteArray statAnswer(const QList<ServedMail>& mails)
{
    qint64 total = 0;
    for (const ServedMail& mail : mails)
        total += sizeOf(mail);
    return "+OK " + QByteArray::number(mails.size()) + ' ' + QByteArray::number(total) + "\r\n";
}

QByteArray listAnswer(const QList<ServedMail>& mails)
{
    QByteArray body;
    for (int i = 0; i < mails.size(); ++i)
        body += QByteArray::number(i + 1) + ' ' + QByteArray::number(sizeOf(mails[i])) + "\r\n";
    return multiLineAnswer(body);
}

QByteArray uidlAnswer(const QList<ServedMail>& mails)
{
    QByteArray body;
    for (int i = 0; i < mails.size(); ++i)
        body += QByteArray::number(i + 1) + ' ' + mails[i].uid + "\r\n";
    return multiLineAnswer(body);
}

namespace {

QByteArray uidsOf(const QList<ServedMail>& mails, Ids ids)
{
    if (ids == Ids::Refused)
        return "-ERR unknown command\r\n";
    QList<ServedMail> named = mails;
    for (ServedMail& mail : named)
        mail.uid = ids == Ids::Alike ? "x" : mail.uid;
    return uidlAnswer(named);
}

} // namespace

Scenario listing(const QList<ServedMail>& mails, Ids ids, const QByteArray& capa, bool early)
{
    const QByteArray announced = capa.isEmpty() ? QByteArray("S: -ERR unknown command\n") : capa;
    if (early || capa.contains("PIPELINING")) {
        const QByteArray logIn = "C: user joe\nC: pass secret\nC: stat\nC: list\nC: uidl\n";
        return {transcript("S: +OK ready\nC: capa\n" +
                           (early ? logIn + announced : announced + logIn) +
                           "S: +OK\nS: +OK logged in"),
                Step::send(statAnswer(mails) + listAnswer(mails) + uidsOf(mails, ids))};
    }
    return {transcript("S: +OK ready\nC: capa\n" + announced +
                       "C: user joe\nS: +OK\nC: pass secret\nS: +OK logged in\nC: capa\n" +
                       announced + "C: stat"),
            Step::send(statAnswer(mails)),
            Step::expect("list"),
            Step::send(listAnswer(mails)),
            Step::expect("uidl"),
            Step::send(uidsOf(mails, ids))};
}

Scenario previews(const QList<ServedMail>& mails, int lineCount, int skipped)
{
    Scenario scenario;
    for (int i = skipped; i < mails.size(); ++i) {
        scenario << Step::expect("top " + QByteArray::number(i + 1) + ' ' +
                                 QByteArray::number(lineCount))
                 << Step::send(multiLineAnswer(mails[i].text));
    }
    return scenario;
}

Scenario fetchAfterLogin(const QList<ServedMail>& mails, int lineCount)
{
    Scenario scenario{Step::expect("stat"), Step::send(statAnswer(mails))};
    if (mails.isEmpty())
        return scenario << Step::quitOk();
    return scenario << Step::expect("list") << Step::send(listAnswer(mails)) << Step::expect("uidl")
                    << Step::send(uidlAnswer(mails)) << previews(mails, lineCount)
                    << Step::quitOk();
}

Scenario fetchConversation(const QList<ServedMail>& mails, int lineCount, const QByteArray& user,
                           const QByteArray& password)
{
    return {Step::loginOk(user, password), fetchAfterLogin(mails, lineCount)};
}

} // namespace pop3test
