// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractOAuthReplyHandler>

// Reads the provider's answers to token requests for a QOAuth2AuthorizationCodeFlow whose network
// access is a BoundedNetworkAccess. Usable tokens go on to the flow; any other answer ends the
// request with a signal that says why, so that nobody waits for a flow that will never grant.
class TokenReplyHandler : public QAbstractOAuthReplyHandler {
    Q_OBJECT
public:
    using QAbstractOAuthReplyHandler::QAbstractOAuthReplyHandler;

    // A refresh leads no browser back anywhere.
    QString callback() const override { return QStringLiteral("oob"); }
    void networkReplyFinished(QNetworkReply* reply) override;

signals:
    // The provider said no, in its own words, or could not be reached.
    void refused(const QString& words);
    // The answer was too large, too slow, or held no usable token; the problem says which.
    void unusable(const QString& problem);
};
