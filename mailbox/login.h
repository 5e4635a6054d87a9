// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/capabilities.h"
#include "settings/account.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class Pop3Session;

// Why the account cannot be used as it is, before anything is sent; empty when it can. A user
// name or password from the keyring or the password dialog is checked here too.
QString unusableBecause(const Account& account);

// Logs in on a new connection: the greeting, "capa", STLS when the account asks for it, then
// USER and PASS, AUTH PLAIN, or an access token with XOAUTH2 or OAUTHBEARER.
class LogIn {
public:
    struct Request {
        Account account;
        AccessToken token; // for AuthMethod::OAuth2
        // What the server announced in an earlier conversation of this run, if anything: a server
        // that took commands ahead then gets "capa" together with the log-in, a round trip less.
        Capabilities known;
        // Sent right after the password to a server that takes commands ahead; their answers are
        // the caller's to read.
        QList<QByteArray> ahead;
    };

    LogIn(Pop3Session& session, Request request);

    // False when the conversation ended; the session knows why.
    bool run();
    // The commands that went out with the log-in.
    const QList<QByteArray>& sentAhead() const { return m_sentAhead; }
    // What the server announced before the log-in, once it was asked, for the next
    // conversation's Request::known.
    const std::optional<Capabilities>& announced() const { return m_announced; }
    // The server refused the password or the access token itself.
    bool passwordRefused() const { return m_passwordRefused; }

private:
    static bool takesCommandsAhead(const Capabilities& capabilities);
    bool wantsPlain(const Capabilities& capabilities) const;
    bool signsInWithToken() const { return m_request.account.auth == AuthMethod::OAuth2; }
    bool awaitPositive();
    bool startTls();
    bool logInAfterCapabilities();
    void sendUser(const QList<QByteArray>& ahead);
    bool awaitUserAndPassword();
    bool logInWithPlain();
    bool logInWithToken();
    // A refused password or token is told unless quietWhenRefused: the caller tries again.
    bool awaitLogIn(bool quietWhenRefused = false);

    Pop3Session& m_session;
    Request m_request;
    QList<QByteArray> m_sentAhead;
    std::optional<Capabilities> m_announced;
    bool m_passwordRefused = false;
};
