// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/tokensource.h"
#include "settings/account.h"

#include <functional>

// Talks to the server with the account and the access token; returns whether the server refused
// the token.
using TokenConversation = std::function<bool(const Account& account, const AccessToken& token)>;

// Runs the conversation with an access token for the account. A token kept in memory that the
// server refuses may have been revoked: the conversation leaves that refusal unreported, and runs
// once more with a fresh token. Returns how getting the token went; nothing runs unless Granted.
TokenSource::Result runWithToken(TokenSource& tokens, const Account& account,
                                 const TokenConversation& conversation);
