// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

struct FormControls;

// What Text1 shows of the current entry, as the tabs above it choose: the stored text, the whole
// header block, or the whole message. The whole message is fetched only when the user chooses
// its tab; another entry brings the stored text back.
class MessageTexts {
public:
    enum Tab { Preview, Headers, WholeMessage };

    // The preview and the header summary show at most this many characters of a stored text.
    static constexpr qsizetype PreviewLimit = 10000;

    // fetchWhole asks the server for the whole message of the list's row.
    MessageTexts(FormControls& controls, std::function<void(int row)> fetchWhole);

    // Shows the current entry in the chosen tab.
    void showCurrent();
    // The server sent the whole message of the row; it is kept until the list is emptied.
    void wholeMessageArrived(int row, const QByteArray& message);
    // The list was emptied.
    void forget();

private:
    void tabChosen();
    void showText(const QString& text, const QString& placeholder = QString());

    FormControls& m_controls;
    std::function<void(int row)> m_fetchWhole;
    int m_shownRow = -1;
    int m_wholeRow = -1;
    QString m_wholeText;
    bool m_fetching = false;
    // Whether Text1's placeholder is ours; the window's own (no settings file) stays.
    bool m_placeholderShown = false;
};
