// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"
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
    void realDialogWithoutKeyringGivesTheTypedPassword();
};

// Answered as a user would, from a timer: it can only fire in the dialog's own event loop, so the
// dialog is up by then.
void TestPasswordDialog::realDialogWithoutKeyringGivesTheTypedPassword()
{
    QString title;
    bool rememberEnabled = true;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        rememberEnabled = dialog->findChild<QCheckBox*>()->isEnabled();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(), QStringLiteral("geh;eim"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const PasswordDialog::Answer answer =
        PasswordDialog::ask(nullptr, {QStringLiteral("Verein"), false, false});
    QCOMPARE(title, QStringLiteral("Passwort für Verein"));
    QVERIFY(!rememberEnabled);
    QVERIFY(answer.given && !answer.remember);
    QCOMPARE(answer.password, QStringLiteral("geh;eim"));
}

TARVOLK_TEST(TestPasswordDialog);
#include "test_passworddialog.moc"
