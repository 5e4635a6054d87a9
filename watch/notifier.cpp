// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "watch/notifier.h"

#include "text/boundedtext.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString ShowAction = QStringLiteral("default");
constexpr int ListedMessages = 5;
constexpr qsizetype PartLimit = 80;

QString escaped(const QString& text, bool markup)
{
    return markup ? text.toHtmlEscaped() : text;
}

} // namespace

Notifier::Notifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus)
{
    m_bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetCapabilities"));
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<QStringList> reply = *done;
        m_markup = reply.isValid() && reply.value().contains(QStringLiteral("body-markup"));
        done->deleteLater();
    });
}

bool Notifier::isAvailable() const
{
    return m_bus.isConnected() && m_bus.interface() &&
           m_bus.interface()->isServiceRegistered(Service).value();
}

QString Notifier::summaryOf(const QString& title, int count)
{
    const QString account = plaintext::line(title, PartLimit);
    return count == 1 ? tr("1 neue Nachricht – %1").arg(account)
                      : tr("%1 neue Nachrichten – %2").arg(count).arg(account);
}

QString Notifier::bodyOf(const QList<CheckedMessage>& fresh, bool markup)
{
    QStringList lines;
    for (const CheckedMessage& message : fresh.first(qMin(fresh.size(), ListedMessages))) {
        lines.append(escaped(plaintext::line(message.sender, PartLimit) + QStringLiteral(" – ") +
                                 plaintext::line(message.subject, PartLimit),
                             markup));
    }
    if (fresh.size() > ListedMessages)
        lines.append(tr("und %1 weitere").arg(fresh.size() - ListedMessages));
    return lines.join(u'\n');
}

void Notifier::tellNewMail(int slot, const QString& title, const QList<CheckedMessage>& fresh)
{
    QDBusMessage notify =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
                            {QStringLiteral("category"), QStringLiteral("email.arrived")}};
    notify << QCoreApplication::applicationName() << m_shown.value(slot, 0u)
           << QGuiApplication::desktopFileName() << summaryOf(title, int(fresh.size()))
           << bodyOf(fresh, m_markup) << QStringList{ShowAction, tr("Anzeigen")} << hints
           << qint32(-1);
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, slot](QDBusPendingCallWatcher* done) { sent(slot, done); });
}

void Notifier::sent(int slot, QDBusPendingCallWatcher* call)
{
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isValid())
        m_shown.insert(slot, reply.value());
    call->deleteLater();
}

void Notifier::onActionInvoked(uint id, const QString& action)
{
    const int slot = m_shown.key(id, 0);
    if (slot != 0 && action == ShowAction)
        emit showRequested(slot);
}
