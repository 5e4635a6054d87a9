// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/tokenreplyhandler.h"

#include "oauth/boundednetworkaccess.h"
#include "oauth/tokenanswer.h"

#include <QNetworkReply>

void TokenReplyHandler::networkReplyFinished(QNetworkReply* reply)
{
    switch (BoundedNetworkAccess::exceeded(reply)) {
    case BoundedNetworkAccess::Exceeded::Size:
        emit unusable(tokenAnswerTooLarge());
        return;
    case BoundedNetworkAccess::Exceeded::Time:
        emit unusable(tr("Der Anbieter hat die Token-Anfrage nicht rechtzeitig beantwortet."));
        return;
    case BoundedNetworkAccess::Exceeded::Nothing:
        break;
    }
    const TokenAnswer answer = readTokenAnswer(reply->read(MaxTokenAnswerBytes + 1));
    if (reply->error() != QNetworkReply::NoError || answer.kind == TokenAnswer::Kind::Refused) {
        emit refused(answer.kind == TokenAnswer::Kind::Refused ? answer.problem
                                                               : reply->errorString());
        return;
    }
    if (answer.kind == TokenAnswer::Kind::Unusable) {
        emit unusable(answer.problem);
        return;
    }
    QVariantMap tokens{{QStringLiteral("access_token"), answer.accessToken},
                       {QStringLiteral("token_type"), QStringLiteral("Bearer")}};
    if (!answer.refreshToken.isEmpty())
        tokens.insert(QStringLiteral("refresh_token"), answer.refreshToken);
    if (answer.expiresInSeconds >= 0)
        tokens.insert(QStringLiteral("expires_in"), answer.expiresInSeconds);
    emit tokensReceived(tokens);
}
