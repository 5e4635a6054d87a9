// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/oauthlogin.h"

#include "oauth/tokenlogin.h"
#include "window/messagebox.h"

#include <QDesktopServices>
#include <QEvent>
#include <QScopeGuard>
#include <QWidget>

OAuthLogin::OAuthLogin(std::function<void(const QString&)> setStatus,
                       TokenSource::RefreshTokens refreshTokens, QObject* parent)
    : QObject(parent), m_setStatus(std::move(setStatus)),
      m_browser([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      m_tokens([this](const QUrl& url) { openBrowser(url); }, std::move(refreshTokens))
{
}

void OAuthLogin::run(const Account& account, QWidget* parent, const Conversation& conversation)
{
    if (m_parent) {
        m_tokens.cancel();
        return;
    }
    m_parent = parent;
    parent->installEventFilter(this);
    const auto done = qScopeGuard([this, parent] {
        parent->removeEventFilter(this);
        m_parent = nullptr;
    });
    const TokenSource::Result result =
        runWithToken(m_tokens, account,
                     [&parent, &conversation](const Account& signingIn, const AccessToken& token) {
                         return parent->isVisible() && conversation(signingIn, token);
                     });
    if (result.outcome == TokenSource::Outcome::Granted || !parent->isVisible())
        return;
    m_setStatus(QString());
    if (result.outcome == TokenSource::Outcome::Failed)
        MessageBox::show(parent, QString(), tr("Anmeldung fehlgeschlagen"), result.problem);
}

bool OAuthLogin::eventFilter(QObject* watched, QEvent* event)
{
    // A closed window waits for no browser.
    if (watched == m_parent && event->type() == QEvent::Close)
        m_tokens.cancel();
    return QObject::eventFilter(watched, event);
}

void OAuthLogin::openBrowser(const QUrl& url)
{
    m_setStatus(tr("Anmeldung im Browser … (ein weiterer Klick bricht ab)"));
    if (!m_browser(url) && m_parent) {
        // The page holds no secret: the user may open it by hand.
        MessageBox::show(m_parent, QString(),
                         tr("Der Browser ließ sich nicht öffnen. Bitte diese Adresse im Browser "
                            "aufrufen:"),
                         url.toString());
    }
}
