// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the window tests do as a user would: write the settings file, start the window, press its
// buttons and click list entries, and act while a conversation waits for the server.

#include "testsupport/scriptedserver.h"
#include "window/frmtarvolk.h"

#include <QByteArray>
#include <QFile>
#include <QHeaderView>
#include <QList>
#include <QObject>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <functional>

namespace windowdriver {

struct Account {
    QByteArray title;
    QString host;
    QByteArray user;
    QByteArray password;
};

// TARVOLK.INI with the accounts in slots 1, 2, ...; false when it cannot be written.
inline bool writeSettings(const QString& folder, const QList<Account>& accounts, int lineCount = 10)
{
    QByteArray ini = "[Setup]\nLineCount=" + QByteArray::number(lineCount) + '\n';
    for (int i = 0; i < accounts.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        ini += "Title" + n + '=' + accounts[i].title + '\n';
        ini += "Host" + n + '=' + accounts[i].host.toUtf8() + '\n';
        ini += "Account" + n + '=' + accounts[i].user + '\n';
        ini += "Password" + n + '=' + accounts[i].password + '\n';
    }
    QFile file(folder + QStringLiteral("/TARVOLK.INI"));
    return file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size();
}

// A mouse click on the entry's text, as a user clicks it: it makes the entry the current one.
// False when the list has no such entry.
inline bool clickEntry(MessageListView* list, int row)
{
    const QModelIndex index = list->model()->index(row, MessageListModel::Entry);
    if (!index.isValid())
        return false;
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    return true;
}

// A mouse click on the entry's check box, which toggles its mark.
inline bool clickCheckBox(MessageListView* list, int row)
{
    const QModelIndex index = list->model()->index(row, MessageListModel::Entry);
    if (!index.isValid())
        return false;
    list->scrollTo(index);
    const QRect cell = list->visualRect(index);
    const QStyle* style = list->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int box = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(cell.left() + margin + box / 2, cell.center().y()));
    return true;
}

// A mouse click on a column's header, which sorts the list by it.
inline void clickHeader(MessageListView* list, int column)
{
    const QHeaderView* header = list->header();
    list->horizontalScrollBar()->setValue(header->sectionPosition(column));
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

inline QStringList entries(const MessageListView* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->model()->index(row, MessageListModel::Entry).data().toString();
    return texts;
}

// What the list shows in a cell, and as the cell's tooltip.
inline QString cell(const MessageListView* list, int row, int column, int role = Qt::DisplayRole)
{
    return list->model()->index(row, column).data(role).toString();
}

// The rows whose check box is shown checked.
inline QList<int> markedRows(const MessageListView* list)
{
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row) {
        const QModelIndex index = list->model()->index(row, MessageListModel::Entry);
        if (index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked)
            rows << row;
    }
    return rows;
}

// A press of the button with the mouse. The window runs the whole conversation inside it, so
// this returns when the conversation has ended.
inline void press(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs an action once, as soon as the scripted server has received a line on a connection: the
// tests' way to act while the window waits inside a conversation. The script must give the
// action time, with a pause after that line.
class OnLine : public QObject {
public:
    OnLine(const pop3test::ScriptedServer& server, int connection, const QByteArray& line,
           std::function<void()> action)
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, this,
                         [this, &server, connection, line, action = std::move(action)] {
                             if (!server.receivedLines(connection).contains(line))
                                 return;
                             m_timer.stop();
                             m_ran = true;
                             action();
                         });
        m_timer.start();
    }

    bool ran() const { return m_ran; }

private:
    QTimer m_timer;
    bool m_ran = false;
};

} // namespace windowdriver
