#include "window/messagebox.h"

#include "window/plaintext.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace MessageBox {

namespace {

void presentModally(QWidget* parent, const Message& message)
{
    makeBox(parent, message)->exec();
}

Presenter& currentPresenter()
{
    static Presenter presenter = presentModally;
    return presenter;
}

} // namespace

void show(QWidget* parent, const QString& title, const QString& text, const QString& detail)
{
    Message message{title, text, detail};
    if (message.title.isEmpty())
        message.title = QCoreApplication::applicationName();
    currentPresenter()(parent, message);
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
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

Presenter setPresenter(Presenter presenter)
{
    Presenter previous = std::move(currentPresenter());
    currentPresenter() = presenter ? std::move(presenter) : Presenter(presentModally);
    return previous;
}

Recorder::Recorder()
    : m_previous(
          setPresenter([this](QWidget*, const Message& message) { messages.append(message); }))
{
}

Recorder::~Recorder()
{
    setPresenter(std::move(m_previous));
}

} // namespace MessageBox
