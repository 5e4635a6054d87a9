#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

// Every message box of the program goes through here, so that tests can answer it instead of a
// user: a modal box waiting for OK would stop a test for good.
namespace MessageBox {

// What a box shows. The title is never empty here: a box asked for without one carries the
// program's name, as message boxes of the desktop do.
struct Message {
    QString title;
    QString text;
    QString detail;
};

using Presenter = std::function<void(QWidget* parent, const Message& message)>;

// Shows a modal box with only an OK button and no icon, and returns once the user has pressed OK.
// An empty title stands for the application name; the detail, when given, is shown below the text.
void show(QWidget* parent, const QString& title, const QString& text,
          const QString& detail = QString());

// The box that show() puts on the screen, built but not yet shown. Text and detail are shown as
// plain lines, together at most plaintext::BoxLines lines and plaintext::BoxLimit characters, so
// that no server can make a box larger than the screen.
std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Message& message);

// Replaces the presenter and returns the one it replaced; an empty function restores the real box.
Presenter setPresenter(Presenter presenter);

// While it lives, boxes are recorded instead of shown, and show() returns at once.
class Recorder {
public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    QList<Message> messages;

private:
    Presenter m_previous;
};

} // namespace MessageBox
