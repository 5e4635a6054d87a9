#pragma once

#include <QString>

class QLabel;

// Text that comes from a server or a message is shown as it stands: never as markup, never as a
// link, never loading an image, and never longer than ShownLimit characters, so that a hostile
// header cannot make the window read files or lay out megabytes. Every such text in the window
// is set through here.
namespace plaintext {

constexpr qsizetype ShownLimit = 1000;

// The text cut to ShownLimit characters, with an ellipsis when it was longer.
QString bounded(const QString& text);

// A tooltip that shows the bounded text literally: tooltips guess whether they hold markup, so
// the text is escaped and handed over as markup. Empty for an empty text.
QString toolTip(const QString& text);

// Sets a label's text as plain text, bounded, with the same text as its tooltip when withToolTip.
void show(QLabel* label, const QString& text, bool withToolTip = true);

} // namespace plaintext
