// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"

#include <QList>
#include <QMap>
#include <cstdio>

namespace testregistry {

namespace {

// Filled by static initialisers, so made on first use.
QMap<QByteArray, Run>& tests()
{
    static QMap<QByteArray, Run> registered;
    return registered;
}

} // namespace

bool add(const char* name, Run run)
{
    tests().insert(name, std::move(run));
    return true;
}

int run(int argc, char** argv)
{
    const QByteArray name = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (!tests().contains(name)) {
        std::fprintf(stderr, "usage: %s TEST [QTest arguments]; TEST is one of:\n", argv[0]);
        for (const QByteArray& known : tests().keys())
            std::fprintf(stderr, "  %s\n", known.constData());
        return 2;
    }
    // QTest reads the program's name first and its own arguments after it.
    QList<char*> rest{argv[0]};
    for (int i = 2; i < argc; ++i)
        rest.append(argv[i]);
    return tests().value(name)(int(rest.size()), rest.data());
}

} // namespace testregistry
