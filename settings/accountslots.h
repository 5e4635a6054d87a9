// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/account.h"
#include "settings/accountslot.h"
#include "settings/inidocument.h"

#include <QList>
#include <QString>
#include <array>

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

    // Every slot empty, and so every account unusable, until load().
    AccountSlots() { m_values.fill(accountFrom(AccountSlot())); }

    // Reads "LineCount", "ConfirmDelete" and the ten slots from section "Setup" of the settings
    // file. Returns the titled slots in slot order, as the account box lists them.
    QList<TitledSlot> load(const IniDocument& settings);

    // Makes slot MailNo (0 to 10) the current account; slot 0 empties it. Any other number is
    // refused: nothing changes and false is returned.
    bool SetIdentity(int MailNo);

    // The current account, read once at load, for a conversation to take when it starts.
    const Account& current() const { return m_values[m_current]; }
    // The account of slot n (1 to 10), read once at load.
    const Account& account(int n) const { return m_values[qBound(0, n, SlotCount)]; }

    std::array<AccountSlot, SlotCount + 1> Accounts;
    qint16 LineCount = 0;
    // Whether the window asks before it deletes: only ConfirmDelete=0 turns the question off.
    bool ConfirmDelete = true;
    QString CurHost;
    QString CurAccount;
    QString CurPassword;

private:
    std::array<Account, SlotCount + 1> m_values;
    int m_current = 0;
};
