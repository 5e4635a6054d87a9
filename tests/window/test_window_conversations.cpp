// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/conversation.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/windowdriver.h"
#include "testsupport/window/windowfixture.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"
#include "window/passworddialog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <memory>

using pop3test::fetchConversation;
using pop3test::listing;
using pop3test::multiLineAnswer;
using pop3test::previews;
using pop3test::Scenario;
using pop3test::ScriptedServer;
using pop3test::Step;
using pop3test::transcript;
using windowdriver::cell;
using windowdriver::clickCheckBox;
using windowdriver::clickEntry;
using windowdriver::clickHeader;
using windowdriver::entries;
using windowdriver::markedRows;
using windowdriver::OnLine;
using windowdriver::press;

namespace {

// A message as the server hands it out: its size in the "list" answer and the text that "top"
// sends, which is also what the window stores for it.
using Mail = pop3test::ServedMail;

// Encoded header values, a dot-stuffed line and an attachment within the first lines.
Mail withAttachment()
{
    return {"uid-300",
            "Return-Path: <juergen@example.org>\r\n"
            "From: =?iso-8859-1?Q?J=FCrgen_M=FCller?= <juergen@example.org>\r\n"
            "To: Anna <anna@example.org>\r\n"
            "Subject: =?UTF-8?B?" +
                QStringLiteral("Grüße aus Köln").toUtf8().toBase64() +
                "?=\r\n"
                "Date: Mon, 15 Jan 2024 10:30:00 +0100\r\n"
                "Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
                "\r\n"
                "--b1\r\n"
                "Content-Type: text/plain\r\n"
                "\r\n"
                ".Punkt am Zeilenanfang\r\n"
                "--b1\r\n"
                "Content-Type: application/pdf\r\n"
                "Content-Disposition: attachment; filename=\"bericht.pdf\"\r\n",
            300};
}

// Longer than the preview, with the attachment marker only beyond its 10000th character.
Mail longerThanThePreview()
{
    QByteArray text = "Return-Path: <bert@example.org>\r\n"
                      "From: Bert <bert@example.org>\r\n"
                      "To: =?utf-8?q?Gr=C3=A4fin_Z=C3=B6e?= <zoe@example.org>\r\n"
                      "Subject: Lange Nachricht\r\n"
                      "Date: Tue, 16 Jan 2024 08:00:00 +0100\r\n"
                      "\r\n";
    for (int line = 1; text.size() < 12000; ++line)
        text += "Zeile " + QByteArray::number(line) + " des langen Textes\r\n";
    text += "Content-Disposition: attachment; filename=\"spaet.zip\"\r\n";
    return {"uid-15000", text, 15000};
}

Mail plain()
{
    return {"uid-150",
            "Return-Path: <cora@example.org>\r\n"
            "From: cora@example.org\r\n"
            "Subject: Drei\r\n"
            "\r\n"
            "Kurz.\r\n",
            150};
}

QList<Mail> threeMails()
{
    return {withAttachment(), longerThanThePreview(), plain()};
}

qint64 totalSize(const QList<Mail>& mails)
{
    qint64 total = 0;
    for (const Mail& mail : mails)
        total += mail.size;
    return total;
}

QStringList listEntries(const QList<Mail>& mails)
{
    QStringList texts;
    for (int i = 0; i < mails.size(); ++i)
        texts << QStringLiteral("%1. Email %2").arg(i + 1).arg(mails[i].size);
    return texts;
}

// A fetch whose server waits pauseMs before it answers "top" for message 2.
Scenario fetchPausedAtTheSecond(const QList<Mail>& mails, int pauseMs)
{
    return {listing(mails),
            previews(mails.first(1)),
            transcript("C: top 2 10\nP: " + QByteArray::number(pauseMs)),
            Step::send(multiLineAnswer(mails[1].text)),
            previews(mails, 10, 2),
            Step::quitOk()};
}

// A fetch of mails all fetched before in this run: their previews come from memory.
Scenario refetch(const QList<Mail>& mails)
{
    return {listing(mails), Step::quitOk()};
}

QString text(const Mail& mail)
{
    return QString::fromUtf8(mail.text);
}

// A text as the text box gives it back: its lines with LF ends.
QString lines(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// What the preview shows at one moment.
struct Preview {
    QString text;
    QStringList values;
    bool clip = false;

    static Preview of(const frmTarvolk& w)
    {
        Preview p;
        // The text box keeps the lines, not their CR LF ends.
        p.text = w.Text1->toPlainText();
        for (int k = 0; k < 4; ++k)
            p.values << w.lblMailInfo[k]->text();
        p.clip = w.picMailInfo->isVisible();
        return p;
    }
};

} // namespace

class TestWindowConversations : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fetchFillsTheListAndTheSummary();
    void clickOnAnEntryPreviewsItsText_data();
    void clickOnAnEntryPreviewsItsText();
    void clickDuringAFetchShowsWhatIsStoredSoFar();
    void onlyTheCheckBoxSpaceOrDeleteChangesAMark();
    void listShowsSenderSubjectAndDate();
    void progressShowsWhatHasArrived();
    void progressAndListFollowAtMostTenTimesASecond();
    void deleteWithNothingMarkedSaysSoAndFetchesAnew();
    void deletesTheMarkedEntriesThenFetchesAnew();
    void sortingKeepsMarksTheCurrentEntryAndWhatIsDeleted();
    void cancelledQuestionLogsInNowhere();
    void secondPressDuringAConversationStartsNothing_data();
    void secondPressDuringAConversationStartsNothing();
    void accountChosenDuringTheLogInAppliesToTheNextPress();
    void timeOutShowsTheTransmissionErrorOnce();
    void escapeEndsTheConversationAtOnce();
    void deletionThatTimesOutIsFollowedByAFetch();
    void serverAndMessageWordsShowAsPlainText();
    void keysPressTheButtonsAndCloseTheWindow();
    void longHeaderValuesAreCut();

private:
    frmTarvolk& startWindow(const QList<windowdriver::Account>& accounts);
    frmTarvolk& startWindow() { return startWindow(m_f->serverAccount()); }
    // Presses "Emails abrufen" on a server that serves the three mails; a failure shows in
    // QTest::currentTestFailed().
    void fetchThree(frmTarvolk& w);
    // The same in a window whose deletion asks no question (ConfirmDelete=0).
    void openWithoutQuestionAndFetchThree();

