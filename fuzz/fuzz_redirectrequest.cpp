// How the sign-in listener reads a request. Each input is read once as it is, and once as the
// fields of a request written the way a provider writes it: that one must be read back exactly,
// and only with the sign-in's state.

#include "fuzz/require.h"
#include "oauth/redirectrequest.h"

#include <QList>
#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

using Kind = RedirectRequest::Kind;

const QString State = QStringLiteral("Zq3-vT8_kL0pWx5yN2bR7cD4fG6hJ9mA1sE0uI3oK5w");

void checkAnyRequest(const QByteArray& input)
{
    const RedirectRequest request = readRedirectRequest(input, State);
    if (request.kind == Kind::Ignored)
        return;
    require(input.startsWith("GET /?"), "only a GET of the root with a query counts");
    require(request.kind == Kind::Code ? !request.code.isEmpty() && request.error.isEmpty()
                                       : !request.error.isEmpty() && request.code.isEmpty(),
            "a code or an error, never both, never empty");
    require(request.code.size() + request.error.size() + request.description.size() <= input.size(),
            "nothing read is longer than the request");
}

void checkWrittenRequest(FuzzedDataProvider& fields)
{
    const bool rightState = fields.ConsumeBool();
    QByteArray state = rightState ? State.toUtf8() : QByteArray();
    QList<QByteArray> values;
    for (int i = rightState ? 1 : 0; i < 5; ++i)
        values.append(QByteArray::fromStdString(fields.ConsumeRandomLengthString(300)));
    if (!rightState)
        state = values.takeFirst();
    const QByteArray &code = values[0], &error = values[1], &description = values[2];
    QList<QByteArray> pairs{"state=" + state.toPercentEncoding(),
                            "code=" + code.toPercentEncoding(),
                            "scope=" + values[3].toPercentEncoding()};
    if (!error.isEmpty() || fields.ConsumeBool()) {
        pairs << "error=" + error.toPercentEncoding()
              << "error_description=" + description.toPercentEncoding();
    }
    std::rotate(pairs.begin(), pairs.begin() + fields.ConsumeIntegralInRange<int>(0, 2),
                pairs.end());
    const RedirectRequest read = readRedirectRequest(
        "GET /?" + pairs.join('&') + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", State);

    if (QString::fromUtf8(state) != State || (error.isEmpty() && code.isEmpty())) {
        require(read.kind == Kind::Ignored, "without the state or an answer nothing counts");
    } else if (!error.isEmpty()) {
        require(read.kind == Kind::Refused && read.error == QString::fromUtf8(error) &&
                    read.description == QString::fromUtf8(description),
                "the provider's error is read as written");
    } else {
        require(read.kind == Kind::Code && read.code == QString::fromUtf8(code),
                "the code is read as written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkAnyRequest(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    FuzzedDataProvider fields(data, size);
    checkWrittenRequest(fields);
    return 0;
}
