// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "verdict/finding.h"

#include <QIcon>

// The icon of a finding's severity: the desktop theme's (dialog-error, dialog-warning,
// dialog-information, security-high), else the style's message-box icon or, for a confirmed
// sender, a check mark drawn here.
QIcon severityIcon(Severity severity);