    std::unique_ptr<windowdriver::WindowFixture> m_f;
};

void TestWindowConversations::init()
{
    m_f = std::make_unique<windowdriver::WindowFixture>();
    QVERIFY(m_f->isReady());
}

void TestWindowConversations::cleanup()
{
    m_f.reset();
}

frmTarvolk& TestWindowConversations::startWindow(const QList<windowdriver::Account>& accounts)
{
    [&] {
        QVERIFY(m_f->writeSettings(accounts));
        QVERIFY(m_f->openActive());
    }();
    return *m_f->window;
}

void TestWindowConversations::fetchThree(frmTarvolk& w)
{
    m_f->server.play(fetchConversation(threeMails()));
    press(w.Command1[0]);
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(w.List1->count(), 3);
    QVERIFY(markedRows(w.List1).isEmpty());
}

void TestWindowConversations::openWithoutQuestionAndFetchThree()
{
    QVERIFY(m_f->writeSettings("[Setup]\nLineCount=10\nConfirmDelete=0\n"
                               "Title1=Privat\nHost1=" +
                               m_f->server.hostWithPort().toUtf8() +
                               "\nAccount1=joe\nPassword1=secret\n"));
    QVERIFY(m_f->openActive());
    fetchThree(*m_f->window);
}

void TestWindowConversations::fetchFillsTheListAndTheSummary()
{
    frmTarvolk& w = startWindow();
    const QList<Mail> mails = threeMails();
    m_f->server.play(fetchConversation(mails));

    press(w.Command1[0]);

    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->server.connectionCount(), 1);
    QVERIFY(m_f->boxes.messages.isEmpty());
    QCOMPARE(entries(w.List1), listEntries(mails));
    QCOMPARE(w.Label2->text(), QStringLiteral("3 Emails mit 15450 Bytes"));
    QCOMPARE(w.Label1->text(), QString());
    QCOMPARE(w.ProgressBar1->maximum(), 15450);
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.mailbox().MailTexts(),
             QStringList({text(mails[0]), text(mails[1]), text(mails[2])}));
    // Nothing is previewed until the user clicks an entry.
    QCOMPARE(w.Text1->toPlainText(), QString());
    QVERIFY(!w.picMailInfo->isVisible());
}

void TestWindowConversations::clickOnAnEntryPreviewsItsText_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("clip");

    const QList<Mail> mails = threeMails();
    QTest::newRow("encoded values and an attachment")
        << 0 << text(mails[0])
        << QStringList{QStringLiteral("Jürgen Müller <juergen@example.org>"),
                       QStringLiteral("Anna <anna@example.org>"), QStringLiteral("Grüße aus Köln"),
                       QStringLiteral("Mon, 15 Jan 2024 10:30:00 +0100")}
        << true;
    // Only the first 10000 characters are shown, and the marker after them does not count.
    QTest::newRow("longer than the preview")
        << 1 << text(mails[1]).left(10000)
        << QStringList{QStringLiteral("Bert <bert@example.org>"),
                       QStringLiteral("Gräfin Zöe <zoe@example.org>"),
                       QStringLiteral("Lange Nachricht"),
                       QStringLiteral("Tue, 16 Jan 2024 08:00:00 +0100")}
        << false;
    QTest::newRow("no recipient, no date")
        << 2 << text(mails[2])
        << QStringList{QStringLiteral("cora@example.org"), QString(), QStringLiteral("Drei"),
                       QString()}
        << false;
}

