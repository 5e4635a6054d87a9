// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "testsupport/dovecotserver.h"

#include <QTest>

// Skips the calling test function when dovecot cannot run here, but fails it under CI, where a
// silently skipped server test would hide that nothing was tested.
#define TARVOLK_REQUIRE_DOVECOT()                                                                  \
    do {                                                                                           \
        const QString tarvolkDovecotReason = DovecotServer::unavailableReason();                   \
        if (!tarvolkDovecotReason.isEmpty()) {                                                     \
            if (DovecotServer::requiredHere())                                                     \
                QFAIL(qPrintable(tarvolkDovecotReason + QStringLiteral(" (required under CI)")));  \
            QSKIP(qPrintable(tarvolkDovecotReason));                                               \
        }                                                                                          \
    } while (false)
