// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxclient.h"
#include "settings/accountslots.h"
#include "window/accountbox.h"
#include "window/conversationview.h"
#include "window/formcontrols.h"
#include "window/listjudging.h"
#include "window/loginpassword.h"
#include "window/mailwatch.h"
#include "window/messagelistview.h"
#include "window/messagetexts.h"
#include "window/windowlayout.h"
#include "window/windowmemory.h"

#include <QCoreApplication>
#include <QWidget>

// The program's one window: the account choice, the message list and the preview of one message.
// The controls (FormControls) are public so that the tests can reach them by name; the
// conversations with the server live in MailboxClient and reach the window through
// ConversationView.
class frmTarvolk : public QWidget, public FormControls {
    Q_OBJECT

public:
    // programFolder is where TARVOLK.INI is looked for first; tests pass a folder of their own.
    // configFile, when not empty, is the only settings file read (--config).
    explicit frmTarvolk(const QString& programFolder = QCoreApplication::applicationDirPath(),
                        const QString& configFile = QString(), QWidget* parent = nullptr);

    // Makes slot MailNo (0 to 10) the current account; any other number changes nothing.
    bool SetIdentity(int MailNo);
    const AccountSlots& accountSlots() const { return m_accounts; }

    // Fills the header summary and the attachment sign from a stored message text.
    void SetMailInfo(const QString& MailText);

    MailboxClient& mailbox() { return *m_mailbox; }
    // Accounts are watched and a tray shows Tarvolk: closing the window only hides it.
    bool watchesFromTray() const { return m_watch && m_watch->keepsRunning(); }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    // Watches the accounts that have a CheckInterval: checks, notifications, tray.
    void startWatching(const QList<TitledSlot>& titled);
    void showTitlesWithCounts();
    // Shows the window on the account's slot and fetches it.
    void showAccount(int slot);
    void quit();
    // "Über Tarvolk", on F1, from the "Tarvolk POP3" label and from the tray.
    void showAbout();

    void Form_Load(const QString& programFolder, const QString& configFile);
    void Form_Activate();
    void Command1_Click(int Index);
    // Runs the conversation with the account as a press does: with its password or token, and
    // with the background checks kept off its mailbox meanwhile.
    void converse(const Account& account,
                  const std::function<void(const Account&, const AccessToken&)>& talk);
    // Asks the server of the listed account for the whole message of the row.
    void fetchWholeMessage(int row);

    void setStatus(const QString& text) { m_shown->setStatus(text); }

    AccountSlots m_accounts;
    WindowLayout m_layout{*this};
    WindowMemory m_memory;
    LoginPassword m_password{[this](const QString& text) {
        setStatus(text);
    }};
    bool m_activated = false;
    std::unique_ptr<MailWatch> m_watch;
    bool m_quitting = false;
    std::unique_ptr<MessageTexts> m_texts;
    std::unique_ptr<ListJudging> m_judging;
    std::unique_ptr<ConversationView> m_shown;
    // Declared after the view it shows its conversations in.
    std::unique_ptr<MailboxClient> m_mailbox;
    std::unique_ptr<AccountBox> m_accountBox;
    // The settings file read at start-up, or the one looked for.
    QString m_settingsPath;
    bool m_settingsRead = false;
};