void TestWindowConversations::clickOnAnEntryPreviewsItsText()
{
    QFETCH(int, row);
    QFETCH(QString, shown);
    QFETCH(QStringList, values);
    QFETCH(bool, clip);
    frmTarvolk& w = startWindow();
    fetchThree(w);
    QVERIFY(!QTest::currentTestFailed());
    // Another entry first, so that the preview has something to replace.
    QVERIFY(clickEntry(w.List1, row == 0 ? 1 : 0));
    QVERIFY(w.Text1->toPlainText() != shown);

    QVERIFY(clickEntry(w.List1, row));

    QCOMPARE(w.List1->currentRow(), row);
    const Preview p = Preview::of(w);
    QCOMPARE(p.text, lines(shown));
    QCOMPARE(p.values, values);
    QCOMPARE(p.clip, clip);
    QVERIFY(m_f->boxes.messages.isEmpty());
}

void TestWindowConversations::clickDuringAFetchShowsWhatIsStoredSoFar()
{
    frmTarvolk& w = startWindow();
    const QList<Mail> mails = threeMails();
    m_f->server.play(fetchPausedAtTheSecond(mails, 400));

    // While the server holds back message 2's text: all are listed, entry 1 is complete.
    int entriesDuringWait = -1;
    Preview first;
    Preview second;
    QStringList subjectsDuringWait;
    // The list catches up within a tenth of a second.
    OnLine clicks(m_f->server, 0, "top 2 10", [&] {
        (void)QTest::qWaitFor(
            [&] {
                return w.List1->count() == 3 &&
                       !cell(w.List1, 0, MessageListModel::Subject).isEmpty();
            },
            150);
        entriesDuringWait = w.List1->count();
        for (int row = 0; row < 3; ++row)
            subjectsDuringWait << cell(w.List1, row, MessageListModel::Subject);
        clickEntry(w.List1, 0);
        first = Preview::of(w);
        clickEntry(w.List1, 1);
        second = Preview::of(w);
    });
    press(w.Command1[0]);

    QVERIFY(clicks.ran());
    SCRIPTED_VERIFY(m_f->server);
    QVERIFY(m_f->boxes.messages.isEmpty());
    QCOMPARE(entriesDuringWait, 3);
    QCOMPARE(subjectsDuringWait,
             QStringList({QStringLiteral("Grüße aus Köln"), QString(), QString()}));
    QCOMPARE(first.text, lines(text(mails[0])));
    QCOMPARE(first.values[2], QStringLiteral("Grüße aus Köln"));
    QVERIFY(first.clip);
    QCOMPARE(second.text, QString());
    QCOMPARE(second.values, QStringList(4, QString()));
    QVERIFY(!second.clip);

    // The fetch went on to its end undisturbed.
    QCOMPARE(entries(w.List1), listEntries(mails));
    QCOMPARE(w.mailbox().MailTexts(),
             QStringList({text(mails[0]), text(mails[1]), text(mails[2])}));
    QCOMPARE(w.Label1->text(), QString());

    // Now that its text has arrived, a click on the entry that showed nothing shows it, also
    // though the entry is still the current one.
    QVERIFY(clickEntry(w.List1, 1));
    QCOMPARE(w.Text1->toPlainText(), lines(text(mails[1]).left(10000)));
    QCOMPARE(w.lblMailInfo[2]->text(), QStringLiteral("Lange Nachricht"));
}

// Clicks on the text and the moving keys choose the entry to preview; the check box, Space and
// Delete mark it, and Delete deletes nothing by itself.
void TestWindowConversations::onlyTheCheckBoxSpaceOrDeleteChangesAMark()
{
    frmTarvolk& w = startWindow();
    fetchThree(w);
    QVERIFY(!QTest::currentTestFailed());
    const QList<Mail> mails = threeMails();

    QVERIFY(clickEntry(w.List1, 1));
    QCOMPARE(w.List1->currentRow(), 1);
    QCOMPARE(w.lblMailInfo[2]->text(), QStringLiteral("Lange Nachricht"));
    const QList<QPair<Qt::Key, int>> moves{{Qt::Key_Down, 2},   {Qt::Key_Up, 1},
                                           {Qt::Key_Home, 0},   {Qt::Key_End, 2},
                                           {Qt::Key_PageUp, 0}, {Qt::Key_PageDown, 2}};
    for (const auto& [key, row] : moves) {
        QTest::keyClick(w.List1, key);
        QCOMPARE(w.List1->currentRow(), row);
        QCOMPARE(w.Text1->toPlainText(), lines(text(mails[row]).left(10000)));
    }
    QVERIFY(markedRows(w.List1).isEmpty());

    QTest::keyClick(w.List1, Qt::Key_Space);
    QCOMPARE(markedRows(w.List1), QList<int>({2}));
    // Marking another entry leaves the preview where it is.
    QVERIFY(clickCheckBox(w.List1, 0));
    QCOMPARE(markedRows(w.List1), QList<int>({0, 2}));
    QCOMPARE(w.List1->currentRow(), 2);
    QCOMPARE(w.Text1->toPlainText(), lines(text(mails[2])));
    QVERIFY(clickEntry(w.List1, 1));
    QCOMPARE(markedRows(w.List1), QList<int>({0, 2}));
    QVERIFY(clickCheckBox(w.List1, 0));
    QTest::keyClick(w.List1, Qt::Key_Down);
    QTest::keyClick(w.List1, Qt::Key_Delete);
    QCOMPARE(markedRows(w.List1), QList<int>());
    QCOMPARE(entries(w.List1), listEntries(mails));
    QCOMPARE(m_f->server.connectionCount(), 1);
}

