#include "window/passworddialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestPasswordDialog : public QObject {
    Q_OBJECT
private slots:
    void realDialogAnswers_data();
    void realDialogAnswers();
};

void TestPasswordDialog::realDialogAnswers_data()
{
    QTest::addColumn<bool>("canRemember");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("typed and remembered") << true << false;
    QTest::newRow("no keyring: nothing to remember") << false << false;
    QTest::newRow("cancelled") << true << true;
}

// The dialog is answered from a timer as a user would; should it never appear, the timer gives up
// and the test fails instead of waiting forever.
void TestPasswordDialog::realDialogAnswers()
{
    QFETCH(bool, canRemember);
    QFETCH(bool, cancel);
    QString title;
    bool rememberEnabled = false;
    int polls = 0;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++polls < 1000)
            return;
        poll.stop();
        if (!dialog)
            return;
        title = dialog->windowTitle();
        rememberEnabled = dialog->findChild<QCheckBox*>()->isEnabled();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(), QStringLiteral("geh;eim"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        buttons->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
    });
    poll.start();
    const PasswordDialog::Answer answer =
        PasswordDialog::ask(nullptr, {QStringLiteral("Verein"), canRemember, false});
    QCOMPARE(title, QStringLiteral("Passwort für Verein"));
    QCOMPARE(rememberEnabled, canRemember);
    QCOMPARE(answer.given, !cancel);
    QCOMPARE(answer.password, cancel ? QString() : QStringLiteral("geh;eim"));
    QCOMPARE(answer.remember, canRemember && !cancel);
}

QTEST_MAIN(TestPasswordDialog)
#include "test_passworddialog.moc"
