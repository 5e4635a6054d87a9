// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"
#include "window/messagebox.h"
#include "window/plaintext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void recorderTakesTheBoxInsteadOfTheUser();
    void nestedRecordersHandBackInTurn();
    void boxHasOnlyOkAndNoIcon_data();
    void boxHasOnlyOkAndNoIcon();
    void realBoxWaitsForOk();
    void serverTextIsBoundedInBoxesAndLabels_data();
    void serverTextIsBoundedInBoxesAndLabels();
};

void TestMessageBox::recorderTakesTheBoxInsteadOfTheUser()
{
    MessageBox::Recorder recorder;
    MessageBox::show(nullptr, QString(), QStringLiteral("Fehler bei der Übertragung"));
    MessageBox::show(nullptr, QStringLiteral("EMail Preview"), QStringLiteral("Text"),
                     QStringLiteral("Mehr"));
    QCOMPARE(recorder.messages.size(), 2);
    // A box asked for without a title carries the program's name.
    QCOMPARE(recorder.messages[0].title, QStringLiteral("Tarvolk"));
    QCOMPARE(recorder.messages[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(recorder.messages[0].detail, QString());
    QCOMPARE(recorder.messages[1].title, QStringLiteral("EMail Preview"));
    QCOMPARE(recorder.messages[1].detail, QStringLiteral("Mehr"));
}

void TestMessageBox::nestedRecordersHandBackInTurn()
{
    MessageBox::Recorder outer;
    {
        MessageBox::Recorder inner;
        MessageBox::show(nullptr, QString(), QStringLiteral("eins"));
        QCOMPARE(inner.messages.size(), 1);
    }
    MessageBox::show(nullptr, QString(), QStringLiteral("zwei"));
    QCOMPARE(outer.messages.size(), 1);
    QCOMPARE(outer.messages[0].text, QStringLiteral("zwei"));
}

void TestMessageBox::boxHasOnlyOkAndNoIcon_data()
{
    QTest::addColumn<QString>("detail");
    QTest::newRow("without detail") << QString();
    QTest::newRow("with detail") << QStringLiteral("Server: pop.example.org");
    // Server words are shown as they are: no markup, no links.
    QTest::newRow("markup in the detail") << QStringLiteral(
        "-ERR <a href=\"http://example.org\">hier</a> & <b>mehr</b>\nzweite Zeile");
}

void TestMessageBox::boxHasOnlyOkAndNoIcon()
{
    QFETCH(QString, detail);
    const auto box = MessageBox::makeBox(
        nullptr, {QStringLiteral("EMail Preview"), QStringLiteral("2 Emails löschen?"), detail});
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->windowTitle(), QStringLiteral("EMail Preview"));
    QCOMPARE(box->text(), QStringLiteral("2 Emails löschen?"));
    QTextDocument shown;
    shown.setHtml(box->informativeText());
    QCOMPARE(shown.toPlainText(), detail);
}

// Without a recorder the real box is shown and show() returns only after OK. The box is found
// and answered from a timer; should it never appear, the poll gives up and the test fails
// instead of waiting forever.
void TestMessageBox::realBoxWaitsForOk()
{
    QString seenTitle;
    QString seenText;
    int seenButtons = -1;
    bool answered = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenButtons = int(box->buttons().size());
            answered = true;
            poll.stop();
            box->button(QMessageBox::Ok)->click();
        } else if (clock.hasExpired(10000)) {
            poll.stop();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (qobject_cast<QMessageBox*>(top))
                    top->close();
        }
    });
    poll.start();
    MessageBox::show(nullptr, QString(), QStringLiteral("Fehler bei der Übertragung"));
    QVERIFY(answered);
    QCOMPARE(seenTitle, QStringLiteral("Tarvolk"));
    QCOMPARE(seenText, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(seenButtons, 1);
}

void TestMessageBox::serverTextIsBoundedInBoxesAndLabels_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shownStart"); // on a label, line breaks show as signs
    const QString words = QStringLiteral("Wort ").repeated(13107);
    QTest::newRow("64 KB of words") << words << words.left(20);
    QTest::newRow("9000 bare LF") << u'a' + QString(9000, u'\n') << QStringLiteral("a\n\n");
    QTest::newRow("NUL, escape, DEL")
        << QStringLiteral("vor") + QChar(0) + QStringLiteral("n\x1b[2J\x7f")
        << QStringLiteral("vor␀n␛[2J␡");
    QTest::newRow("bidi override and isolate")
        << QStringLiteral("Rechnung\u202Efdp.exe\u2066x\u2069")
        << QStringLiteral("Rechnungfdp.exex");
}

// A hostile server text as a box's text and detail, and on a label with its tooltip: cleaned of
// what hides or turns text round, cut where it is long, and never larger than the screen.
void TestMessageBox::serverTextIsBoundedInBoxesAndLabels()
{
    QFETCH(QString, text);
    QFETCH(QString, shownStart);
    const auto box = MessageBox::makeBox(nullptr, {QStringLiteral("Tarvolk"), text, text});
    QTextDocument detail;
    detail.setHtml(box->informativeText());
    const QString shown = box->text() + detail.toPlainText();
    QVERIFY2(box->text().startsWith(shownStart), qPrintable(box->text().left(40)));
    QVERIFY(shown.count(u'\n') < plaintext::BoxLines && shown.size() <= plaintext::BoxLimit);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const QRect screen = box->screen()->availableGeometry();
    // Qt itself makes a box on a small screen as wide as the screen, and no wider.
    QVERIFY(box->frameGeometry().height() <= screen.height() && box->width() <= screen.width());

    QLabel label;
    plaintext::show(&label, text);
    const QString lineStart = shownStart.replace(u'\n', u'␊');
    QVERIFY2(label.text().startsWith(lineStart), qPrintable(label.text().left(40)));
    QVERIFY(label.text().size() <= plaintext::ShownLimit && label.toolTip().contains(lineStart));
}

TARVOLK_TEST(TestMessageBox);
#include "test_messagebox.moc"
