// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/passworddialog.h"

#include "window/plaintext.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace PasswordDialog {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PasswordDialog)
};

Answer askModally(QWidget* parent, const Request& request)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(Texts::tr("Passwort für %1").arg(plaintext::line(request.title)));
    auto* layout = new QVBoxLayout(&dialog);
    if (request.storedRefused) {
        layout->addWidget(
            new QLabel(Texts::tr("Der Server hat das gemerkte Passwort abgelehnt."), &dialog));
    }
    auto* caption = new QLabel(Texts::tr("&Passwort:"), &dialog);
    layout->addWidget(caption);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    caption->setBuddy(password);
    layout->addWidget(password);
    // Alt+M, as Alt+P goes to the password and Alt+A to Abbrechen.
    auto* remember = new QCheckBox(Texts::tr("Passwort &merken"), &dialog);
    // Storing a password is the user's choice, except when it replaces one stored before.
    remember->setChecked(request.canRemember && request.storedRefused);
    remember->setEnabled(request.canRemember);
    layout->addWidget(remember);
    if (!request.canRemember) {
        layout->addWidget(new QLabel(
            Texts::tr("Kein Schlüsselbund erreichbar: das Passwort kann nicht gemerkt werden."),
            &dialog));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(Texts::tr("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {true, password->text(), remember->isChecked()};
}

Asker& currentAsker()
{
    static Asker asker = askModally;
    return asker;
}

} // namespace

Answer ask(QWidget* parent, const Request& request)
{
    return currentAsker()(parent, request);
}

Asker setAsker(Asker asker)
{
    Asker previous = std::move(currentAsker());
    currentAsker() = asker ? std::move(asker) : Asker(askModally);
    return previous;
}

Script::Script(QList<Answer> answers)
    : m_answers(std::move(answers)), m_previous(setAsker([this](QWidget*, const Request& request) {
          requests.append(request);
          return m_answers.isEmpty() ? Answer() : m_answers.takeFirst();
      }))
{
}

Script::~Script()
{
    setAsker(std::move(m_previous));
}

} // namespace PasswordDialog
