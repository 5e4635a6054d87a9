// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/accountslots.h"

#include "settings/settingskeys.h"
#include "settings/tarvolkx.h"
#include "text/numbervalue.h"

#include <QCoreApplication>
#include <utility>

namespace {

// Where each value of a slot goes; all but the title go to the server or the sign-in.
const std::pair<const SettingsKeys::Key*, QString AccountSlot::*> SlotValues[] = {
    {&SettingsKeys::Host, &AccountSlot::Host},
    {&SettingsKeys::Account, &AccountSlot::Account},
    {&SettingsKeys::Password, &AccountSlot::Password},
    {&SettingsKeys::Security, &AccountSlot::Security},
    {&SettingsKeys::Fingerprint, &AccountSlot::Fingerprint},
    {&SettingsKeys::Auth, &AccountSlot::Auth},
    {&SettingsKeys::OAuthProvider, &AccountSlot::OAuthProvider},
    {&SettingsKeys::ClientId, &AccountSlot::ClientId},
    {&SettingsKeys::ClientSecret, &AccountSlot::ClientSecret},
    {&SettingsKeys::AuthUrl, &AccountSlot::AuthUrl},
    {&SettingsKeys::TokenUrl, &AccountSlot::TokenUrl},
    {&SettingsKeys::Scope, &AccountSlot::Scope},
    {&SettingsKeys::CheckInterval, &AccountSlot::CheckInterval},
    {&SettingsKeys::Cache, &AccountSlot::Cache},
};

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(AccountSlots)
};

QString valueProblem(const IniDocument& settings, const QString& key, bool isPassword)
{
    const QString value = settings.value(SettingsKeys::Section, key).value_or(QString());
    if (breaksCommandLine(value))
        return Texts::tr(
                   "Der Wert von %1 enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde "
                   "nichts gesendet.")
            .arg(key);
    // A password cut where values are cut would only be refused as a wrong one.
    if (isPassword && value.size() > TarvolkX::MaxValueLength)
        return Texts::tr("Der Wert von %1 ist länger als %2 Zeichen; es wurde nichts gesendet.")
            .arg(key)
            .arg(TarvolkX::MaxValueLength);
    return QString();
}

QString read(const IniDocument& settings, const SettingsKeys::Key& key, int slot = 0)
{
    return TarvolkX::ReadIniValue(settings, SettingsKeys::Section,
                                  slot == 0 ? QString(key.name) : key.name + QString::number(slot),
                                  key.fallback);
}

AccountSlot readSlot(const IniDocument& settings, int n)
{
    AccountSlot slot;
    slot.Title = read(settings, SettingsKeys::Title, n);
    // Only compared with what messages say, never sent: no value of it can harm a command line.
    slot.AuthServId = read(settings, SettingsKeys::AuthServId, n);
    for (const auto& [key, field] : SlotValues) {
        slot.*field = read(settings, *key, n);
        const QString name = key->name + QString::number(n);
        if (slot.problem.isEmpty())
            slot.problem = valueProblem(settings, name, key == &SettingsKeys::Password);
    }
    slot.PasswordGiven =
        settings.value(SettingsKeys::Section, SettingsKeys::Password.name + QString::number(n))
            .has_value();
    return slot;
}

} // namespace

bool breaksCommandLine(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(u'\0'));
}

QList<TitledSlot> AccountSlots::load(const IniDocument& settings)
{
    LineCount = roundHalfEven<qint16>(numberValue(read(settings, SettingsKeys::LineCount)));
    ConfirmDelete = read(settings, SettingsKeys::ConfirmDelete) != u"0";
    QList<TitledSlot> titled;
    for (int n = 1; n <= SlotCount; ++n) {
        Accounts[n] = readSlot(settings, n);
        m_values[n] = accountFrom(Accounts[n]);
        if (!Accounts[n].Title.isEmpty())
            titled.append({Accounts[n].Title, n});
    }
    return titled;
}

bool AccountSlots::SetIdentity(int MailNo)
{
    if (MailNo < 0 || MailNo > SlotCount)
        return false;
    CurHost = Accounts[MailNo].Host;
    CurAccount = Accounts[MailNo].Account;
    CurPassword = Accounts[MailNo].Password;
    m_current = MailNo;
    return true;
}
