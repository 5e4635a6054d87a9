// How a provider's answer to a token request is read. Each input is read once as it is, and once
// as the fields of an answer written as JSON: that one must give back exactly its tokens when, by
// an independent reading of the rules, they can go into a login line, and be refused otherwise.

#include "fuzz/require.h"
#include "oauth/tokenanswer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr qint64 Year = 366 * 24 * 3600;

bool usable(const QString& token)
{
    if (token.isEmpty() || token.size() > 16 * 1024)
        return false;
    return std::all_of(token.begin(), token.end(),
                       [](QChar c) { return c.unicode() >= 0x21 && c.unicode() <= 0x7e; });
}

void checkAnyAnswer(const QByteArray& input)
{
    const TokenAnswer answer = readTokenAnswer(input);
    if (answer.kind != TokenAnswer::Kind::Tokens) {
        require(!answer.problem.isEmpty() && answer.accessToken.isEmpty(),
                "an answer without tokens says why and gives none");
        return;
    }
    require(answer.problem.isEmpty() && usable(answer.accessToken) &&
                (answer.refreshToken.isEmpty() || usable(answer.refreshToken)),
            "tokens given are fit for a login line");
    require(answer.expiresInSeconds >= -1 && answer.expiresInSeconds <= Year,
            "a lifetime is unknown or at most a year");
}

void checkWrittenAnswer(FuzzedDataProvider& fields)
{
    const int repeats = fields.ConsumeIntegralInRange<int>(1, 40);
    const QString access =
        QString::fromStdString(fields.ConsumeRandomLengthString(2000)).repeated(repeats);
    const QString refresh = QString::fromStdString(fields.ConsumeRandomLengthString(2000));
    const bool withRefresh = fields.ConsumeBool();
    const qint64 lifetime = fields.ConsumeIntegralInRange<qint64>(-10, 2 * Year);
    QJsonObject written{{QStringLiteral("access_token"), access},
                        {QStringLiteral("expires_in"), lifetime}};
    if (withRefresh)
        written.insert(QStringLiteral("refresh_token"), refresh);
    const QByteArray body = QJsonDocument(written).toJson(QJsonDocument::Compact);
    const TokenAnswer read = readTokenAnswer(body);

    if (body.size() > MaxTokenAnswerBytes || !usable(access) || (withRefresh && !usable(refresh))) {
        require(read.kind == TokenAnswer::Kind::Unusable, "unfit tokens are refused");
        return;
    }
    require(read.kind == TokenAnswer::Kind::Tokens && read.accessToken == access &&
                read.refreshToken == (withRefresh ? refresh : QString()),
            "fit tokens are read as written");
    require(read.expiresInSeconds == (lifetime >= 0 && lifetime <= Year ? lifetime : -1),
            "a lifetime up to a year is read as written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkAnyAnswer(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    FuzzedDataProvider fields(data, size);
    checkWrittenAnswer(fields);
    return 0;
}
