// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "window/messagelistview.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabBar;
class QWidget;

// The window's controls, by the names the program gives them: how each looks, reads and takes the
// focus. What they do is the window's.
struct FormControls {
    QGroupBox* Frame1 = nullptr; // "Mailinfo"
    QGroupBox* Frame2 = nullptr; // "Maillist"
    QGroupBox* Frame3 = nullptr; // "Mailkonto"
    std::array<QPushButton*, 2> Command1{};
    QComboBox* cmbIdentity = nullptr;
    MessageListView* List1 = nullptr;
    QLabel* Label1 = nullptr; // status line
    QLabel* Label2 = nullptr; // mailbox summary
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    // Above Text1: what it shows of the message (MessageTexts::Tab).
    QTabBar* tabText1 = nullptr;
    // (0) to (3): sender, recipient, subject, date; (4) to (7): their captions.
    std::array<QLabel*, 8> lblMailInfo{};
    QLabel* picMailInfo = nullptr;
    // The icon of what the message's header block tells, all of it in its tooltip.
    QLabel* picVerdict = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    // Creates every control on the form, names them, chains the focus and describes them for
    // screen readers.
    void createOn(QWidget* form);

private:
    void createAccountFrame(QWidget* form);
    void createListFrame(QWidget* form);
    void createInfoFrame(QWidget* form);
    void nameControls();
    void chainFocus();
    void describeForScreenReaders();
};
