// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"
#include "window/loginpassword.h"
#include "window/messagebox.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTest>
#include <QUrlQuery>
#include <QWidget>

namespace {

enum class User { SaysNo, ClosesTheBrowser, ClosesTheWindow, PressesAgain };

// No refresh token is kept: every token would have to come from the browser.
const TokenSource::RefreshTokens NoKeyring{[](const AccountIdentity&) { return QString(); },
                                           [](const AccountIdentity&, const QString&) {
                                           }};

} // namespace

Q_DECLARE_METATYPE(User)

// A press on an OAuth2 account that ends before any token: only a fault of the settings is told
// in a box; a cancel leaves no box and no hint behind, and the window free for the next press.
class TestOAuthLogin : public QObject {
    Q_OBJECT
private slots:
    void endsWithoutBoxWhenTheUserGivesUp_data();
    void endsWithoutBoxWhenTheUserGivesUp();
    void unusableSettingsOpenNoBrowser_data();
    void unusableSettingsOpenNoBrowser();
    void showsTheAddressWhenNoBrowserOpens();

private:
    static AccountSlot account();
};

AccountSlot TestOAuthLogin::account()
{
    AccountSlot slot;
    slot.Title = QStringLiteral("Firma");
    slot.Host = QStringLiteral("127.0.0.1:995");
    slot.Account = QStringLiteral("anna");
    slot.Auth = QStringLiteral("oauth2");
    slot.OAuthProvider = QStringLiteral("custom");
    slot.ClientId = QStringLiteral("tarvolk-test");
    // Never reached: no test gets as far as asking for a token.
    slot.AuthUrl = QStringLiteral("http://127.0.0.1:9/authorize");
    slot.TokenUrl = QStringLiteral("http://127.0.0.1:9/token");
    return slot;
}

void TestOAuthLogin::endsWithoutBoxWhenTheUserGivesUp_data()
{
    QTest::addColumn<User>("user");
    QTest::newRow("says no in the browser") << User::SaysNo;
    QTest::newRow("closes the browser") << User::ClosesTheBrowser;
    QTest::newRow("closes the window") << User::ClosesTheWindow;
    QTest::newRow("presses again") << User::PressesAgain;
}

void TestOAuthLogin::endsWithoutBoxWhenTheUserGivesUp()
{
    QFETCH(User, user);
    int conversations = 0;
    bool pressAccepted = false;
    MessageBox::Recorder boxes;
    QWidget window;
    window.show();
    QStringList statuses;
    LoginPassword login([&statuses](const QString& text) { statuses.append(text); }, NoKeyring);
    QNetworkAccessManager browser;
    login.oauth().setBrowser([&](const QUrl& url) {
        const QUrlQuery asked(url);
        QUrl back(asked.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
        back.setQuery(QStringLiteral("error=access_denied&state=") +
                      asked.queryItemValue(QStringLiteral("state")));
        if (user == User::SaysNo)
            browser.get(QNetworkRequest(back));
        if (user == User::ClosesTheWindow)
            QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
        // The second press names an account with a password: it must not log in meanwhile.
        if (user == User::PressesAgain) {
            QMetaObject::invokeMethod(
                &window,
                [&] {
                    AccountSlot other = account();
                    other.Auth.clear();
                    other.PasswordGiven = true;
                    pressAccepted = !login.isRunning();
                    login.run(accountFrom(other), &window, [&](const Account&, const AccessToken&) {
                        ++conversations;
                        return false;
                    });
                },
                Qt::QueuedConnection);
        }
        return true;
    });
    const int timeLimitMs = user == User::ClosesTheBrowser ? 300 : 20000;
    login.oauth().tokens().setBrowserTimeLimitMs(timeLimitMs);
    QElapsedTimer clock;
    clock.start();

    login.run(accountFrom(account()), &window, [&](const Account&, const AccessToken&) {
        ++conversations;
        return false;
    });

    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(conversations, 0);
    QVERIFY(boxes.messages.isEmpty());
    QVERIFY(!login.isRunning());
    QCOMPARE(pressAccepted, user == User::PressesAgain);
    QVERIFY(statuses.value(0).startsWith(QStringLiteral("Anmeldung im Browser …")));
    if (window.isVisible())
        QCOMPARE(statuses.last(), QString());
}

void TestOAuthLogin::unusableSettingsOpenNoBrowser_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("tokenUrl");
    QTest::addColumn<QString>("problemNames");
    QTest::newRow("token address elsewhere over http")
        << account().Host << QStringLiteral("http://192.0.2.1/token") << QStringLiteral("https");
    QTest::newRow("plain connection") << QStringLiteral("127.0.0.1:110") << account().TokenUrl
                                      << QStringLiteral("tls oder starttls");
}

void TestOAuthLogin::unusableSettingsOpenNoBrowser()
{
    QFETCH(QString, host);
    QFETCH(QString, tokenUrl);
    QFETCH(QString, problemNames);
    MessageBox::Recorder boxes;
    QWidget window;
    window.show();
    LoginPassword login([](const QString&) {}, NoKeyring);
    int opened = 0;
    login.oauth().setBrowser([&opened](const QUrl&) { return ++opened > 0; });
    AccountSlot slot = account();
    slot.Host = host;
    slot.TokenUrl = tokenUrl;
    bool ran = false;

    login.run(accountFrom(slot), &window,
              [&ran](const Account&, const AccessToken&) { return ran = true; });

    // The conversation tells the problem, as for every account it cannot use; no browser opens.
    QVERIFY(ran);
    QCOMPARE(opened, 0);
    QVERIFY(boxes.messages.isEmpty());
    const QString problem = accountFrom(slot).problem;
    QVERIFY2(problem.contains(problemNames), qPrintable(problem));
}

void TestOAuthLogin::showsTheAddressWhenNoBrowserOpens()
{
    MessageBox::Recorder boxes;
    QWidget window;
    window.show();
    LoginPassword login([](const QString&) {}, NoKeyring);
    login.oauth().setBrowser([](const QUrl&) { return false; });
    login.oauth().tokens().setBrowserTimeLimitMs(100);

    login.run(accountFrom(account()), &window,
              [](const Account&, const AccessToken&) { return false; });

    QCOMPARE(boxes.messages.size(), 1);
    QVERIFY2(boxes.messages[0].detail.startsWith(account().AuthUrl + u'?'),
             qPrintable(boxes.messages[0].detail));
}

TARVOLK_TEST(TestOAuthLogin);
#include "test_oauthlogin.moc"
