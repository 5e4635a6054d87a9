#pragma once

#include "settings/inidocument.h"

#include <QList>
#include <QString>
#include <array>

struct AccountSlot {
    QString Title;
    QString Host;
    QString Account;
    QString Password;
    QString Security;    // "tls", "starttls", "none", or empty for the port's usual choice
    QString Fingerprint; // SHA-256 of a server certificate the user trusts, in hex
    QString Auth;        // "auto" (or empty), "user", "plain" or "oauth2": how to log in
    // For Auth "oauth2": "microsoft", "google" or "custom", the app the user registered there
    // (Google gives desktop apps a secret that is no secret and wants it back), and for "custom"
    // the provider's endpoints and scope.
    QString OAuthProvider;
    QString ClientId;
    QString ClientSecret;
    QString AuthUrl;
    QString TokenUrl;
    QString Scope;
    // Whether the file has the Password key at all: an empty value is an empty password, while
    // an account without the key takes its password from the keyring or the user.
    bool PasswordGiven = false;
    // Why the slot cannot be used as the file has it (a value with a line break or a null
    // character, a password longer than a value may be), naming the key; empty when it can.
    // Nothing is sent for such a slot.
    QString problem;
    // Not from the file: the OAuth2 access token a conversation logs in with, and whether a
    // refusal of it is left unreported because the caller will try once more with a fresh one.
    QString AccessToken;
    bool TokenRetryAhead = false;
};

// Whether text holds CR, LF or NUL: sent in a command line, it would end or cut the line and let
// the rest pass for a command of its own.
bool breaksCommandLine(QStringView text);

// One entry of the account box: the title shown and the slot it selects, so that a settings
// file with gaps between titled slots still selects the slot whose title the user sees.
struct TitledSlot {
    QString title;
    int slot = 0;
};

// The ten configured accounts of TARVOLK.INI, the preview line count and the current account.
class AccountSlots {
public:
    static constexpr int SlotCount = 10;

    // Reads "LineCount", "ConfirmDelete" and the ten slots from section "Setup" of the settings
    // file. Returns the titled slots in slot order, as the account box lists them.
    QList<TitledSlot> load(const IniDocument& settings);

    // Makes slot MailNo (0 to 10) the current account; slot 0 empties it. Any other number is
    // refused: nothing changes and false is returned.
    bool SetIdentity(int MailNo);

    // The current account as a whole, for a conversation to take once when it starts.
    AccountSlot current() const { return Accounts[m_current]; }

    std::array<AccountSlot, SlotCount + 1> Accounts;
    qint16 LineCount = 0;
    // Whether the window asks before it deletes: only ConfirmDelete=0 turns the question off.
    bool ConfirmDelete = true;
    QString CurHost;
    QString CurAccount;
    QString CurPassword;

private:
    int m_current = 0;
};
