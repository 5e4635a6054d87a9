// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/dovecotserver.h"
#include "testsupport/e2esupport.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/windowdriver.h"
#include "testsupport/window/windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTabBar>

using windowdriver::cell;
using windowdriver::clickEntry;
using windowdriver::markedRows;
using windowdriver::press;

namespace {

const QString Password = QStringLiteral("geheim");

QByteArray mail(const QByteArray& from, const QByteArray& subject,
                const QList<QPair<QByteArray, QByteArray>>& extra = {})
{
    TestMail::Message message;
    message.from = from;
    message.subject = subject;
    message.extraHeaders = extra;
    return TestMail::build(message);
}

// Chooses the entry of the row's context menu that starts with the text, opened with the mouse,
// or with the keyboard for the current row (row -1); false without it.
bool chooseFromMenu(MessageListView* list, int row, const QString& text)
{
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QWidget* receiver = row < 0 ? static_cast<QWidget*>(list) : list->viewport();
    QContextMenuEvent event(row < 0 ? QContextMenuEvent::Keyboard : QContextMenuEvent::Mouse, at,
                            receiver->mapToGlobal(at));
    QApplication::sendEvent(receiver, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
    const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* action) {
        return action->text().remove(u'&').startsWith(text);
    });
    if (found != actions.end())
        (*found)->trigger();
    if (menu)
        menu->close();
    return found != actions.end();
}

} // namespace

class TestWindowJudging : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rulesTickOnArrivalAndNeverMarkWins();
    void contextMenuWritesTheRuleAndKeepsTheFile();
    void wholeMessageIsFetchedOnlyWhenAskedAndOnlyWhenRecognised();

private:
    frmTarvolk& fetch(const QList<QByteArray>& messages, int lineCount = 0);
    bool writeRules(const QByteArray& bytes);

    QTemporaryDir m_home;
    QString m_rulesPath;
    DovecotServer m_server;
    e2e::UserPool m_users;
    QString m_user;
    std::unique_ptr<windowdriver::WindowFixture> m_f;
};

void TestWindowJudging::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
    m_rulesPath = m_home.filePath(QStringLiteral("tarvolk/regeln.ini"));
    TARVOLK_REQUIRE_DOVECOT();
    QVERIFY2(m_users.create(m_server, 3, Password), qPrintable(m_server.errorString()));
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
}

void TestWindowJudging::init()
{
    QFile::remove(m_rulesPath);
    m_f = std::make_unique<windowdriver::WindowFixture>();
    QVERIFY(m_f->isReady());
    m_user = m_users.take();
    QVERIFY(!m_user.isEmpty());
}

void TestWindowJudging::cleanup()
{
    m_f.reset();
}

bool TestWindowJudging::writeRules(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(m_rulesPath).absolutePath());
    // As editors write: another file renamed over the old one.
    QSaveFile file(m_rulesPath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

frmTarvolk& TestWindowJudging::fetch(const QList<QByteArray>& messages, int lineCount)
{
    [&] {
        QCOMPARE(e2e::deliverAll(m_server, m_user, messages).size(), messages.size());
        QVERIFY(m_f->writeSettings(
            {{"Dovecot", e2e::loopback(m_server.port()), m_user.toUtf8(), Password.toUtf8()}},
            lineCount));
        m_f->open().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_f->window.get()));
        press(m_f->window->Command1[0]);
        QCOMPARE(m_f->window->List1->count(), messages.size());
    }();
    return *m_f->window;
}

// Each kind of rule ticks its message as it arrives; the spam filter's word and a Reply-To
// elsewhere show in the Hinweis column; [NichtMarkieren] keeps a message unticked whatever else
// matches, until the file, replaced by another, no longer says so. Nothing is deleted unasked.
void TestWindowJudging::rulesTickOnArrivalAndNeverMarkWins()
{
    QVERIFY(writeRules("; Regeln\n[Markieren]\nAbsender1=gewinn@lotto.example\n"
                       "Domain1=werbung.example\nBetreff1=gewinnspiel\nServerSpam=ja\n\n"
                       "[NichtMarkieren]\nDomain1=example.org\n"));
    const QPair<QByteArray, QByteArray> spam{"X-Spam-Status", "Yes, score=7.9 required=5.0"};
    const QPair<QByteArray, QByteArray> passed{
        "Authentication-Results", "mx.example.net; dmarc=pass header.from=example.com"};
    frmTarvolk& w = fetch({mail("Lotto <GEWINN@Lotto.example>", "Hallo"),
                           mail("news@mail.werbung.example", "Angebot"),
                           mail("anna@example.org", "Ihr Gewinnspiel", {spam}),
                           mail("bert@example.net", "Hallo", {{"Reply-To", "x@example.com"}}),
                           mail("carl@example.com", "Wichtig", {spam}),
                           mail("shop@example.com", "Rechnung", {passed}),
                           mail("shop@example.com", "Mahnung", {passed})});

    QCOMPARE(markedRows(w.List1), QList<int>({0, 1, 4}));
    QVERIFY(cell(w.List1, 0, MessageListModel::Hint, Qt::ToolTipRole)
                .contains(QStringLiteral("[Markieren] Absender1=gewinn@lotto.example")));
    QCOMPARE(cell(w.List1, 2, MessageListModel::Hint), QStringLiteral("Spam laut Server (7,9)"));
    QVERIFY(cell(w.List1, 2, MessageListModel::Hint, Qt::ToolTipRole)
                .contains(QStringLiteral("[NichtMarkieren] Domain1=example.org")));
    QCOMPARE(cell(w.List1, 3, MessageListModel::Hint), QStringLiteral("Antwort an andere Domain"));
    // The two messages agree on the receiving server's id, which no setting names.
    QCOMPARE(cell(w.List1, 6, MessageListModel::Hint),
             QStringLiteral("Absender bestätigt (example.com)"));
    QVERIFY(clickEntry(w.List1, 4));
    QVERIFY(w.picVerdict->toolTip().contains(QStringLiteral("Spam laut Server")));
    QVERIFY(!w.picVerdict->pixmap().isNull());

    QVERIFY(writeRules("[Markieren]\nServerSpam=ja\n"));
    QTRY_COMPARE_WITH_TIMEOUT(markedRows(w.List1), QList<int>({2, 4}), 5000);
    m_f->boxes.unscriptedAnswer = false;
    press(w.Command1[1]);
    QCOMPARE(m_f->boxes.questions.size(), 1);
    QCOMPARE(m_server.messageIds(m_user).size(), 7);
}

