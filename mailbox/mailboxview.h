// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A message box for the user: only an OK button, no icon.
struct Notice {
    // Errors of the connection carry the application's title ("Tarvolk"); answers to the user's
    // own request carry the window's caption.
    enum class Title { Application, WindowCaption };
    Title title = Title::Application;
    QString text;
    QString detail;
};

// One entry of a listing: what the list shows, the server's unique id of the message (empty
// when the server gives no ids that tell its messages apart), and its size in bytes.
struct ListedMessage {
    QString entry;
    QByteArray uid;
    qint64 size = 0;
};

// What a conversation with the mail server shows in the window. The window implements
// it; tests use a recording fake.
class MailboxView {
public:
    virtual ~MailboxView() = default;

    virtual void setStatus(const QString& text) = 0;  // the status line, empty when idle
    virtual void setSummary(const QString& text) = 0; // the mailbox summary line

    // Empties the message list and the preview and clears the header summary.
    virtual void clearMessages() = 0;
    // The entries of a listing, in list order, all at once.
    virtual void appendMessages(const QList<ListedMessage>& messages) = 0;
    // The positions of the entries the user sees now, whose previews are fetched first.
    virtual QList<int> rowsOnScreen() const { return {}; }
    // The stored text of the entry at position has arrived, from the server or from memory, with
    // its header block as the server sent it (empty unless it arrived whole). Both are empty when
    // a failed conversation took them back.
    virtual void messageArrived(int position, const QString& text, const QByteArray& header) = 0;
    // The whole message at position, as the server sent it for "retr", without dot-stuffing.
    virtual void wholeMessageArrived(int position, const QByteArray& message) = 0;

    // Value 0, minimum 0, then maximum, in this order.
    virtual void setProgressRange(int maximum) = 0;
    virtual void setProgress(int value) = 0;
    virtual int progressMaximum() const = 0;

    // A conversation runs: the commands start nothing until it ends.
    virtual void setBusy(bool busy) = 0;

    // Shows a modal box and returns when the user has pressed OK.
    virtual void showNotice(const Notice& notice) = 0;
};