// Beside each entry: sender, subject and date, decoded and unfolded, in the order of the mailbox.
void TestWindowConversations::listShowsSenderSubjectAndDate()
{
    frmTarvolk& w = startWindow();
    const QByteArray folded = "Return-Path: <dora@example.org>\r\n"
                              "From: Dora <dora@example.org>\r\n"
                              "Subject: Einladung zur Jahreshauptversammlung\r\n"
                              " am Freitag im Vereinsheim\r\n"
                              "Date: Wed, 17 Jan 2024 19:00:00 +0100\r\n\r\nText\r\n";
    m_f->server.play(
        fetchConversation({{"a", withAttachment().text}, {"b", folded}, {"c", plain().text}}));

    press(w.Command1[0]);

    SCRIPTED_VERIFY(m_f->server);
    const QList<QStringList> shown{
        {QStringLiteral("Jürgen Müller <juergen@example.org>"), QStringLiteral("Grüße aus Köln"),
         QStringLiteral("Mon, 15 Jan 2024 10:30:00 +0100")},
        {QStringLiteral("Dora <dora@example.org>"),
         QStringLiteral("Einladung zur Jahreshauptversammlung am Freitag im Vereinsheim"),
         QStringLiteral("Wed, 17 Jan 2024 19:00:00 +0100")},
        {QStringLiteral("cora@example.org"), QStringLiteral("Drei"), QString()}};
    QCOMPARE(w.List1->count(), 3);
    for (int row = 0; row < 3; ++row) {
        QVERIFY(cell(w.List1, row, MessageListModel::Entry).startsWith(QString::number(row + 1)));
        for (int c = 0; c < 3; ++c)
            QCOMPARE(cell(w.List1, row, MessageListModel::Sender + c), shown[row][c]);
    }
    const QStringList headers{QStringLiteral("Nachricht"), QStringLiteral("Hinweis"),
                              QStringLiteral("Absender"), QStringLiteral("Betreff"),
                              QStringLiteral("Datum")};
    for (int column = 0; column < 5; ++column)
        QCOMPARE(w.List1->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
}

// Each message usually arrives in one piece, the end marker with it; the bar must move all the
// same, and never beyond the total that "stat" gave.
void TestWindowConversations::progressShowsWhatHasArrived()
{
    frmTarvolk& w = startWindow();
    const QList<Mail> mails = threeMails();
    m_f->server.play(fetchPausedAtTheSecond(mails, 200));
    int afterFirstMessage = -1;
    int maximum = -1;
    // The bar catches up within a tenth of a second.
    OnLine look(m_f->server, 0, "top 2 10", [&] {
        (void)QTest::qWaitFor([&] { return w.ProgressBar1->value() > 0; }, 150);
        afterFirstMessage = w.ProgressBar1->value();
        maximum = w.ProgressBar1->maximum();
    });

    press(w.Command1[0]);

    QVERIFY(look.ran());
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(maximum, totalSize(mails));
    QVERIFY2(afterFirstMessage > 0 && afterFirstMessage <= maximum,
             qPrintable(QStringLiteral("progress after message 1 of 3: %1 of %2")
                            .arg(afterFirstMessage)
                            .arg(maximum)));
    QCOMPARE(w.ProgressBar1->value(), 0);
}

// Each message arrives in pieces, and each piece moves the fetch on; the bar and the list follow
// only ten times a second, and show the end of the fetch at once.
void TestWindowConversations::progressAndListFollowAtMostTenTimesASecond()
{
    frmTarvolk& w = startWindow();
    QList<pop3test::ServedMail> mails;
    QByteArray body;
    for (int line = 0; line < 40; ++line)
        body += QByteArray(70, 'x') + "\r\n";
    for (int i = 1; i <= 60; ++i)
        mails.append({"uid-" + QByteArray::number(i),
                      "Return-Path: <x@example.org>\r\nSubject: " + QByteArray::number(i) +
                          "\r\n\r\n" + body});
    m_f->server.play(fetchConversation(mails));
    int changes = 0;
    connect(w.ProgressBar1, &QProgressBar::valueChanged, this, [&] { ++changes; });
    int listChanges = 0;
    connect(w.List1->model(), &QAbstractItemModel::rowsInserted, this, [&] { ++listChanges; });
    connect(w.List1->model(), &QAbstractItemModel::dataChanged, this, [&] { ++listChanges; });
    QElapsedTimer clock;
    clock.start();

    press(w.Command1[0]);

    const qint64 elapsed = clock.elapsed();
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(w.List1->count(), 60);
    QVERIFY2(changes <= elapsed / 100 + 3 && listChanges <= 2 * (elapsed / 100 + 3),
             qPrintable(QStringLiteral("%1 changes of the bar, %2 of the list in %3 ms")
                            .arg(changes)
                            .arg(listChanges)
                            .arg(elapsed)));
    QCOMPARE(w.List1->count(), 60);
    QCOMPARE(cell(w.List1, 59, MessageListModel::Subject), QStringLiteral("60"));
    QCOMPARE(w.ProgressBar1->value(), 0);
    QCOMPARE(w.Label1->text(), QString());
}

void TestWindowConversations::deleteWithNothingMarkedSaysSoAndFetchesAnew()
{
    frmTarvolk& w = startWindow();
    fetchThree(w);
    QVERIFY(!QTest::currentTestFailed());
    m_f->server.play(refetch(threeMails()));

    press(w.Command1[1]);

    QCOMPARE(m_f->boxes.messages.size(), 1);
    QCOMPARE(m_f->boxes.messages[0].title, QStringLiteral("EMail Preview"));
    QCOMPARE(m_f->boxes.messages[0].text, QStringLiteral("Keine Mail zum Löschen ausgewählt !"));
    // No conversation for the deletion: the second connection is the fetch.
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->server.connectionCount(), 2);
    QVERIFY(m_f->server.receivedLinesStartingWith("dele").isEmpty());
    QCOMPARE(entries(w.List1), listEntries(threeMails()));
    QCOMPARE(w.Label1->text(), QString());
}

