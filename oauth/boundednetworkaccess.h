// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QNetworkAccessManager>

// Network access whose answers are bounded: one that passes the size bound or the time limit is
// aborted at once, without ever holding much more than the bound.
class BoundedNetworkAccess : public QNetworkAccessManager {
    Q_OBJECT
public:
    enum class Exceeded { Nothing, Size, Time };

    BoundedNetworkAccess(qsizetype maxBytes, int timeLimitMs, QObject* parent = nullptr);

    // Which bound ended the reply, if any.
    static Exceeded exceeded(const QNetworkReply* reply);

protected:
    QNetworkReply* createRequest(Operation operation, const QNetworkRequest& request,
                                 QIODevice* outgoingData) override;

private:
    qsizetype m_maxBytes;
    int m_timeLimitMs;
};
