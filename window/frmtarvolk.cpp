#include "window/frmtarvolk.h"

#include "settings/settingslocation.h"
#include "settings/tarvolkx.h"
#include "text/mailinfo.h"
#include "window/deletequestion.h"
#include "window/messagebox.h"
#include "window/plaintext.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>

// The pictures live in this static library; registering them here keeps them from being dropped
// by the linker. Outside any namespace, as the macro requires.
static void initResources()
{
    Q_INIT_RESOURCE(tarvolk);
}

namespace {

// The preview and the header summary show at most this many characters of a stored text.
constexpr qsizetype PreviewLimit = 10000;

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

frmTarvolk::frmTarvolk(const QString& programFolder, const QString& configFile, QWidget* parent)
    : QWidget(parent),
      m_display([this](const QString& text) { plaintext::show(Label1, text, false); },
                [this](int value) { ProgressBar1->setValue(value); },
                [this] { List1->messages()->publish(); })
{
    initResources();
    createControls();
    m_layout.place();
    chainFocus();
    describeForScreenReaders();
    Form_Load(programFolder, configFile);
}

void frmTarvolk::createControls()
{
    setWindowTitle(QStringLiteral("EMail Preview"));
    setWindowIcon(QIcon(QStringLiteral(":/mailbox.png")));

    Frame3 = new QGroupBox(QStringLiteral("Mailkonto"), this);
    cmbIdentity = new QComboBox(Frame3);
    cmbIdentity->setEditable(true);
    // What the user types never becomes an entry: only configured accounts can be chosen.
    cmbIdentity->setInsertPolicy(QComboBox::NoInsert);
    cmbIdentity->setEditText(QStringLiteral("Identity"));
    connect(cmbIdentity, &QComboBox::activated, this, &frmTarvolk::cmbIdentity_Click);
    Command1[0] = new QPushButton(QStringLiteral("&Emails abrufen"), Frame3);
    Command1[1] = new QPushButton(QStringLiteral("&Markierte Email(s) löschen"), Frame3);
    for (int index = 0; index < 2; ++index) {
        // Return or Enter presses the focused button, as in a dialog.
        Command1[index]->setAutoDefault(true);
        connect(Command1[index], &QPushButton::clicked, this,
                [this, index] { Command1_Click(index); });
    }
    // A disabled button ignores click(), so F5 starts nothing while a conversation runs.
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, Command1[0],
            &QPushButton::click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            &QWidget::close);
    // Escape ends a running conversation without "quit": the server deletes nothing.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { m_mailbox.cancel(); });

    Frame2 = new QGroupBox(QStringLiteral("Maillist"), this);
    Label2 = newValueLabel(Frame2);
    Label2->setText(QStringLiteral("Label2"));
    Label1 = newValueLabel(Frame2);
    Label1->setText(QStringLiteral("Label1"));
    List1 = new MessageListView(Frame2);
    connect(List1, &MessageListView::entryChosen, this, &frmTarvolk::List1_Click);

    Frame1 = new QGroupBox(QStringLiteral("Mailinfo"), this);
    // The header values look like fields: the colours of a text field, white in the standard
    // scheme and dark in a dark one.
    for (int i = 0; i < 4; ++i) {
        lblMailInfo[i] = newValueLabel(Frame1);
        lblMailInfo[i]->setBackgroundRole(QPalette::Base);
        lblMailInfo[i]->setForegroundRole(QPalette::Text);
        lblMailInfo[i]->setAutoFillBackground(true);
    }
    const char16_t* captions[] = {u"Absender:", u"Empfänger:", u"Betreff:", u"Datum:"};
    for (int i = 0; i < 4; ++i)
        lblMailInfo[4 + i] = new QLabel(QString::fromUtf16(captions[i]), Frame1);
    picMailInfo = new QLabel(Frame1);
    picMailInfo->setPixmap(QPixmap(QStringLiteral(":/paperclip.png")));
    picMailInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text1 = new QPlainTextEdit(QStringLiteral("Text1"), Frame1);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    // The preview shows what the server holds; it can be selected and copied, not edited.
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Label3 = new QLabel(QStringLiteral("Tarvolk POP3"), this);
    // Blue in the standard scheme, and a blue that a dark scheme keeps readable.
    Label3->setForegroundRole(QPalette::Link);

    // Object names as the program calls the controls, for diagnostics and tools.
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
                                                    {ProgressBar1, "ProgressBar1"}};
    for (const auto& [control, name] : names)
        control->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < 2; ++i)
        Command1[i]->setObjectName(QStringLiteral("Command1(%1)").arg(i));
    for (int i = 0; i < 8; ++i)
        lblMailInfo[i]->setObjectName(QStringLiteral("lblMailInfo(%1)").arg(i));
}