// With ConfirmDelete=0 the deletion starts at once, without the question.
void TestWindowConversations::deletesTheMarkedEntriesThenFetchesAnew()
{
    openWithoutQuestionAndFetchThree();
    QVERIFY(!QTest::currentTestFailed());
    frmTarvolk& w = *m_f->window;
    const QList<Mail> mails = threeMails();
    m_f->server.play({listing(mails), Step::expect("dele 1"),
                      Step::send("+OK message 1 deleted\r\n"), Step::expect("dele 3"),
                      Step::send("+OK message 3 deleted\r\n"), Step::quitOk()});
    const QList<Mail> left{mails[1]};
    m_f->server.play(refetch(left));

    QVERIFY(clickCheckBox(w.List1, 0));
    QVERIFY(clickCheckBox(w.List1, 2));
    QCOMPARE(markedRows(w.List1), QList<int>({0, 2}));
    press(w.Command1[1]);

    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->server.connectionCount(), 3);
    QCOMPARE(m_f->server.receivedLines(1),
             QList<QByteArray>({"capa", "user joe", "pass secret", "capa", "stat", "list", "uidl",
                                "dele 1", "dele 3", "quit"}));
    QVERIFY(m_f->boxes.messages.isEmpty());
    QVERIFY(m_f->boxes.questions.isEmpty());
    QCOMPARE(entries(w.List1), listEntries(left));
    QCOMPARE(w.mailbox().MailTexts(), QStringList({text(mails[1])}));
    QVERIFY(markedRows(w.List1).isEmpty());
    QCOMPARE(w.Label2->text(), QStringLiteral("1 Email mit 15000 Bytes"));
    QCOMPARE(w.Label1->text(), QString());
}

// Senders sort without case, sizes as numbers; marks and the current entry stay with their
// messages, and the deletion goes to the marked messages, not to those now at the marked rows.
void TestWindowConversations::sortingKeepsMarksTheCurrentEntryAndWhatIsDeleted()
{
    openWithoutQuestionAndFetchThree();
    QVERIFY(!QTest::currentTestFailed());
    frmTarvolk& w = *m_f->window;
    const QList<Mail> mails = threeMails();
    const QStringList listed = listEntries(mails);

    clickHeader(w.List1, MessageListModel::Sender);
    QCOMPARE(entries(w.List1), QStringList({listed[1], listed[2], listed[0]}));
    clickHeader(w.List1, MessageListModel::Size);
    QCOMPARE(entries(w.List1), QStringList({listed[2], listed[0], listed[1]}));
    QVERIFY(clickEntry(w.List1, 0));
    QCOMPARE(w.List1->currentRow(), 2);
    clickHeader(w.List1, MessageListModel::Size);
    QCOMPARE(entries(w.List1), QStringList({listed[1], listed[0], listed[2]}));
    QVERIFY(clickCheckBox(w.List1, 0));
    clickHeader(w.List1, MessageListModel::Entry);
    QCOMPARE(entries(w.List1), listed);
    QCOMPARE(markedRows(w.List1), QList<int>({1}));
    QCOMPARE(w.List1->currentRow(), 2);
    QCOMPARE(w.Text1->toPlainText(), lines(text(mails[2])));

    clickHeader(w.List1, MessageListModel::Size);
    m_f->server.play({listing(mails), Step::expect("dele 2"),
                      Step::send("+OK message 2 deleted\r\n"), Step::quitOk()});
    m_f->server.play(refetch({mails[0], mails[2]}));
    press(w.Command1[1]);

    SCRIPTED_VERIFY(m_f->server);
    const QStringList left = listEntries({mails[0], mails[2]});
    QCOMPARE(entries(w.List1), QStringList({left[1], left[0]}));
}

