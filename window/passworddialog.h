// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

// The question for an account's password. Every such question goes through here, so that tests
// can answer it instead of a user: a modal dialog waiting for input would stop a test for good.
namespace PasswordDialog {

struct Request {
    QString title;              // the account's title
    bool canRemember = false;   // false when no keyring can be reached
    bool storedRefused = false; // the server refused the password from the keyring
};

struct Answer {
    bool given = false; // false when the user cancelled
    QString password;
    bool remember = false;
};

using Asker = std::function<Answer(QWidget* parent, const Request& request)>;

// Shows the modal dialog and returns once the user has answered or cancelled.
Answer ask(QWidget* parent, const Request& request);

// Replaces the asker and returns the one it replaced; an empty function restores the real dialog.
Asker setAsker(Asker asker);

// While it lives, questions are recorded and answered from answers, in order; with none left,
// a question is cancelled.
class Script {
public:
    explicit Script(QList<Answer> answers);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    QList<Request> requests;

private:
    QList<Answer> m_answers;
    Asker m_previous;
};

} // namespace PasswordDialog
