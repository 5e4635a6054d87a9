// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Closing the window while a conversation waits for the server. Closing the last window quits the
// application's event loops, so this test runs the real application loop itself instead of
// inside a QTest class.

#include "testsupport/conversation.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/windowdriver.h"
#include "testsupport/window/windowfixture.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

using pop3test::Scenario;

namespace {

// The whole run may take this long; a hang ends the process with a failure.
constexpr int WatchdogMs = 20000;
// From the close to the end of the application loop.
constexpr qint64 CloseBoundMs = 2000;

// Three messages of 200 bytes each, as "list" gives them.
const QList<pop3test::ServedMail> Three = {
    {"a", "Return-Path: <a@example.org>\r\nSubject: Eins\r\n\r\nText 1\r\n", 200},
    {"b", "Return-Path: <b@example.org>\r\nSubject: Zwei\r\n\r\nText 2\r\n", 200},
    {"c", "Return-Path: <c@example.org>\r\nSubject: Drei\r\n\r\nText 3\r\n", 200}};

// The fetch waits for the text of message 2, which never comes.
Scenario fetchCutAtTheSecond()
{
    return {pop3test::listing(Three), pop3test::previews(Three.first(1)),
            pop3test::transcript("C: top 2 10\nC: <close>")};
}

class Checks {
public:
    explicit Checks(const char* name) : m_name(name) {}

