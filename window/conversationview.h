// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/mailboxview.h"
#include "window/displaythrottle.h"
#include "window/listplace.h"

#include <QPointer>
#include <QString>

struct FormControls;
class ListJudging;
class MessageTexts;
class QWidget;

// What the conversations with the server show in the window: the status line, the summary, the
// list as a listing fills it, the previews as they arrive, the progress, the busy buttons and
// the boxes. It knows which account the list shows and which one the running press talks to.
class ConversationView : public MailboxView {
public:
    ConversationView(QWidget& window, FormControls& controls, MessageTexts& texts,
                     ListJudging& judging);

    // The account of the running press, and that of the list on screen (AccountIdentity::key).
    void setFetchedAccount(const QString& key) { m_fetchedAccount = key; }
    QString fetchedAccount() const { return m_fetchedAccount; }
    QString listedAccount() const { return m_listedAccount; }

    // Shows the current entry: its preview, header summary and hint.
    void showCurrent();
    // Fills the header summary and the attachment sign from a stored message text.
    void showMailInfo(const QString& text);

    void setStatus(const QString& text) override;
    void setSummary(const QString& text) override;
    void clearMessages() override;
    void appendMessages(const QList<ListedMessage>& messages) override;
    QList<int> rowsOnScreen() const override;
    void messageArrived(int position, const QString& text, const QByteArray& header) override;
    void wholeMessageArrived(int position, const QByteArray& message) override;
    void setProgressRange(int maximum) override;
    void setProgress(int value) override;
    int progressMaximum() const override;
    void setBusy(bool busy) override;
    void showNotice(const Notice& notice) override;

private:
    QWidget& m_window;
    FormControls& m_controls;
    MessageTexts& m_texts;
    ListJudging& m_judging;
    DisplayThrottle m_display;
    QPointer<QWidget> m_focusBeforeBusy;
    QString m_fetchedAccount;
    QString m_listedAccount;
    // The current entry and the marks, from before a fetch to its listing.
    ListPlace m_place;
};
