// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int UsageError = 2;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// Built here rather than by QCommandLineParser, whose headings are English.
QString helpText(const QList<QCommandLineOption>& options)
{
    QString text =
        Texts::tr("Aufruf: tarvolk [Optionen]\n"
                  "Zeigt, was in einem POP3-Postfach liegt, ohne ganze Nachrichten zu laden.\n\n"
                  "Optionen:\n");
    for (const QCommandLineOption& option : options) {
        QStringList names;
        for (const QString& name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString left = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            left += u' ' + option.valueName();
        text += QStringLiteral("  %1  %2\n").arg(left, -16).arg(option.description());
    }
    return text;
}

// Qt's own options, which QApplication takes when the window opens: with a value, and without.
const QStringList QtOptionsWithValue = {QStringLiteral("style"),
                                        QStringLiteral("stylesheet"),
                                        QStringLiteral("platform"),
                                        QStringLiteral("platformpluginpath"),
                                        QStringLiteral("platformtheme"),
                                        QStringLiteral("plugin"),
                                        QStringLiteral("qmljsdebugger"),
                                        QStringLiteral("qwindowgeometry"),
                                        QStringLiteral("qwindowicon"),
                                        QStringLiteral("qwindowtitle"),
                                        QStringLiteral("session"),
                                        QStringLiteral("display"),
                                        QStringLiteral("geometry"),
                                        QStringLiteral("title"),
                                        QStringLiteral("name"),
                                        QStringLiteral("visual"),
                                        QStringLiteral("ncols"),
                                        QStringLiteral("cmap"),
                                        QStringLiteral("im"),
                                        QStringLiteral("inputstyle")};
const QStringList QtOptionsAlone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                    QStringLiteral("nograb"), QStringLiteral("dograb"),
                                    QStringLiteral("sync")};

// The arguments without Qt's own options (as -style Fusion, --style=Fusion, -reverse), which are
// QApplication's to read.
QStringList withoutQtOptions(const QStringList& arguments)
{
    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = argument.startsWith(u'-') && i > 0
                                 ? argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1)
                                 : QString();
        const QString bare = name.section(u'=', 0, 0);
        if (QtOptionsWithValue.contains(bare)) {
            if (!name.contains(u'='))
                ++i;
            continue;
        }
        if (!QtOptionsAlone.contains(name))
            ours.append(argument);
    }
    return ours;
}

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments)
{
    const QList<QCommandLineOption> options{
        {{QStringLiteral("h"), QStringLiteral("help")}, Texts::tr("zeigt diese Hilfe")},
        {QStringLiteral("version"), Texts::tr("zeigt die Versionsnummer")},
        {QStringLiteral("config"), Texts::tr("liest die Einstellungen aus genau dieser Datei"),
         Texts::tr("DATEI")},
        {QStringLiteral("hidden"),
         Texts::tr("startet im Infobereich, wenn ein Konto überwacht wird")},
    };
    QCommandLineParser parser;
    parser.addOptions(options);

    CommandLine command;
    if (!parser.parse(withoutQtOptions(arguments)) || !parser.positionalArguments().isEmpty()) {
        // Tarvolk has one option with a value; a parse that fails otherwise lacks it.
        const QString mistake =
            !parser.unknownOptionNames().isEmpty()
                ? Texts::tr("Unbekannte Option: %1")
                      .arg(parser.unknownOptionNames().join(QStringLiteral(", ")))
            : parser.positionalArguments().isEmpty()
                ? Texts::tr("Der Option --config fehlt die Datei.")
                : Texts::tr("Unerwartetes Argument: %1")
                      .arg(parser.positionalArguments().join(u' '));
        print(stderr, Texts::tr("tarvolk: %1\nMehr mit: tarvolk --help\n").arg(mistake));
        command.exitCode = UsageError;
    } else if (parser.isSet(options[0])) {
        print(stdout, helpText(options));
    } else if (parser.isSet(options[1])) {
        print(stdout, QStringLiteral("tarvolk %1\n").arg(QCoreApplication::applicationVersion()));
    } else {
        command.openWindow = true;
        // Made absolute now: the program changes its current folder at start-up.
        if (parser.isSet(options[2]))
            command.configFile = QFileInfo(parser.value(options[2])).absoluteFilePath();
        command.hidden = parser.isSet(options[3]);
    }
    return command;
}
