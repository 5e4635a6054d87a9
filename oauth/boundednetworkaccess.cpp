// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/boundednetworkaccess.h"

#include <QNetworkReply>
#include <QTimer>

namespace {

const char* const ExceededProperty = "tarvolkExceeded";

void stop(QNetworkReply* reply, BoundedNetworkAccess::Exceeded exceeded)
{
    if (reply->isFinished())
        return;
    reply->setProperty(ExceededProperty, int(exceeded));
    reply->abort();
}

} // namespace

BoundedNetworkAccess::BoundedNetworkAccess(qsizetype maxBytes, int timeLimitMs, QObject* parent)
    : QNetworkAccessManager(parent), m_maxBytes(maxBytes), m_timeLimitMs(timeLimitMs)
{
}

BoundedNetworkAccess::Exceeded BoundedNetworkAccess::exceeded(const QNetworkReply* reply)
{
    return Exceeded(reply->property(ExceededProperty).toInt());
}

QNetworkReply* BoundedNetworkAccess::createRequest(Operation operation,
                                                   const QNetworkRequest& request,
                                                   QIODevice* outgoingData)
{
    QNetworkReply* reply = QNetworkAccessManager::createRequest(operation, request, outgoingData);
    // One byte beyond the bound shows that it was passed; the rest stays unread on the wire.
    reply->setReadBufferSize(m_maxBytes + 1);
    const qsizetype maxBytes = m_maxBytes;
    connect(reply, &QIODevice::readyRead, reply, [reply, maxBytes] {
        if (reply->bytesAvailable() > maxBytes)
            stop(reply, Exceeded::Size);
    });
    QTimer::singleShot(m_timeLimitMs, reply, [reply] { stop(reply, Exceeded::Time); });
    return reply;
}
