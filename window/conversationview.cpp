// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/conversationview.h"

#include "mailbox/framebudget.h"
#include "text/mailinfo.h"
#include "window/formcontrols.h"
#include "window/listjudging.h"
#include "window/messagebox.h"
#include "window/messagetexts.h"
#include "window/plaintext.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

ConversationView::ConversationView(QWidget& window, FormControls& controls, MessageTexts& texts,
                                   ListJudging& judging)
    : m_window(window), m_controls(controls), m_texts(texts), m_judging(judging),
      m_display([this](const QString& text) { plaintext::show(m_controls.Label1, text, false); },
                [this](int value) { m_controls.ProgressBar1->setValue(value); },
                [this] { m_controls.List1->messages()->publish(); })
{
}

void ConversationView::showCurrent()
{
    const int position = m_controls.List1->currentRow();
    m_texts.showCurrent();
    showMailInfo(m_controls.List1->messages()->text(position).left(MessageTexts::PreviewLimit));
    m_judging.showHint(position, m_controls.picVerdict);
}

void ConversationView::showMailInfo(const QString& text)
{
    const MailInfo info = readMailInfo(text);
    // The boxes are narrower than many values; the whole value shows on hovering.
    for (int k = 0; k < 4; ++k)
        plaintext::show(m_controls.lblMailInfo[k], info.values[k]);
    m_controls.picMailInfo->setVisible(info.attachment);
}

void ConversationView::setStatus(const QString& text)
{
    // A broken rules file stays in view while nothing else needs the line.
    m_display.setStatus(text.isEmpty() ? m_judging.problem() : text);
}

void ConversationView::setSummary(const QString& text)
{
    plaintext::show(m_controls.Label2, text);
}

void ConversationView::clearMessages()
{
    // The place in one account's list means nothing in another's.
    if (m_listedAccount == m_fetchedAccount)
        m_place.remember(*m_controls.List1);
    else
        m_place.forget();
    m_controls.List1->messages()->clear();
    m_texts.forget();
    m_texts.showCurrent();
    showMailInfo(QStringLiteral(" "));
    m_judging.showHint(-1, m_controls.picVerdict);
}

void ConversationView::appendMessages(const QList<ListedMessage>& messages)
{
    QStringList entries;
    QList<QByteArray> uids;
    QList<qint64> sizes;
    entries.reserve(messages.size());
    uids.reserve(messages.size());
    sizes.reserve(messages.size());
    FrameBudget frame;
    for (const ListedMessage& message : messages) {
        entries.append(message.entry);
        uids.append(message.uid);
        sizes.append(message.size);
        frame.yieldWhenSpent();
    }
    m_controls.List1->messages()->append(entries, uids, sizes);
    m_listedAccount = m_fetchedAccount;
    m_judging.listed(m_listedAccount);
    m_place.restore(*m_controls.List1);
    m_display.listChanged();
}

QList<int> ConversationView::rowsOnScreen() const
{
    return m_controls.List1->rowsAroundCurrent();
}

void ConversationView::messageArrived(int position, const QString& text, const QByteArray& header)
{
    const MailInfo info = readMailInfo(text.left(MessageTexts::PreviewLimit));
    m_controls.List1->messages()->setMessage(
        position, text, {info.values[0], info.values[2], info.values[3]}, header);
    m_display.listChanged();
    // The preview of the current entry shows what is stored by now.
    if (position == m_controls.List1->currentRow())
        showCurrent();
}

void ConversationView::wholeMessageArrived(int position, const QByteArray& message)
{
    m_texts.wholeMessageArrived(position, message);
}

void ConversationView::setProgressRange(int maximum)
{
    m_display.dropProgress();
    m_controls.ProgressBar1->setValue(0);
    m_controls.ProgressBar1->setMinimum(0);
    m_controls.ProgressBar1->setMaximum(maximum);
}

void ConversationView::setProgress(int value)
{
    m_display.setProgress(value);
}

int ConversationView::progressMaximum() const
{
    return m_controls.ProgressBar1->maximum();
}

void ConversationView::setBusy(bool busy)
{
    // The buttons start nothing while a conversation runs; the list and the account box stay
    // usable, which the arrow-and-hourglass cursor tells.
    if (busy)
        m_focusBeforeBusy = m_window.focusWidget();
    for (QPushButton* button : m_controls.Command1)
        button->setEnabled(!busy);
    if (busy) {
        m_window.setCursor(Qt::BusyCursor);
        return;
    }
    m_window.unsetCursor();
    // What the conversation showed last is shown now, not a moment after it has ended.
    m_display.flush();
    // A disabled button loses the focus; the user's place is given back.
    if (m_focusBeforeBusy)
        m_focusBeforeBusy->setFocus();
}

void ConversationView::showNotice(const Notice& notice)
{
    const QString title =
        notice.title == Notice::Title::WindowCaption ? m_window.windowTitle() : QString();
    // The box speaks of what the window shows; it must not wait behind it.
    m_display.flush();
    MessageBox::show(&m_window, title, notice.text, notice.detail);
}