void frmTarvolk::chainFocus()
{
    // Frames, labels and the progress bar keep their kinds' default of taking no focus; Tab
    // from the last of these wraps round to Text1.
    QWidget::setTabOrder(Text1, List1);
    QWidget::setTabOrder(List1, cmbIdentity);
    QWidget::setTabOrder(cmbIdentity, Command1[1]);
    QWidget::setTabOrder(Command1[1], Command1[0]);
}

void frmTarvolk::describeForScreenReaders()
{
    // Labels keep their text as accessible name, so that a screen reader speaks the value;
    // the description says what the value is.
    Label1->setAccessibleDescription(QStringLiteral("Status"));
    Label2->setAccessibleDescription(QStringLiteral("Postfach"));
    const char16_t* values[] = {u"Absender", u"Empfänger", u"Betreff", u"Datum"};
    for (int i = 0; i < 4; ++i) {
        lblMailInfo[i]->setAccessibleDescription(QString::fromUtf16(values[i]));
        // The caption labels its value: an empty value is read by its caption, not by the
        // frame's title.
        lblMailInfo[4 + i]->setBuddy(lblMailInfo[i]);
    }
    picMailInfo->setAccessibleDescription(QStringLiteral("Anhang"));

    const auto nameAndDescribe = [](QWidget* control, const QString& what) {
        control->setAccessibleName(what);
        control->setAccessibleDescription(what);
    };
    nameAndDescribe(Text1, QStringLiteral("Vorschau"));
    nameAndDescribe(List1, QStringLiteral("Nachrichten"));
    nameAndDescribe(ProgressBar1, QStringLiteral("Fortschritt"));
    cmbIdentity->setAccessibleName(QStringLiteral("Mailkonto"));
}

bool frmTarvolk::SetIdentity(int MailNo)
{
    return m_accounts.SetIdentity(MailNo);
}

void frmTarvolk::Form_Load(const QString& programFolder, const QString& configFile)
{
    // Nothing depends on the current directory afterwards, so a folder that cannot be entered
    // does not stop the start.
    QDir::setCurrent(programFolder);
    TarvolkX::AppPath = programFolder;

    List1->messages()->clear();
    Text1->setPlainText(QString());
    Label2->setText(QStringLiteral("0 Emails"));
    Label1->clear();
    lblMailInfo[0]->clear();
    lblMailInfo[1]->clear();
    picMailInfo->hide();

    const IniFile settings = findSettings(configFile, programFolder);
    const QList<TitledSlot> titled = m_accounts.load(settings.document);
    cmbIdentity->clear();
    for (const TitledSlot& entry : titled)
        cmbIdentity->addItem(plaintext::line(entry.title), entry.slot);
    cmbIdentity->setCurrentIndex(0);
    showTitleFromItsStart();
    // Each entry carries its slot number, so a file with gaps between titles still selects the
    // slot whose title is shown; no entry at all gives slot 0, the empty account.
    SetIdentity(cmbIdentity->currentData().toInt());

    if (titled.isEmpty()) {
        const QString problem =
            settings.problem().isEmpty()
                ? QStringLiteral("Kein Mailkonto eingerichtet: bitte die Datei %1 anlegen.")
                      .arg(settings.path)
                : settings.problem();
        plaintext::show(Label1, problem);
        // The status line is too narrow for the whole path; the empty preview shows it in full.
        Text1->setPlaceholderText(plaintext::lines(problem));
    }
}

void frmTarvolk::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The program has this one window, so it becomes active once: when it is first shown.
    if (!m_activated) {
        m_activated = true;
        Form_Activate();
    }
}

void frmTarvolk::Form_Activate()
{
    Command1[0]->setFocus();
}

void frmTarvolk::cmbIdentity_Click()
{
    SetIdentity(cmbIdentity->currentData().toInt());
    showTitleFromItsStart();
}

void frmTarvolk::showTitleFromItsStart()
{
    // A title longer than the box would otherwise show only its end.
    if (cmbIdentity->lineEdit())
        cmbIdentity->lineEdit()->setCursorPosition(0);
}

void frmTarvolk::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_layout.follow(event->size());
}

void frmTarvolk::closeEvent(QCloseEvent* event)
{
    // A conversation still running ends at once, without "quit", so that the server deletes
    // nothing a half-done deletion has marked, and no box appears after the window is gone.
    m_mailbox.abort();
    QWidget::closeEvent(event);
}

