// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/accountslots.h"

#include <QObject>
#include <functional>

class QComboBox;

// The account box: one entry per titled slot, each carrying its slot number, so that a settings
// file with gaps between titles still selects the slot whose title is shown. Choosing an entry
// makes its slot the current account.
class AccountBox : public QObject {
    Q_OBJECT
public:
    AccountBox(QComboBox* box, AccountSlots& accounts);

    // Lists the titled slots and makes the first one current; none gives slot 0, the empty
    // account.
    void fill(const QList<TitledSlot>& titled);
    // Shows each slot's title as titleOf gives it.
    void showTitles(const std::function<QString(int slot)>& titleOf);
    // Makes the slot's entry current; false when the slot has none.
    bool choose(int slot);

private:
    void chosen();
    // A title longer than the box would otherwise show only its end.
    void showTitleFromItsStart();

    QComboBox* m_box;
    AccountSlots& m_accounts;
};
