#include "settings/accountslots.h"

#include "text/numbervalue.h"
#include "settings/tarvolkx.h"

#include <QCoreApplication>

namespace {

// The keys of a slot whose values go to the server or the sign-in; the title is only shown.
constexpr const char* UsedKeys[] = {"Host",         "Account", "Password",      "Security",
                                    "Fingerprint",  "Auth",    "OAuthProvider", "ClientId",
                                    "ClientSecret", "AuthUrl", "TokenUrl",      "Scope"};

QString valueProblem(const IniDocument& settings, int slot)
{
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("AccountSlots", text);
    };
    for (const char* used : UsedKeys) {
        const QString key = QLatin1String(used) + QString::number(slot);
        const QString value = settings.value(QStringLiteral("Setup"), key).value_or(QString());
        if (breaksCommandLine(value))
            return tr("Der Wert von %1 enthält einen Zeilenumbruch oder ein Nullzeichen; es wurde "
                      "nichts gesendet.")
                .arg(key);
        // A password cut where values are cut would only be refused as a wrong one.
        if (qstrcmp(used, "Password") == 0 && value.size() > TarvolkX::MaxValueLength)
            return tr("Der Wert von %1 ist länger als %2 Zeichen; es wurde nichts gesendet.")
                .arg(key)
                .arg(TarvolkX::MaxValueLength);
    }
    return QString();
}

} // namespace

bool breaksCommandLine(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(u'\0'));
}

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
        slot.problem = valueProblem(settings, n);
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