void frmTarvolk::Command1_Click(int Index)
{
    if (m_mailbox.isBusy() || m_password.isRunning())
        return;
    QList<int> marked;
    if (Index == 1) {
        marked = List1->messages()->markedRows();
        if (marked.isEmpty()) {
            MessageBox::show(this, windowTitle(),
                             QStringLiteral("Keine Mail zum Löschen ausgewählt !"));
        } else if (m_accounts.ConfirmDelete &&
                   !MessageBox::ask(this,
                                    deleteQuestion(windowTitle(), *List1->messages(), marked))) {
            // Asked before any password or keyring: a cancelled deletion logs in nowhere.
            return;
        }
    }
    // Both conversations of a press work on the account and the marks of the moment it was
    // pressed.
    m_password.run(m_accounts.current(), this,
                   [this, marked](const Account& account, const AccessToken& token) {
                       m_fetchedAccount = account.identity().key();
                       m_mailbox.DeleteMail(account, marked, token);
                       // Without marks no deletion ran, and a cancel seen now is that of an earlier
                       // press.
                       if (!marked.isEmpty() && m_mailbox.wasCancelled())
                           return false;
                       m_mailbox.Emails_abrufen(account, m_accounts.LineCount, token);
                       return m_mailbox.passwordRefused();
                   });
}

void frmTarvolk::List1_Click()
{
    const int position = List1->currentRow();
    const QString text = m_mailbox.MailText(position).left(PreviewLimit);
    Text1->setPlainText(text);
    SetMailInfo(text);
}

void frmTarvolk::SetMailInfo(const QString& MailText)
{
    const MailInfo info = readMailInfo(MailText);
    // The boxes are narrower than many values; the whole value shows on hovering.
    for (int k = 0; k < 4; ++k)
        plaintext::show(lblMailInfo[k], info.values[k]);
    picMailInfo->setVisible(info.attachment);
}

void frmTarvolk::setStatus(const QString& text)
{
    m_display.setStatus(text);
}

void frmTarvolk::setSummary(const QString& text)
{
    plaintext::show(Label2, text);
}

void frmTarvolk::clearMessages()
{
    // The place in one account's list means nothing in another's.
    if (m_listedAccount == m_fetchedAccount)
        m_place.remember(*List1);
    else
        m_place.forget();
    List1->messages()->clear();
    Text1->setPlainText(QString());
    SetMailInfo(QStringLiteral(" "));
}

void frmTarvolk::appendMessages(const QList<ListedMessage>& messages)
{
    QStringList entries;
    QList<QByteArray> uids;
    entries.reserve(messages.size());
    uids.reserve(messages.size());
    for (const ListedMessage& message : messages) {
        entries.append(message.entry);
        uids.append(message.uid);
    }
    List1->messages()->append(entries, uids);
    m_listedAccount = m_fetchedAccount;
    m_place.restore(*List1);
    m_display.listChanged();
}

void frmTarvolk::messageArrived(int position, const QString& text)
{
    const MailInfo info = readMailInfo(text.left(PreviewLimit));
    List1->messages()->setDetails(position, {info.values[0], info.values[2], info.values[3]});
    m_display.listChanged();
    // The preview of the current entry shows what is stored by now.
    if (position == List1->currentRow())
        List1_Click();
}

void frmTarvolk::setProgressRange(int maximum)
{
    m_display.dropProgress();
    ProgressBar1->setValue(0);
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(maximum);
}

void frmTarvolk::setProgress(int value)
{
    m_display.setProgress(value);
}

int frmTarvolk::progressMaximum() const
{
    return ProgressBar1->maximum();
}

void frmTarvolk::setBusy(bool busy)
{
    // The buttons start nothing while a conversation runs; the list and the account box stay
    // usable, which the arrow-and-hourglass cursor tells.
    if (busy)
        m_focusBeforeBusy = focusWidget();
    for (QPushButton* button : Command1)
        button->setEnabled(!busy);
    if (busy) {
        setCursor(Qt::BusyCursor);
        return;
    }
    unsetCursor();
    // What the conversation showed last is shown now, not a moment after it has ended.
    m_display.flush();
    // A disabled button loses the focus; the user's place is given back.
    if (m_focusBeforeBusy)
        m_focusBeforeBusy->setFocus();
}

void frmTarvolk::showNotice(const Notice& notice)
{
    const QString title = notice.title == Notice::Title::WindowCaption ? windowTitle() : QString();
    // The box speaks of what the window shows; it must not wait behind it.
    m_display.flush();
    MessageBox::show(this, title, notice.text, notice.detail);
}
