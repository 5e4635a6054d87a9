#include "pop3server/conversation.h"

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

Scenario fetchAfterLogin(const QList<ServedMail>& mails, int lineCount)
{
    qsizetype total = 0;
    QByteArray ids;
    for (int i = 0; i < mails.size(); ++i) {
        total += mails[i].text.size();
        ids += QByteArray::number(i + 1) + ' ' + mails[i].uid + "\r\n";
    }
    Scenario scenario{Step::expect("stat"), Step::send("+OK " + QByteArray::number(mails.size()) +
                                                       ' ' + QByteArray::number(total) + "\r\n")};
    if (mails.isEmpty())
        return scenario << Step::quitOk();
    scenario << Step::expect("uidl") << Step::send(multiLineAnswer(ids));
    for (int i = 0; i < mails.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        scenario << Step::expect("list " + n)
                 << Step::send("+OK " + n + ' ' + QByteArray::number(mails[i].text.size()) +
                               "\r\n")
                 << Step::expect("top " + n + ' ' + QByteArray::number(lineCount))
                 << Step::send(multiLineAnswer(mails[i].text));
    }
    return scenario << Step::quitOk();
}

Scenario fetchConversation(const QList<ServedMail>& mails, int lineCount, const QByteArray& user,
                           const QByteArray& password)
{
    return {Step::loginOk(user, password), fetchAfterLogin(mails, lineCount)};
}

} // namespace pop3test
