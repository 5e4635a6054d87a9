#pragma once

#include <QByteArrayView>
#include <QString>

// The bracketed code a server may put after "-ERR" to say why it refused (RFC 2449, RFC 3206).
enum class ResponseCode { None, Auth, InUse, LoginDelay, SysTemp, SysPerm, Other };

ResponseCode responseCodeOf(QByteArrayView reply);

// Whether a refusal of the password or of AUTH means the password itself was wrong.
bool meansWrongPassword(ResponseCode code);

// What the user is told of a refused log-in. loginDelaySeconds is what the server announced as
// LOGIN-DELAY, or -1.
QString refusalText(ResponseCode code, int loginDelaySeconds);
