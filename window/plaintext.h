#pragma once

#include <QString>
#include <QStringList>

class QLabel;

// Text that comes from a server, a message or the settings file is shown as it stands: never as
// markup, never as a link, never loading an image. It is also cleaned and bounded, so that a
// hostile text cannot hide behind control characters, turn itself round with direction overrides,
// or make a label or a box larger than the screen: control characters show as visible signs,
// direction overrides and isolates are dropped (the marks U+200E and U+200F stay, they turn
// nothing round), a tab becomes a blank. Every such text in the window is set through here.
namespace plaintext {

// One line: labels, the status line, list cells and tooltips.
constexpr qsizetype ShownLimit = 1000;
// The lines of a message box, text and detail together.
constexpr qsizetype BoxLimit = 2000;
constexpr int BoxLines = 20;

// The text as one line, line breaks shown as signs, cut to limit characters with an ellipsis.
QString line(const QString& text, qsizetype limit = ShownLimit);

// The text with its line breaks (CR LF and a lone CR become LF), cut to at most maxLines lines
// and limit characters, with an ellipsis where it was cut.
QString lines(const QString& text, qsizetype limit = BoxLimit, int maxLines = BoxLines);

// A tooltip that shows each line literally: tooltips guess whether they hold markup, so the text
// is escaped and handed over as markup. Empty when every line is.
QString toolTip(const QStringList& shownLines);
inline QString toolTip(const QString& text)
{
    return toolTip(QStringList{text});
}

// Sets a label's text as one plain line, with the same text as its tooltip when withToolTip.
void show(QLabel* label, const QString& text, bool withToolTip = true);

} // namespace plaintext
