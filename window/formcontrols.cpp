// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/formcontrols.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FormControls)
};

QLabel* newValueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    // Values come from servers and messages: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    return label;
}

} // namespace

void FormControls::createOn(QWidget* form)
{
    createAccountFrame(form);
    createListFrame(form);
    createInfoFrame(form);
    ProgressBar1 = new QProgressBar(form);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label3 = new QLabel(QStringLiteral("Tarvolk POP3"), form);
    // It looks like a link, and a click on it opens "Über Tarvolk" (F1 from the keyboard).
    Label3->setCursor(Qt::PointingHandCursor);
    // Blue in the standard scheme, and a blue that a dark scheme keeps readable.
    Label3->setForegroundRole(QPalette::Link);
    nameControls();
    chainFocus();
    describeForScreenReaders();
}

void FormControls::createAccountFrame(QWidget* form)
{
    Frame3 = new QGroupBox(Texts::tr("Mailkonto"), form);
    cmbIdentity = new QComboBox(Frame3);
    cmbIdentity->setEditable(true);
    // What the user types never becomes an entry: only configured accounts can be chosen.
    cmbIdentity->setInsertPolicy(QComboBox::NoInsert);
    cmbIdentity->setEditText(QStringLiteral("Identity"));
    Command1[0] = new QPushButton(Texts::tr("&Emails abrufen"), Frame3);
    Command1[1] = new QPushButton(Texts::tr("&Markierte Email(s) löschen"), Frame3);
    // Return or Enter presses the focused button, as in a dialog.
    for (QPushButton* button : Command1)
        button->setAutoDefault(true);
}

void FormControls::createListFrame(QWidget* form)
{
    Frame2 = new QGroupBox(Texts::tr("Maillist"), form);
    Label2 = newValueLabel(Frame2);
    Label2->setText(QStringLiteral("Label2"));
    Label1 = newValueLabel(Frame2);
    Label1->setText(QStringLiteral("Label1"));
    List1 = new MessageListView(Frame2);
}

void FormControls::createInfoFrame(QWidget* form)
{
    Frame1 = new QGroupBox(Texts::tr("Mailinfo"), form);
    // The header values look like fields: the colours of a text field, white in the standard
    // scheme and dark in a dark one.
    for (int i = 0; i < 4; ++i) {
        lblMailInfo[i] = newValueLabel(Frame1);
        lblMailInfo[i]->setBackgroundRole(QPalette::Base);
        lblMailInfo[i]->setForegroundRole(QPalette::Text);
        lblMailInfo[i]->setAutoFillBackground(true);
    }
    const char* captions[] = {QT_TRANSLATE_NOOP("FormControls", "Absender:"),
                              QT_TRANSLATE_NOOP("FormControls", "Empfänger:"),
                              QT_TRANSLATE_NOOP("FormControls", "Betreff:"),
                              QT_TRANSLATE_NOOP("FormControls", "Datum:")};
    for (int i = 0; i < 4; ++i)
        lblMailInfo[4 + i] = new QLabel(Texts::tr(captions[i]), Frame1);
    picMailInfo = new QLabel(Frame1);
    picMailInfo->setPixmap(QPixmap(QStringLiteral(":/paperclip.png")));
    picMailInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picVerdict = new QLabel(Frame1);
    picVerdict->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tabText1 = new QTabBar(Frame1);
    tabText1->setDocumentMode(true);
    tabText1->setDrawBase(false);
    for (const char* tab : {QT_TRANSLATE_NOOP("FormControls", "&Vorschau"),
                            QT_TRANSLATE_NOOP("FormControls", "&Kopfzeilen"),
                            QT_TRANSLATE_NOOP("FormControls", "&Ganze Nachricht")})
        tabText1->addTab(Texts::tr(tab));
    Text1 = new QPlainTextEdit(QStringLiteral("Text1"), Frame1);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    // The preview shows what the server holds; it can be selected and copied, not edited.
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

// Object names as the program calls the controls, for diagnostics and tools.
void FormControls::nameControls()
{
    const QList<QPair<QWidget*, const char*>> names{{Frame1, "Frame1"},
                                                    {Frame2, "Frame2"},
                                                    {Frame3, "Frame3"},
                                                    {List1, "List1"},
                                                    {cmbIdentity, "cmbIdentity"},
                                                    {Label1, "Label1"},
                                                    {Label2, "Label2"},
                                                    {Label3, "Label3"},
                                                    {Text1, "Text1"},
                                                    {picMailInfo, "picMailInfo"},
                                                    {picVerdict, "picVerdict"},
                                                    {tabText1, "tabText1"},
                                                    {ProgressBar1, "ProgressBar1"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < 2; ++i)
        Command1[i]->setObjectName(QStringLiteral("Command1(%1)").arg(i));
    for (int i = 0; i < 8; ++i)
        lblMailInfo[i]->setObjectName(QStringLiteral("lblMailInfo(%1)").arg(i));
}

void FormControls::chainFocus()
{
    // Frames, labels and the progress bar keep their kinds' default of taking no focus; Tab
    // from the last of these wraps round to the tabs above Text1.
    QWidget::setTabOrder(tabText1, Text1);
    QWidget::setTabOrder(Text1, List1);
    QWidget::setTabOrder(List1, cmbIdentity);
    QWidget::setTabOrder(cmbIdentity, Command1[1]);
    QWidget::setTabOrder(Command1[1], Command1[0]);
}

void FormControls::describeForScreenReaders()
{
    // Labels keep their text as accessible name, so that a screen reader speaks the value;
    // the description says what the value is.
    Label1->setAccessibleDescription(Texts::tr("Status"));
    Label2->setAccessibleDescription(Texts::tr("Postfach"));
    const char* values[] = {QT_TRANSLATE_NOOP("FormControls", "Absender"),
                            QT_TRANSLATE_NOOP("FormControls", "Empfänger"),
                            QT_TRANSLATE_NOOP("FormControls", "Betreff"),
                            QT_TRANSLATE_NOOP("FormControls", "Datum")};
    for (int i = 0; i < 4; ++i) {
        lblMailInfo[i]->setAccessibleDescription(Texts::tr(values[i]));
        // The caption labels its value: an empty value is read by its caption, not by the
        // frame's title.
        lblMailInfo[4 + i]->setBuddy(lblMailInfo[i]);
    }
    picMailInfo->setAccessibleDescription(Texts::tr("Anhang"));
    picVerdict->setAccessibleDescription(Texts::tr("Hinweis"));

    const auto nameAndDescribe = [](QWidget* control, const QString& what) {
        control->setAccessibleName(what);
        control->setAccessibleDescription(what);
    };
    nameAndDescribe(Text1, Texts::tr("Vorschau"));
    nameAndDescribe(List1, Texts::tr("Nachrichten"));
    nameAndDescribe(ProgressBar1, Texts::tr("Fortschritt"));
    cmbIdentity->setAccessibleName(Texts::tr("Mailkonto"));
}
