// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QCoreApplication;

// Installs the English texts when the user's languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) put
// English before German; German, the source language, stays otherwise. Call it once for each
// application object: the translators belong to it.
void installTranslations(QCoreApplication& application);
