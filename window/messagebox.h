// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

// Every message box and question of the program goes through here, so that tests can answer it
// instead of a user: a modal box waiting for a button would stop a test for good.
namespace MessageBox {

// What a box shows. The title is never empty here: a box asked for without one carries the
// program's name, as message boxes of the desktop do.
struct Message {
    QString title;
    QString text;
    QString detail;
    // For a question, the button that agrees, beside "Abbrechen"; empty for a box with only OK.
    QString confirm = QString();
};

// Returns whether the user agreed; a box with only OK counts as agreed once OK is pressed.
using Presenter = std::function<bool(QWidget* parent, const Message& message)>;

// Shows a modal box with only an OK button and no icon, and returns once the user has pressed OK.
// An empty title stands for the application name; the detail, when given, is shown below the text.
void show(QWidget* parent, const QString& title, const QString& text,
          const QString& detail = QString());

// Asks a modal question with the buttons question.confirm and "Abbrechen": "Abbrechen" is the
// default button and Escape's. True only when the user chose question.confirm.
bool ask(QWidget* parent, Message question);

// The box that show() and ask() put on the screen, built but not yet shown. Text and detail are
// shown as plain lines, together at most plaintext::BoxLines lines and plaintext::BoxLimit
// characters, so that no server can make a box larger than the screen.
std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Message& message);

// Replaces the presenter and returns the one it replaced; an empty function restores the real box.
Presenter setPresenter(Presenter presenter);

// While it lives, boxes and questions are recorded instead of shown, and show() and ask() return
// at once. Questions take their answers from `answers` in turn, then unscriptedAnswer.
class Recorder {
public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    QList<Message> messages;
    QList<Message> questions;
    QList<bool> answers;
    bool unscriptedAnswer = false;

private:
    Presenter m_previous;
};

} // namespace MessageBox