// The question comes before any password, keyring or connection: the account chosen now has no
// password, and cancelling asks for none and connects nowhere.
void TestWindowConversations::cancelledQuestionLogsInNowhere()
{
    QVERIFY(m_f->writeSettings("[Setup]\nTitle1=Ohne Passwort\nHost1=" +
                               m_f->server.hostWithPort().toUtf8() + "\nAccount1=joe\n"));
    QVERIFY(m_f->openActive());
    frmTarvolk& w = *m_f->window;
    w.List1->messages()->append({QStringLiteral("1. Email 10")});
    w.List1->messages()->publish();
    QVERIFY(clickCheckBox(w.List1, 0));
    PasswordDialog::Script dialog({});
    m_f->boxes.answers = {false};
    press(w.Command1[1]);
    QCOMPARE(m_f->boxes.questions.size(), 1);
    // On the screen, Abbrechen is the default button and Escape's.
    const auto box = MessageBox::makeBox(&w, m_f->boxes.questions[0]);
    QVERIFY(box->defaultButton()->text() == u"Abbrechen" &&
            box->escapeButton() == box->defaultButton());
    QVERIFY(dialog.requests.isEmpty() && m_f->boxes.messages.isEmpty());
    QCOMPARE(m_f->server.connectionCount(), 0);
    QCOMPARE(markedRows(w.List1), QList<int>({0}));
}

void TestWindowConversations::secondPressDuringAConversationStartsNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("during a fetch") << 0;
    QTest::newRow("during a deletion") << 1;
}

// While a conversation waits, neither button starts another one: they are shown inactive, the
// cursor says the program is busy, and a press that reaches the handler anyway is ignored.
void TestWindowConversations::secondPressDuringAConversationStartsNothing()
{
    QFETCH(int, button);
    frmTarvolk& w = startWindow();
    const QList<Mail> mails = threeMails();
    int waitingConnection = 0;
    QByteArray waitingAfter;
    if (button == 0) {
        m_f->server.play({Step::loginOk("joe", "secret"), transcript("C: stat\nP: 300\nS: +OK 0 0"),
                          Step::quitOk()});
        waitingAfter = "stat";
    } else {
        fetchThree(w);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(clickCheckBox(w.List1, 1));
        m_f->server.play(
            {listing(mails), transcript("C: dele 2\nP: 300\nS: +OK deleted"), Step::quitOk()});
        m_f->server.play(refetch({mails[0], mails[2]}));
        waitingConnection = 1;
        waitingAfter = "dele 2";
    }
    QPushButton* pressed = w.Command1[button];
    pressed->setFocus();
    QCOMPARE(QApplication::focusWidget(), pressed);

    bool enabledDuringWait[2] = {true, true};
    bool busyCursor = false;
    OnLine secondPresses(m_f->server, waitingConnection, waitingAfter, [&] {
        for (int i = 0; i < 2; ++i)
            enabledDuringWait[i] = w.Command1[i]->isEnabled();
        busyCursor = w.cursor().shape() == Qt::BusyCursor;
        for (QPushButton* other : w.Command1) {
            press(other);
            // As if a press had been queued before the buttons went inactive.
            emit other->clicked();
        }
    });
    press(pressed);

    QVERIFY(secondPresses.ran());
    QVERIFY(!enabledDuringWait[0]);
    QVERIFY(!enabledDuringWait[1]);
    QVERIFY(busyCursor);
    // Exactly the scripted connections, each played to its end with nothing extra.
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->server.connectionCount(), button == 0 ? 1 : 3);
    QVERIFY(m_f->boxes.messages.isEmpty());
    QVERIFY(w.Command1[0]->isEnabled());
    QVERIFY(w.Command1[1]->isEnabled());
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(QApplication::focusWidget(), pressed);
}

void TestWindowConversations::accountChosenDuringTheLogInAppliesToTheNextPress()
{
    frmTarvolk& w = startWindow({{"Privat", m_f->server.hostWithPort(), "joe", "secret"},
                                 {"Verein", m_f->server.hostWithPort(), "anna", "geheim"}});
    QCOMPARE(w.cmbIdentity->currentText(), QStringLiteral("Privat"));
    // The first press logs in as joe to the end, though Verein is chosen between user and pass.
    m_f->server.play({transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user joe\nP: 200\nS: +OK\n"
                                 "C: pass secret\nS: +OK\nC: capa\nS: -ERR\nC: stat\nS: +OK 0 0"),
                      Step::quitOk()});
    m_f->server.play(fetchConversation({}, 10, "anna", "geheim"));

    OnLine choose(m_f->server, 0, "user joe",
                  [&] { QTest::keyClick(w.cmbIdentity, Qt::Key_Down); });
    press(w.Command1[0]);

    QVERIFY(choose.ran());
    QCOMPARE(w.cmbIdentity->currentText(), QStringLiteral("Verein"));
    QCOMPARE(m_f->server.connectionCount(), 1);
    QCOMPARE(m_f->server.receivedLines(0),
             QList<QByteArray>({"capa", "user joe", "pass secret", "capa", "stat", "quit"}));

    press(w.Command1[0]);

    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->server.connectionCount(), 2);
    QVERIFY(m_f->boxes.messages.isEmpty());
    QCOMPARE(w.Label2->text(), QStringLiteral("Keine Emails vorhanden"));
}