// The context menu writes the sender into the rules file, in the file's encoding and line ends
// and with every other byte as it was, and the list follows the rules at once, except where the
// user set a mark.
void TestWindowJudging::contextMenuWritesTheRuleAndKeepsTheFile()
{
    const QByteArray before = "; f\xfcr alle Konten\r\n[Markieren]\r\nBetreff1=Rabatt\r\n\r\n"
                              "[Sonstiges]\r\nx=1";
    QVERIFY(writeRules(before));
    frmTarvolk& w =
        fetch({mail("Bert <bert@news.example.net>", "Hallo"),
               mail("bert@news.example.net", "Nochmals"), mail("dora@shop.example.net", "Rabatt")});
    QCOMPARE(markedRows(w.List1), QList<int>({2}));

    QVERIFY(chooseFromMenu(w.List1, 0, QStringLiteral("Absender bert@news.example.net immer")));
    QTRY_COMPARE_WITH_TIMEOUT(markedRows(w.List1), QList<int>({0, 1, 2}), 5000);
    QVERIFY(windowdriver::clickCheckBox(w.List1, 1));
    QVERIFY(clickEntry(w.List1, 2));
    QVERIFY(chooseFromMenu(w.List1, -1, QStringLiteral("Domain example.net nie")));
    QTRY_COMPARE_WITH_TIMEOUT(markedRows(w.List1), QList<int>(), 5000);
    QVERIFY(windowdriver::clickCheckBox(w.List1, 1));
    QVERIFY(chooseFromMenu(w.List1, 2, QStringLiteral("Domain example.net immer")));

    QFile file(m_rulesPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("; f\xfcr alle Konten\r\n[Markieren]\r\nBetreff1=Rabatt\r\n"
                                        "Absender1=bert@news.example.net\r\n"
                                        "Domain1=example.net\r\n\r\n[Sonstiges]\r\nx=1\r\n\r\n"
                                        "[NichtMarkieren]\r\nDomain1=example.net\r\n"));
    QCOMPARE(markedRows(w.List1), QList<int>({1}));
    QTRY_COMPARE_WITH_TIMEOUT(
        w.Label1->text(), QStringLiteral("Domain example.net in [Markieren] eingetragen."), 5000);
}

// The preview keeps the stored text; the tabs show the whole header block and, fetched on demand,
// the whole message decoded with its attachment. A message the server no longer holds is not
// fetched in its place.
void TestWindowJudging::wholeMessageIsFetchedOnlyWhenAskedAndOnlyWhenRecognised()
{
    TestMail::Message report;
    report.charset = "ISO-8859-1";
    report.body = "Sch\xf6ne Gr\xfc\xdf"
                  "e\r\nanbei der Bericht.\r\n";
    report.attachments.append({"bericht.pdf", "application/pdf", QByteArray(3000, 'x')});
    const QByteArray first = TestMail::build(report);
    frmTarvolk& w = fetch({first, mail("bert@example.net", "Zweite")}, 2);
    const QString header =
        QString::fromLatin1(first.left(first.indexOf("\r\n\r\n") + 4)).replace(u'\r', QString());

    QVERIFY(clickEntry(w.List1, 0));
    QVERIFY(w.Text1->toPlainText().startsWith(header) && w.Text1->toPlainText() != header);
    QTest::keyClick(&w, Qt::Key_K, Qt::AltModifier);
    QCOMPARE(w.Text1->toPlainText(), header);
    QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(w.Text1->toPlainText(), QStringLiteral("Schöne Grüße\nanbei der Bericht.\n\n"
                                                    "Anhänge:\n  bericht.pdf (2,9 KB)\n"));
    QVERIFY(m_f->boxes.messages.isEmpty());

    e2e::PlainPop3 other;
    QVERIFY(other.logIn(m_server.port(), m_user, Password));
    QVERIFY(other.command("dele 2").startsWith("+OK") && other.quit());
    QVERIFY(clickEntry(w.List1, 1));
    QCOMPARE(w.tabText1->currentIndex(), int(MessageTexts::Preview));
    QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(m_f->boxes.messages.value(0).text,
             QStringLiteral("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."));
    QVERIFY(w.Text1->toPlainText().isEmpty());
    QVERIFY(w.Text1->placeholderText().contains(QStringLiteral("nicht abgerufen")));
}

TARVOLK_TEST(TestWindowJudging);
#include "test_window_judging.moc"
