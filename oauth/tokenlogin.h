#pragma once

#include "oauth/tokensource.h"
#include "settings/accountslots.h"

#include <functional>

// Talks to the server with the account; returns whether the server refused the access token.
using TokenConversation = std::function<bool(const AccountSlot& account)>;

// Runs the conversation with an access token for the account. A token kept in memory that the
// server refuses may have been revoked: the conversation leaves that refusal unreported, and runs
// once more with a fresh token. Returns how getting the token went; nothing runs unless Granted.
TokenSource::Result runWithToken(TokenSource& tokens, AccountSlot account,
                                 const TokenConversation& conversation);
