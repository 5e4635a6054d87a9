#pragma once

class QCoreApplication;

// Installs the English texts when the user's languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) put
// English before German; German, the source language, stays otherwise. Call it once for each
// application object: the translators belong to it.
void installTranslations(QCoreApplication& application);
