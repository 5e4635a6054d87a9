// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/messagebox.h"

#include "window/plaintext.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MessageBox {

namespace {

bool presentModally(QWidget* parent, const Message& message)
{
    const auto box = makeBox(parent, message);
    box->exec();
    return box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole;
}

Presenter& currentPresenter()
{
    static Presenter presenter = presentModally;
    return presenter;
}

bool present(QWidget* parent, Message message)
{
    if (message.title.isEmpty())
        message.title = QCoreApplication::applicationName();
    return currentPresenter()(parent, message);
}

} // namespace

void show(QWidget* parent, const QString& title, const QString& text, const QString& detail)
{
    present(parent, {title, text, detail, QString()});
}

bool ask(QWidget* parent, Message question)
{
    return present(parent, std::move(question));
}

std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Message& message)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(plaintext::line(message.title));
    const QString text = plaintext::lines(message.text);
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    // The detail often quotes the server; it is shown as plain text, never as markup or links,
    // within what the text has left of the box's bounds.
    const qsizetype detailLimit = plaintext::BoxLimit - text.size();
    const int detailLines = plaintext::BoxLines - int(text.count(u'\n')) - 1;
    QString detail =
        detailLimit > 0 && detailLines > 0
            ? plaintext::lines(message.detail, detailLimit, detailLines).toHtmlEscaped()
            : QString();
    detail.replace(u'\n', QStringLiteral("<br>"));
    box->setInformativeText(detail.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(detail));
    if (message.confirm.isEmpty()) {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        return box;
    }
    box->addButton(message.confirm, QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(QCoreApplication::translate("MessageBox", "Abbrechen"),
                                         QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

Presenter setPresenter(Presenter presenter)
{
    Presenter previous = std::move(currentPresenter());
    currentPresenter() = presenter ? std::move(presenter) : Presenter(presentModally);
    return previous;
}

Recorder::Recorder()
    : m_previous(setPresenter([this](QWidget*, const Message& message) {
          if (message.confirm.isEmpty()) {
              messages.append(message);
              return true;
          }
          questions.append(message);
          return answers.isEmpty() ? unscriptedAnswer : answers.takeFirst();
      }))
{
}

Recorder::~Recorder()
{
    setPresenter(std::move(m_previous));
}

} // namespace MessageBox