void TestWindowConversations::timeOutShowsTheTransmissionErrorOnce()
{
    frmTarvolk& w = startWindow();
    w.mailbox().connection().setTimeLimitMs(300);
    const QList<Mail> mails = threeMails();
    // Message 2's text never comes.
    m_f->server.play(
        {listing(mails), previews(mails.first(1)), transcript("C: top 2 10\nC: <close>")});

    QElapsedTimer clock;
    clock.start();
    press(w.Command1[0]);
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(m_f->boxes.messages.size(), 1);
    QCOMPARE(m_f->boxes.messages[0].text, QStringLiteral("Fehler bei der Übertragung"));
    // Given no title, the box carries the program's name, not the window caption.
    QCOMPARE(m_f->boxes.messages[0].title, QStringLiteral("Tarvolk"));
    QTRY_VERIFY_WITH_TIMEOUT(m_f->server.clientClosed(0), 2000);
    SCRIPTED_VERIFY(m_f->server);
    QVERIFY(!m_f->server.receivedLines().contains("quit"));
    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(entries(w.List1), listEntries(mails));
    // After a failed conversation no text of it is trusted to belong to its entry.
    QCOMPARE(w.mailbox().MailTexts().value(0), QString());
    QCOMPARE(w.Label1->text(), QString());
    QCOMPARE(w.ProgressBar1->value(), 0);
    QVERIFY(w.Command1[0]->isEnabled());
    QVERIFY(w.Command1[1]->isEnabled());
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
}

// Escape while the server is silent ends the conversation at once, without "quit" and without the
// box that the server's silence would bring after 4 seconds; the next press works.
void TestWindowConversations::escapeEndsTheConversationAtOnce()
{
    frmTarvolk& w = startWindow();
    m_f->server.play({Step::loginOk("joe", "secret"), transcript("C: stat\nC: <close>")});
    m_f->server.play(fetchConversation(threeMails()));
    OnLine escape(m_f->server, 0, "stat", [&] { QTest::keyClick(&w, Qt::Key_Escape); });
    press(w.Command1[0]);
    QVERIFY(escape.ran());
    QTRY_VERIFY_WITH_TIMEOUT(m_f->server.clientClosed(0), 2000);
    QVERIFY(!m_f->server.receivedLines(0).contains("quit"));
    QVERIFY(m_f->boxes.messages.isEmpty());
    QCOMPARE(w.Label1->text(), QStringLiteral("Abgebrochen"));
    // The buttons are enabled again: a press fetches.
    press(w.Command1[0]);
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(entries(w.List1), listEntries(threeMails()));
}

