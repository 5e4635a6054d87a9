// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/messagetexts.h"

#include "mime/readablemessage.h"
#include "text/boundedtext.h"
#include "text/textdecoding.h"
#include "window/formcontrols.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTabBar>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MessageTexts)
};

// A whole message or header block shows this much at most; a header block of a "top" answer is
// far below it.
constexpr qsizetype ShownCharacters = 1000 * 1000;
constexpr int ShownLines = 50 * 1000;

} // namespace

MessageTexts::MessageTexts(FormControls& controls, std::function<void(int row)> fetchWhole)
    : m_controls(controls), m_fetchWhole(std::move(fetchWhole))
{
    QObject::connect(m_controls.tabText1, &QTabBar::currentChanged, m_controls.Text1,
                     [this] { tabChosen(); });
    // A click on the chosen tab of a whole message that did not come tries again.
    QObject::connect(m_controls.tabText1, &QTabBar::tabBarClicked, m_controls.Text1,
                     [this](int tab) {
                         if (tab == WholeMessage && tab == m_controls.tabText1->currentIndex())
                             tabChosen();
                     });
}

void MessageTexts::showCurrent()
{
    const int row = m_controls.List1->currentRow();
    // Another entry's whole message is fetched only when asked for again.
    if (row != m_shownRow && m_controls.tabText1->currentIndex() == WholeMessage) {
        m_shownRow = row;
        m_controls.tabText1->setCurrentIndex(Preview);
        return;
    }
    m_shownRow = row;
    const MessageListModel& messages = *m_controls.List1->messages();
    switch (m_controls.tabText1->currentIndex()) {
    case Headers:
        showText(plaintext::lines(decodeUtf8OrWindows1252(messages.header(row)), ShownCharacters,
                                  ShownLines),
                 row < 0 ? QString()
                         : Texts::tr("Der Kopf dieser Nachricht ist nicht ganz angekommen."));
        return;
    case WholeMessage:
        if (row == m_wholeRow)
            showText(m_wholeText);
        return;
    default:
        showText(messages.text(row).left(PreviewLimit));
    }
}

void MessageTexts::tabChosen()
{
    const int row = m_controls.List1->currentRow();
    if (m_controls.tabText1->currentIndex() != WholeMessage || row < 0 || row == m_wholeRow ||
        m_fetching) {
        showCurrent();
        return;
    }
    m_shownRow = row;
    showText(QString(), Texts::tr("Die ganze Nachricht wird vom Server abgerufen …"));
    m_fetching = true;
    m_fetchWhole(row);
    m_fetching = false;
    if (m_shownRow != m_wholeRow && m_controls.tabText1->currentIndex() == WholeMessage)
        showText(QString(), Texts::tr("Die ganze Nachricht wurde nicht abgerufen. Ein Klick "
                                      "auf „Ganze Nachricht“ versucht es noch einmal."));
}

void MessageTexts::wholeMessageArrived(int row, const QByteArray& message)
{
    m_wholeRow = row;
    m_wholeText = plaintext::lines(readableText(readMessage(message)), ShownCharacters, ShownLines);
    if (row == m_shownRow && m_controls.tabText1->currentIndex() == WholeMessage)
        showText(m_wholeText);
}

void MessageTexts::forget()
{
    m_wholeRow = -1;
    m_wholeText.clear();
}

void MessageTexts::showText(const QString& text, const QString& placeholder)
{
    m_controls.Text1->setPlainText(text);
    if (placeholder.isEmpty() && !m_placeholderShown)
        return;
    m_controls.Text1->setPlaceholderText(placeholder);
    m_placeholderShown = !placeholder.isEmpty();
}
