// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxcheck.h"

#include "mailbox/commandpipeline.h"
#include "mailbox/connection.h"
#include "mailbox/listing.h"
#include "mailbox/login.h"
#include "mailbox/pop3session.h"
#include "mailbox/topanswer.h"
#include "text/mailinfo.h"

#include <QCoreApplication>
#include <QScopeGuard>

namespace {

// A server that says it is busy without saying how long gets asked again after this.
constexpr int BusyWaitSeconds = 5 * 60;

QList<int> unseen(const FetchedMailbox& listed, const QSet<QByteArray>& seenIds, qint32 seenCount)
{
    QList<int> positions;
    for (int k = 0; k < listed.messages.size(); ++k) {
        const FetchedMessage& message = listed.messages[k];
        const bool seen =
            listed.hasUsableIds() ? seenIds.contains(message.uid) : message.number <= seenCount;
        if (!seen)
            positions.append(k);
    }
    return positions;
}

bool readHeaders(Pop3Session& session, CommandPipeline& pipeline, FetchedMailbox& listed,
                 const QList<int>& positions, QList<CheckedMessage>& fresh)
{
    for (int k : positions)
        pipeline.send("top " + QByteArray::number(listed.messages[k].number) + " 0");
    MultiLineOptions options;
    options.storeLimit = 64000;
    for (int k : positions) {
        MultiLineReply top;
        if (!readTopAnswer(session, listed.messages[k], options, top))
            return false;
        pipeline.answered();
        const MailInfo info = readMailInfo(previewText(top.body));
        fresh.append({listed.messages[k].uid, info.values[0], info.values[2]});
    }
    return true;
}

void noteFailure(Pop3Session& session, CheckResult& result)
{
    const std::optional<Notice> notice = session.end();
    result.problem = notice ? (notice->detail.isEmpty() ? notice->text : notice->detail)
                            : QCoreApplication::translate("MailboxCheck", "Abgebrochen");
    const ResponseCode code = session.refusalCode();
    if (code == ResponseCode::LoginDelay) {
        const int delay = loginDelaySeconds(session.capabilities().arguments("LOGIN-DELAY"));
        result.waitSeconds = delay > 0 ? delay : BusyWaitSeconds;
    } else if (code == ResponseCode::InUse) {
        result.waitSeconds = BusyWaitSeconds;
    }
}

} // namespace

MailboxCheck::MailboxCheck(std::unique_ptr<Transport> transport)
    : m_transport(transport ? std::move(transport) : std::make_unique<Connection>())
{
}

MailboxCheck::~MailboxCheck() = default;

void MailboxCheck::abort()
{
    m_transport->abort();
}

CheckResult MailboxCheck::run(const Account& account, const AccessToken& token,
                              const QSet<QByteArray>& seenIds, qint32 seenCount)
{
    CheckResult result;
    const QString problem = unusableBecause(account);
    if (!problem.isEmpty() || m_running || m_transport->isAborted()) {
        result.problem = problem;
        return result;
    }
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });
    Pop3Session session(*m_transport, {});
    LogIn logIn(session, {account, token, m_announced, {"stat", "list", "uidl"}});
    const bool loggedIn = logIn.run();
    if (logIn.announced())
        m_announced = *logIn.announced();
    result.passwordRefused = logIn.passwordRefused();
    CommandPipeline pipeline(*m_transport, session.pipelineDepth(), logIn.sentAhead());
    MailboxListing listing;
    QByteArray quitAnswer;
    if (!loggedIn || !listMailbox(session, pipeline, listing) ||
        !readHeaders(session, pipeline, listing.messages,
                     unseen(listing.messages, seenIds, seenCount), result.fresh) ||
        !session.quit(quitAnswer)) {
        result.fresh.clear();
        noteFailure(session, result);
        return result;
    }
    result.done = true;
    result.count = qMax(listing.count, 0);
    for (const FetchedMessage& message : std::as_const(listing.messages.messages))
        result.ids.insert(message.uid);
    if (!listing.messages.hasUsableIds())
        result.ids.clear();
    return result;
}