void TestWindowConversations::deletionThatTimesOutIsFollowedByAFetch()
{
    frmTarvolk& w = startWindow();
    fetchThree(w);
    QVERIFY(!QTest::currentTestFailed());
    w.mailbox().connection().setTimeLimitMs(300);
    const QList<Mail> mails = threeMails();
    // The deletion's server never greets; the fetch after it finds the mailbox unchanged.
    m_f->server.play(transcript("C: <close>"));
    m_f->server.play(refetch(mails));
    QVERIFY(clickCheckBox(w.List1, 0));

    press(w.Command1[1]);

    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->server.connectionCount(), 3);
    QVERIFY(m_f->server.receivedLines(1).isEmpty());
    QCOMPARE(m_f->boxes.messages.size(), 1);
    QCOMPARE(m_f->boxes.messages[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(m_f->boxes.messages[0].title, QStringLiteral("Tarvolk"));
    QCOMPARE(entries(w.List1), listEntries(mails));
    QCOMPARE(w.Label1->text(), QString());
}

// What a user sees of a text that Qt may take for markup: a tooltip or a label that is not plain
// text is rendered when Qt guesses markup.
static QString rendered(const QString& text, bool plain = false)
{
    if (plain || !Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

static QString rendered(const QLabel* label)
{
    return rendered(label->text(), label->textFormat() == Qt::PlainText);
}

// Markup in a message's headers and in a server's answer: an image that would read /dev/zero
// until memory runs out, bold text, a link and an entity are all shown as the characters they are.
void TestWindowConversations::serverAndMessageWordsShowAsPlainText()
{
    frmTarvolk& w = startWindow();
    const QString from = QStringLiteral("<img src=\"/dev/zero\">");
    const QString to = QStringLiteral("<a href=\"https://example.org\">Kunde</a>");
    const QString subject = QStringLiteral("<b>Sparkasse</b>");
    const QString date = QStringLiteral("a &amp; b");
    const QByteArray mail = "Return-Path: <x@example.org>\r\nFrom: " + from.toUtf8() +
                            "\r\nTo: " + to.toUtf8() + "\r\nSubject: " + subject.toUtf8() +
                            "\r\nDate: " + date.toUtf8() + "\r\n\r\n<i>Text</i>\r\n";
    m_f->server.play(fetchConversation({{"uid-1", mail}}));
    m_f->server.play(transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user joe\nS: +OK\n"
                                "C: pass secret\nS: -ERR <b>falsch</b> & <u>aus</u>\nC: quit"));

    press(w.Command1[0]);
    QVERIFY(clickEntry(w.List1, 0));

    const QStringList values{from, to, subject, date};
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(rendered(w.lblMailInfo[k]), values[k]);
        QCOMPARE(rendered(w.lblMailInfo[k]->toolTip()), values[k]);
    }
    const QStringList columns{from, subject, date};
    for (int c = 0; c < 3; ++c) {
        const int column = MessageListModel::Sender + c;
        QCOMPARE(cell(w.List1, 0, column), columns[c]);
        QCOMPARE(rendered(cell(w.List1, 0, column, Qt::ToolTipRole)), columns[c]);
    }
    QCOMPARE(rendered(cell(w.List1, 0, MessageListModel::Entry, Qt::ToolTipRole)),
             QStringLiteral("Absender: %1\nBetreff: %2\nDatum: %3").arg(from, subject, date));
    QVERIFY(w.Text1->toPlainText().contains(QStringLiteral("<i>Text</i>")));
    QCOMPARE(rendered(w.Label2), QStringLiteral("1 Email mit %1 Bytes").arg(mail.size()));
    QCOMPARE(w.Label1->textFormat(), Qt::PlainText);

    press(w.Command1[0]);
    QTRY_VERIFY_WITH_TIMEOUT(m_f->server.isFinished(), 5000);
    SCRIPTED_VERIFY(m_f->server);
    QCOMPARE(m_f->boxes.messages.size(), 1);
    const auto box = MessageBox::makeBox(&w, m_f->boxes.messages[0]);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(rendered(box->informativeText()), QStringLiteral("-ERR <b>falsch</b> & <u>aus</u>"));
}

// Return and Enter press the focused button, Alt with the underlined letter presses its button,
// F5 fetches, Ctrl+Q closes the window.
void TestWindowConversations::keysPressTheButtonsAndCloseTheWindow()
{
    frmTarvolk& w = startWindow();
    const int fetches = 5;
    for (int i = 0; i < fetches; ++i)
        m_f->server.play(fetchConversation({}));

    w.Command1[0]->setFocus();
    QTest::keyClick(w.Command1[0], Qt::Key_Return);
    QCOMPARE(m_f->server.connectionCount(), 1);
    QTest::keyClick(w.Command1[0], Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_f->server.connectionCount(), 2);
    w.List1->setFocus();
    QTest::keyClick(&w, Qt::Key_F5);
    QCOMPARE(m_f->server.connectionCount(), 3);
    // A mnemonic shows the press before it clicks.
    QTest::keyClick(&w, Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(m_f->server.connectionCount(), 4, 2000);
    // Nothing is marked: the deletion says so and the fetch follows.
    QTest::keyClick(&w, Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(m_f->server.connectionCount(), 5, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(m_f->server.isFinished(), 5000);
    QCOMPARE(m_f->boxes.messages.size(), 1);
    QCOMPARE(m_f->boxes.messages[0].text, QStringLiteral("Keine Mail zum Löschen ausgewählt !"));
    QCOMPARE(w.Label2->text(), QStringLiteral("Keine Emails vorhanden"));
    SCRIPTED_VERIFY(m_f->server);

    QVERIFY(w.isVisible());
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
    QCOMPARE(m_f->server.connectionCount(), fetches);
}

// Values longer than any box are cut for showing; the preview has its own limit.
void TestWindowConversations::longHeaderValuesAreCut()
{
    frmTarvolk& w = startWindow();
    const QByteArray subject(5000, 'x');
    m_f->server.play(fetchConversation(
        {{"uid-1", "Return-Path: <x@example.org>\r\nSubject: " + subject + "\r\n\r\nText\r\n"}}));

    press(w.Command1[0]);
    QVERIFY(clickEntry(w.List1, 0));

    SCRIPTED_VERIFY(m_f->server);
    const QString shown = w.lblMailInfo[2]->text();
    QVERIFY2(shown.size() < 2000 && shown.startsWith(QStringLiteral("xxx")),
             qPrintable(QString::number(shown.size())));
    QVERIFY(rendered(w.lblMailInfo[2]->toolTip()).size() < 2000);
}

TARVOLK_TEST(TestWindowConversations);
#include "test_window_conversations.moc"
