// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the sign-in listener reads a request: the input as it is, and a request written from the
// input's fields as a provider writes it, which must be read back exactly, and only with the state.

#include "fuzz/require.h"
#include "oauth/redirectrequest.h"

#include <QList>
#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

using Kind = RedirectRequest::Kind;
const QString State = QStringLiteral("Zq3-vT8_kL0pWx5yN2bR7cD4fG6hJ9mA1sE0uI3oK5w");

QByteArray field(FuzzedDataProvider& fields)
{
    return QByteArray::fromStdString(fields.ConsumeRandomLengthString(300));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const RedirectRequest any = readRedirectRequest(input, State);
    const bool code = any.kind == Kind::Code;
    require(any.kind == Kind::Ignored ||
                (input.startsWith("GET /?") && code == any.error.isEmpty() &&
                 code == !any.code.isEmpty() &&
                 any.code.size() + any.error.size() + any.description.size() <= input.size()),
            "a GET of the root gives a code or an error, no longer than the request");

    FuzzedDataProvider fields(data, size);
    const QByteArray state = fields.ConsumeBool() ? State.toUtf8() : field(fields);
    const QByteArray written[] = {field(fields), field(fields), field(fields)};
    const QByteArray &writtenCode = written[0], &error = written[1], &description = written[2];
    QList<QByteArray> pairs{"state=" + state.toPercentEncoding(),
                            "code=" + writtenCode.toPercentEncoding(), "scope=pop"};
    const bool withError = fields.ConsumeBool();
    if (withError)
        pairs << "error=" + error.toPercentEncoding()
              << "error_description=" + description.toPercentEncoding();
    std::rotate(pairs.begin(), pairs.begin() + fields.ConsumeIntegralInRange<int>(0, 2),
                pairs.end());
    const RedirectRequest read =
        readRedirectRequest("GET /?" + pairs.join('&') + " HTTP/1.1\r\n\r\n", State);
    const Kind expected = QString::fromUtf8(state) != State ? Kind::Ignored
                          : withError && !error.isEmpty()   ? Kind::Refused
                          : writtenCode.isEmpty()           ? Kind::Ignored
                                                            : Kind::Code;
    const bool refused = expected == Kind::Refused;
    require(read.kind == expected &&
                read.code ==
                    (expected == Kind::Code ? QString::fromUtf8(writtenCode) : QString()) &&
                read.error == (refused ? QString::fromUtf8(error) : QString()) &&
                read.description == (refused ? QString::fromUtf8(description) : QString()),
            "a written request is read as written, and only with the state");
    return 0;
}
