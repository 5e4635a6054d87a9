// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The verdict on a header block. The input is the block, judged with a trusted id of its own
// topmost Authentication-Results field. Checked: the order and form of the findings, that a body
// after the empty line changes nothing, that nothing below a trusted field with nothing to say is
// read, and the id two copies of a block agree on.

#include "fuzz/require.h"
#include "verdict/authservid.h"
#include "verdict/headerfields.h"
#include "verdict/verdict.h"

#include <algorithm>
#include <cstdint>

namespace {

bool sameVerdict(const Verdict& first, const Verdict& second)
{
    const auto same = [](const Finding& a, const Finding& b) {
        return a.kind == b.kind && a.severity == b.severity && a.word == b.word &&
               a.detail == b.detail;
    };
    return std::equal(first.findings.begin(), first.findings.end(), second.findings.begin(),
                      second.findings.end(), same);
}

bool showsOnlyPlainText(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
    });
}

bool judgesTheSender(const Verdict& verdict)
{
    return std::any_of(verdict.findings.begin(), verdict.findings.end(), [](const Finding& f) {
        return f.kind == FindingKind::SenderConfirmed || f.kind == FindingKind::SenderNotConfirmed;
    });
}

void checkForm(const Verdict& verdict)
{
    for (qsizetype i = 0; i < verdict.findings.size(); ++i) {
        const Finding& finding = verdict.findings[i];
        require(i == 0 || verdict.findings[i - 1].kind < finding.kind,
                "gravest first, one finding of each kind");
        require(!finding.word.isEmpty() && !finding.detail.isEmpty(), "word and detail given");
        require(showsOnlyPlainText(finding.word) && showsOnlyPlainText(finding.detail),
                "no character of the header steers the display");
    }
}

// The id of the topmost Authentication-Results field as commonAuthServId reports it.
QString topmostId(const QList<HeaderField>& fields)
{
    const QList<QByteArray> values = fieldValues(fields, "Authentication-Results");
    if (values.isEmpty())
        return {};
    const AuthenticationResults topmost = readAuthenticationResults(values.first());
    return topmost.hasAuthServId ? topmost.authServId.toLower() : withoutAuthServId;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray block(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<HeaderField> fields = readHeaderFields(block);
    const QString id = topmostId(fields);
    const Verdict verdict = judgeHeaderBlock(block, id);
    checkForm(verdict);
    require(!judgesTheSender(judgeHeaderBlock(block, QString())),
            "without a trusted id the sender is neither confirmed nor doubted");

    if (block.size() < maxHeaderBlockSize - 100)
        require(sameVerdict(verdict, judgeHeaderBlock(block + "\n\nX-Spam-Flag: YES\r\n", id)),
                "what follows the empty line is not read");

    const QByteArray trustedOnTop = "Authentication-Results: fuzz.example.org; none\r\nX: 1\r\n";
    require(!judgesTheSender(
                judgeHeaderBlock(trustedOnTop + block, QStringLiteral("fuzz.example.org"))),
            "below the trusted server's field nothing speaks for it");

    require(commonAuthServId({block}).isEmpty(), "one message does not decide the id");
    if (!id.isEmpty())
        require(commonAuthServId({block, block}) == id, "two agreeing messages decide the id");
    return 0;
}