    void expect(bool ok, const QString& what)
    {
        if (ok)
            return;
        ++m_failures;
        std::fprintf(stderr, "FAIL %s: %s\n", m_name, qPrintable(what));
    }
    int failures() const { return m_failures; }
    const char* name() const { return m_name; }

private:
    const char* m_name;
    int m_failures = 0;
};

// Starts the window on the server, lets `start` begin a conversation from the application loop,
// and closes the window 300 ms after the server has received `lastLine` on `connection`, which it
// never answers. Then checks that the loop ended soon and normally, without a box and without
// "quit", and that the server saw the client go.
int closeWhileWaiting(const char* name, windowdriver::WindowFixture& fixture, int connection,
                      const QByteArray& lastLine,
                      const std::function<void(frmTarvolk&, Checks&)>& prepare,
                      const std::function<void(frmTarvolk&)>& start)
{
    const bool quitsOnClose = QApplication::quitOnLastWindowClosed();
    Checks checks(name);
    checks.expect(fixture.isReady(), QStringLiteral("no temporary folder or no server"));
    checks.expect(fixture.writeSettings(fixture.serverAccount()),
                  QStringLiteral("TARVOLK.INI not written"));
    const pop3test::ScriptedServer& server = fixture.server;
    const MessageBox::Recorder& boxes = fixture.boxes;
    frmTarvolk& w = fixture.open();
    w.show();
    checks.expect(QTest::qWaitForWindowExposed(&w), QStringLiteral("window not shown"));
    prepare(w, checks);
    if (checks.failures() > 0)
        return checks.failures();

    QElapsedTimer sinceClose;
    bool waitingWhenClosed = false;
    windowdriver::OnLine closer(server, connection, lastLine, [&] {
        QTimer::singleShot(300, &w, [&] {
            waitingWhenClosed = w.mailbox().isBusy();
            sinceClose.start();
            w.close();
        });
    });
    QTimer::singleShot(0, &w, [&] {
        start(w);
        // When closing the window does not end the program, the window itself must end the
        // conversation: the press returns at once, and the loop ends here.
        if (!quitsOnClose)
            QApplication::exit(0);
    });
    const int exitCode = QApplication::exec();
    const qint64 closing = sinceClose.isValid() ? sinceClose.elapsed() : -1;

    checks.expect(
        closer.ran(),
        QStringLiteral("the server never received \"%1\"").arg(QString::fromLatin1(lastLine)));
    checks.expect(waitingWhenClosed,
                  QStringLiteral("the conversation had ended before the window was closed"));
    checks.expect(exitCode == 0, QStringLiteral("exec() returned %1").arg(exitCode));
    checks.expect(closing >= 0 && closing < CloseBoundMs,
                  QStringLiteral("the loop ended %1 ms after the close").arg(closing));
    checks.expect(boxes.messages.isEmpty(),
                  QStringLiteral("a message box was shown: \"%1\"")
                      .arg(boxes.messages.isEmpty() ? QString() : boxes.messages[0].text));
    checks.expect(QTest::qWaitFor([&] { return server.clientClosed(connection); }, 2000),
                  QStringLiteral("the server did not see the client close"));
    checks.expect(!server.receivedLines(connection).contains("quit"),
                  QStringLiteral("\"quit\" was sent in the conversation that was cut off"));
    const QString problems = server.problems();
    checks.expect(problems.isEmpty(), problems);
    checks.expect(server.connectionCount() == connection + 1,
                  QStringLiteral("%1 connections, %2 expected: a conversation started after "
                                 "the close")
                      .arg(server.connectionCount())
                      .arg(connection + 1));
    fixture.window.reset();
    std::fprintf(stderr, "%s %s (the loop ended %lld ms after the close)\n",
                 checks.failures() ? "FAIL" : "PASS", name, static_cast<long long>(closing));
    return checks.failures();
}

// The fetch waits for the text of message 2, which never comes.
int closeDuringAFetch()
{
    windowdriver::WindowFixture fixture;
    fixture.server.play(fetchCutAtTheSecond());
    return closeWhileWaiting(
        "close during a fetch", fixture, 0, "top 2 10", [](frmTarvolk&, Checks&) {},
        [](frmTarvolk& w) { windowdriver::press(w.Command1[0]); });
}

// Messages 1 and 3 are marked; "dele 1" is sent and its answer never comes. Without "quit" the
// server deletes nothing.
int closeDuringADeletion()
{
    windowdriver::WindowFixture fixture;
    fixture.server.play(pop3test::fetchConversation(Three));
    fixture.server.play({pop3test::listing(Three), pop3test::transcript("C: dele 1\nC: <close>")});
    const auto fetchAndMark = [&fixture](frmTarvolk& w, Checks& checks) {
        windowdriver::press(w.Command1[0]);
        checks.expect(w.List1->count() == 3,
                      QStringLiteral("the first fetch listed %1 entries").arg(w.List1->count()));
        checks.expect(windowdriver::clickCheckBox(w.List1, 0) &&
                          windowdriver::clickCheckBox(w.List1, 2),
                      QStringLiteral("entries not clicked"));
        checks.expect(windowdriver::markedRows(w.List1) == QList<int>({0, 2}),
                      QStringLiteral("entries 1 and 3 not marked"));
        checks.expect(fixture.server.receivedLines(0).endsWith("quit"),
                      QStringLiteral("the first fetch did not end"));
    };
    return closeWhileWaiting("close during a deletion", fixture, 1, "dele 1", fetchAndMark,
                             [](frmTarvolk& w) { windowdriver::press(w.Command1[1]); });
}

// As above, while the program goes on running after the window has closed (as with a second
// window open): the window's close alone must end the wait.
int closeDuringAFetchWhileTheProgramRuns()
{
    QApplication::setQuitOnLastWindowClosed(false);
    windowdriver::WindowFixture fixture;
    fixture.server.play(fetchCutAtTheSecond());
    const int failures = closeWhileWaiting(
        "close during a fetch, the program still running", fixture, 0, "top 2 10",
        [](frmTarvolk&, Checks&) {}, [](frmTarvolk& w) { windowdriver::press(w.Command1[0]); });
    QApplication::setQuitOnLastWindowClosed(true);
    return failures;
}

int runCloseTests(int, char**)
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        std::fprintf(stderr, "FAIL: still running after %d ms\n", WatchdogMs);
        std::_Exit(3);
    });
    watchdog.start(WatchdogMs);

    const int failures =
        closeDuringAFetch() + closeDuringADeletion() + closeDuringAFetchWhileTheProgramRuns();
    return failures == 0 ? 0 : 1;
}

const bool registered = testregistry::add("TestWindowClose", runCloseTests);

} // namespace
