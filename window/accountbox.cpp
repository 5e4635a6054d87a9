// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/accountbox.h"

#include "window/plaintext.h"

#include <QComboBox>
#include <QLineEdit>

AccountBox::AccountBox(QComboBox* box, AccountSlots& accounts) : m_box(box), m_accounts(accounts)
{
    connect(m_box, &QComboBox::activated, this, &AccountBox::chosen);
}

void AccountBox::fill(const QList<TitledSlot>& titled)
{
    m_box->clear();
    for (const TitledSlot& entry : titled)
        m_box->addItem(plaintext::line(entry.title), entry.slot);
    m_box->setCurrentIndex(0);
    chosen();
}

void AccountBox::showTitles(const std::function<QString(int slot)>& titleOf)
{
    for (int index = 0; index < m_box->count(); ++index)
        m_box->setItemText(index, plaintext::line(titleOf(m_box->itemData(index).toInt())));
    showTitleFromItsStart();
}

bool AccountBox::choose(int slot)
{
    const int index = m_box->findData(slot);
    if (index < 0)
        return false;
    m_box->setCurrentIndex(index);
    chosen();
    return true;
}

void AccountBox::chosen()
{
    m_accounts.SetIdentity(m_box->currentData().toInt());
    showTitleFromItsStart();
}

void AccountBox::showTitleFromItsStart()
{
    if (m_box->lineEdit())
        m_box->lineEdit()->setCursorPosition(0);
}
