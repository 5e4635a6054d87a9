// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The first of the user's languages that Tarvolk speaks wins, so "fr:en" gives English and "de:en"
// German; with neither, German stays.
bool prefersEnglish()
{
    for (const QString& name : QLocale::system().uiLanguages()) {
        const QString language = name.section(u'-', 0, 0);
        if (language == u"en")
            return true;
        if (language == u"de")
            return false;
    }
    return false;
}

void install(QCoreApplication& application, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(&application);
    if (translator->load(name, folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installTranslations(QCoreApplication& application)
{
    if (prefersEnglish()) {
        install(application, QStringLiteral("tarvolk_en"), QStringLiteral(":/i18n"));
        return;
    }
    // Qt's own texts (standard buttons, a text field's menu) are English unless Qt's German
    // translation is installed.
    install(application, QStringLiteral("qtbase_de"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
