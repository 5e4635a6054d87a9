// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/accountslots.h"
#include "settings/inifile.h"
#include "testsupport/testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAccountSlots : public QObject {
    Q_OBJECT
private slots:
    void init();
    void loadsTwoAccounts();
    void readsLineCount_data();
    void readsLineCount();
    void listsEveryTitledSlotWithItsNumber();
    void neverReadsSlotsAboveTen();
    void setIdentityRefusesNumbersOutOfRange();
    void missingFileLeavesEverythingEmpty();

private:
    void writeSettings(const QByteArray& content);
    IniDocument settings() const;
    QTemporaryDir m_dir;
};

void TestAccountSlots::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(m_dir.filePath(QStringLiteral("TARVOLK.INI")));
}

void TestAccountSlots::writeSettings(const QByteArray& content)
{
    QFile file(m_dir.filePath(QStringLiteral("TARVOLK.INI")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

IniDocument TestAccountSlots::settings() const
{
    return readIniFile(m_dir.filePath(QStringLiteral("TARVOLK.INI"))).document;
}

void TestAccountSlots::loadsTwoAccounts()
{
    writeSettings("[Setup]\nLineCount=10\nTitle1=Privat\nHost1=192.0.2.10\nAccount1=user1\n"
                  "Title2=Verein\nHost2=192.0.2.20\nAccount2=user2\n");
    AccountSlots accounts;
    const QList<TitledSlot> titled = accounts.load(settings());
    QCOMPARE(accounts.LineCount, qint16(10));
    QCOMPARE(titled.size(), 2);
    QCOMPARE(titled[0].title, QStringLiteral("Privat"));
    QCOMPARE(titled[1].title, QStringLiteral("Verein"));
    QVERIFY(accounts.SetIdentity(titled[1].slot));
    QCOMPARE(accounts.CurHost, QStringLiteral("192.0.2.20"));
    QCOMPARE(accounts.CurAccount, QStringLiteral("user2"));
    QCOMPARE(accounts.CurPassword, QString());
    for (int n = 3; n <= 10; ++n)
        QVERIFY(accounts.Accounts[n].Host.isEmpty() && accounts.Accounts[n].Title.isEmpty());
}

void TestAccountSlots::readsLineCount_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << QByteArray("LineCount=20") << 20;
    QTest::newRow("trailing letters") << QByteArray("LineCount=12abc") << 12;
    QTest::newRow("letters only") << QByteArray("LineCount=abc") << 0;
    QTest::newRow("empty") << QByteArray("LineCount=") << 0;
    QTest::newRow("missing key") << QByteArray("Other=5") << 0;
    QTest::newRow("blank between digits") << QByteArray("LineCount=2 5") << 25;
    QTest::newRow("half goes down to even") << QByteArray("LineCount=2.5") << 2;
    QTest::newRow("half goes up to even") << QByteArray("LineCount=3.5") << 4;
    QTest::newRow("negative") << QByteArray("LineCount=-3") << -3;
    QTest::newRow("hexadecimal") << QByteArray("LineCount=&H10") << 16;
    QTest::newRow("above 16 bits is clamped") << QByteArray("LineCount=99999") << 32767;
    QTest::newRow("below 16 bits is clamped") << QByteArray("LineCount=-99999") << -32768;
}

void TestAccountSlots::readsLineCount()
{
    QFETCH(QByteArray, line);
    QFETCH(int, expected);
    writeSettings("[Setup]\n" + line + "\n");
    AccountSlots accounts;
    accounts.load(settings());
    QCOMPARE(int(accounts.LineCount), expected);
}

void TestAccountSlots::listsEveryTitledSlotWithItsNumber()
{
    // Gaps, a blank title, a twice-used title, and an untitled slot with full log-in data.
    writeSettings(
        "[Setup]\nTitle2=Zwei\nHost2=h2\nTitle3=\" \"\nTitle4=\nHost3=h3\nTitle5=Zwei\nHost5=h5\n"
        "Host4=h4\nAccount4=u4\nPassword4=p4\nPassword3=\nconfirmdelete = 0\n");
    AccountSlots accounts;
    const QList<TitledSlot> titled = accounts.load(settings());
    QCOMPARE(titled.size(), 3);
    QCOMPARE(titled[0].slot, 2);
    QCOMPARE(titled[1].slot, 3);
    QCOMPARE(titled[1].title, QStringLiteral(" ")); // only the empty title counts as none
    QCOMPARE(titled[2].slot, 5);
    QCOMPARE(titled[2].title, QStringLiteral("Zwei"));
    QVERIFY(accounts.SetIdentity(titled[2].slot));
    QCOMPARE(accounts.CurHost, QStringLiteral("h5"));
    QCOMPARE(accounts.Accounts[4].Password, QStringLiteral("p4"));
    // An empty Password3= is an empty password; no Password2 at all leaves it to the keyring.
    QVERIFY(accounts.Accounts[3].PasswordGiven && !accounts.Accounts[2].PasswordGiven);
    QVERIFY(!accounts.ConfirmDelete);
}

void TestAccountSlots::neverReadsSlotsAboveTen()
{
    writeSettings("[Setup]\nTitle10=Zehn\nSecurity10=starttls\nFingerprint10=AB:cd\nTitle11=Elf\n"
                  "Host11=h11\nAuth10=oauth2\nOAuthProvider10=custom\nClientId10=app\n"
                  "AuthUrl10=https://a.example/auth\nTokenUrl10=https://a.example/token\n"
                  "Scope10=pop\nClientSecret10=gocspx\nConfirmDelete=nein\n");
    AccountSlots accounts;
    const QList<TitledSlot> titled = accounts.load(settings());
    QCOMPARE(titled.size(), 1);
    QCOMPARE(titled[0].slot, 10);
    QCOMPARE(accounts.Accounts[10].Security, QStringLiteral("starttls"));
    QCOMPARE(accounts.Accounts[10].Fingerprint, QStringLiteral("AB:cd"));
    QVERIFY(accounts.ConfirmDelete); // only 0 turns the question before a deletion off
    const AccountSlot& oauth = accounts.Accounts[10];
    QCOMPARE(QStringList({oauth.Auth, oauth.OAuthProvider, oauth.ClientId, oauth.AuthUrl,
                          oauth.TokenUrl, oauth.Scope, oauth.ClientSecret}),
             QStringList({QStringLiteral("oauth2"), QStringLiteral("custom"), QStringLiteral("app"),
                          QStringLiteral("https://a.example/auth"),
                          QStringLiteral("https://a.example/token"), QStringLiteral("pop"),
                          QStringLiteral("gocspx")}));
}

void TestAccountSlots::setIdentityRefusesNumbersOutOfRange()
{
    writeSettings("[Setup]\nTitle1=Eins\nHost1=h1\nAccount1=u1\nPassword1=p1\n");
    AccountSlots accounts;
    accounts.load(settings());
    QVERIFY(accounts.SetIdentity(1));
    QVERIFY(!accounts.SetIdentity(11));
    QVERIFY(!accounts.SetIdentity(-1));
    QCOMPARE(accounts.CurHost, QStringLiteral("h1"));
    QCOMPARE(accounts.CurAccount, QStringLiteral("u1"));
    QCOMPARE(accounts.CurPassword, QStringLiteral("p1"));
    QCOMPARE(accounts.current().title, QStringLiteral("Eins"));
    QVERIFY(accounts.SetIdentity(0));
    QVERIFY(accounts.CurHost.isEmpty() && accounts.CurAccount.isEmpty() &&
            accounts.CurPassword.isEmpty());
    QVERIFY(accounts.current().server.host.isEmpty());
}

void TestAccountSlots::missingFileLeavesEverythingEmpty()
{
    AccountSlots accounts;
    QVERIFY(accounts.load(settings()).isEmpty());
    QCOMPARE(accounts.LineCount, qint16(0));
}

TARVOLK_TEST(TestAccountSlots);
#include "test_accountslots.moc"
