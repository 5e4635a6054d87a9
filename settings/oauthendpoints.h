// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/accountslot.h"

#include <QString>
#include <QUrl>

// Where an OAuth2 account signs in and gets its tokens, and what it asks for.
struct OAuthEndpoints {
    QUrl authUrl;
    QUrl tokenUrl;
    QString scope;
    QString problem; // why the settings cannot be used, in German; empty when they can
};

// The known providers' endpoints, or for "custom" the account's own AuthUrl, TokenUrl and Scope.
OAuthEndpoints oauthEndpoints(const AccountSlot& account);
