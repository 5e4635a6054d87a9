// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "watch/checkscheduler.h"

#include <algorithm>

namespace {

// How long a check waits for the window to be done with its mailbox.
constexpr int WindowWaitSeconds = 30;
constexpr int MostBackoffMinutes = 60;
std::chrono::milliseconds secondLength{1000};

} // namespace

CheckScheduler::CheckScheduler(SeenState& seen, BackgroundSecrets& secrets, QObject* parent)
    : QObject(parent), m_seen(seen), m_secrets(secrets)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CheckScheduler::runDue);
}

void CheckScheduler::setAccounts(const QList<std::pair<int, Account>>& accounts)
{
    m_watches.clear();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const auto& [slot, account] : accounts) {
        Watch watch;
        watch.slot = slot;
        watch.account = account;
        if (account.checkIntervalMinutes > 0)
            watch.due = now;
        m_watches.append(watch);
    }
    planNext();
    emit changed();
}

bool CheckScheduler::watchesAny() const
{
    return std::any_of(m_watches.begin(), m_watches.end(),
                       [](const Watch& watch) { return watch.account.checkIntervalMinutes > 0; });
}

void CheckScheduler::checkAll()
{
    for (Watch& watch : m_watches) {
        if (!watch.account.server.host.isEmpty())
            check(watch);
    }
    planNext();
}

void CheckScheduler::setWindowMailbox(const QString& mailboxKey)
{
    m_windowMailbox = mailboxKey;
    if (!mailboxKey.isEmpty() && mailboxKey == m_checking)
        m_check.transport().cancel();
    if (mailboxKey.isEmpty())
        planNext();
}

void CheckScheduler::markListed(const QString& mailboxKey, const QSet<QByteArray>& ids,
                                qint32 count)
{
    m_seen.markListed(mailboxKey, ids, count);
    emit changed();
}

void CheckScheduler::runDue()
{
    // A check runs its conversation inside this call; the window may start one of its own
    // meanwhile, which then runs first.
    if (!m_checking.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (Watch& watch : m_watches) {
        if (watch.due.isValid() && watch.due <= now)
            check(watch);
    }
    planNext();
}

void CheckScheduler::check(Watch& watch)
{
    const QString key = watch.account.identity().key();
    if (!m_windowMailbox.isEmpty() || !m_checking.isEmpty()) {
        watch.due = inSeconds(WindowWaitSeconds);
        return;
    }
    const BackgroundSecrets::Found found = m_secrets.find(watch.account);
    if (!found.problem.isEmpty()) {
        failed(watch, found.problem, 0);
        return;
    }
    const SeenState::Seen seen = m_seen.of(key);
    m_checking = key;
    CheckResult result = m_check.run(found.account, found.token, seen.ids, seen.count);
    if (result.passwordRefused && found.token.mayBeRevoked) {
        const BackgroundSecrets::Found fresh = m_secrets.find(watch.account, found.token.token);
        if (fresh.problem.isEmpty())
            result = m_check.run(fresh.account, fresh.token, seen.ids, seen.count);
    }
    m_checking.clear();
    if (result.done)
        succeeded(watch, result);
    else
        failed(watch, result.problem, result.waitSeconds);
}

void CheckScheduler::succeeded(Watch& watch, const CheckResult& result)
{
    QSet<QByteArray> freshIds;
    for (const CheckedMessage& message : result.fresh)
        freshIds.insert(message.uid);
    m_seen.markTold(watch.account.identity().key(), result.ids, result.count,
                    result.ids.isEmpty() ? QSet<QByteArray>() : freshIds,
                    result.ids.isEmpty() ? qint32(result.fresh.size()) : 0);
    watch.failures = 0;
    watch.checked = true;
    watch.problem.clear();
    watch.total = result.count;
    watch.due = watch.account.checkIntervalMinutes > 0
                    ? inSeconds(60LL * watch.account.checkIntervalMinutes)
                    : QDateTime();
    if (!result.fresh.isEmpty())
        emit newMail(watch.slot, watch.account.title, result.fresh);
    emit changed();
}

void CheckScheduler::failed(Watch& watch, const QString& problem, int waitSeconds)
{
    ++watch.failures;
    watch.checked = true;
    watch.problem = problem;
    const int backoffMinutes = qMin(MostBackoffMinutes, 1 << qMin(watch.failures - 1, 6));
    watch.due = watch.account.checkIntervalMinutes > 0
                    ? inSeconds(qMax<qint64>(60LL * backoffMinutes, waitSeconds))
                    : QDateTime();
    emit changed();
}

void CheckScheduler::planNext()
{
    QDateTime next;
    for (const Watch& watch : std::as_const(m_watches)) {
        if (watch.due.isValid() && (!next.isValid() || watch.due < next))
            next = watch.due;
    }
    if (!next.isValid()) {
        m_timer.stop();
        return;
    }
    const qint64 ms = qMax<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(next));
    m_timer.start(int(qMin<qint64>(ms, 24LL * 60 * 60 * 1000)));
}

void CheckScheduler::setSecondLength(std::chrono::milliseconds length)
{
    secondLength = length;
}

QDateTime CheckScheduler::inSeconds(qint64 seconds)
{
    return QDateTime::currentDateTimeUtc().addMSecs(seconds * secondLength.count());
}

QList<CheckScheduler::Status> CheckScheduler::statuses() const
{
    QList<Status> list;
    for (const Watch& watch : m_watches) {
        const SeenState::Seen seen = m_seen.of(watch.account.identity().key());
        list.append({watch.slot, watch.account.title, watch.account.checkIntervalMinutes > 0,
                     watch.checked, seen.newCount(), watch.total, watch.problem});
    }
    return list;
}

int CheckScheduler::newTotal() const
{
    int total = 0;
    for (const Status& status : statuses())
        total += status.newCount;
    return total;
}
