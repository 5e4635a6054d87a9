#include "settings/accountslots.h"

#include "settings/numbervalue.h"
#include "settings/tarvolkx.h"

QList<TitledSlot> AccountSlots::load(const IniDocument& settings)
{
    const auto readSetup = [&settings](const QString& key, int slot = 0) {
        return TarvolkX::ReadIniValue(settings, QStringLiteral("Setup"),
                                      slot == 0 ? key : key + QString::number(slot));
    };
    LineCount = roundHalfEven<qint16>(numberValue(readSetup(QStringLiteral("LineCount"))));
    ConfirmDelete = readSetup(QStringLiteral("ConfirmDelete")) != u"0";
    QList<TitledSlot> titled;
    for (int n = 1; n <= SlotCount; ++n) {
        AccountSlot& slot = Accounts[n];
        slot.Title = readSetup(QStringLiteral("Title"), n);
        slot.Host = readSetup(QStringLiteral("Host"), n);
        slot.Account = readSetup(QStringLiteral("Account"), n);
        slot.Password = readSetup(QStringLiteral("Password"), n);
        slot.PasswordGiven =
            settings.value(QStringLiteral("Setup"), QStringLiteral("Password%1").arg(n))
                .has_value();
        slot.Security = readSetup(QStringLiteral("Security"), n);
        slot.Fingerprint = readSetup(QStringLiteral("Fingerprint"), n);
        slot.Auth = readSetup(QStringLiteral("Auth"), n);
        slot.OAuthProvider = readSetup(QStringLiteral("OAuthProvider"), n);
        slot.ClientId = readSetup(QStringLiteral("ClientId"), n);
        slot.ClientSecret = readSetup(QStringLiteral("ClientSecret"), n);
        slot.AuthUrl = readSetup(QStringLiteral("AuthUrl"), n);
        slot.TokenUrl = readSetup(QStringLiteral("TokenUrl"), n);
        slot.Scope = readSetup(QStringLiteral("Scope"), n);
        if (!slot.Title.isEmpty())
            titled.append({slot.Title, n});
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
