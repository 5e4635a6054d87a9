#include "window/frmtarvolk.h"

#include "mailbox/previewstore.h"
#include "settings/settingslocation.h"
#include "settings/tarvolkx.h"
#include "text/mailinfo.h"
#include "window/aboutbox.h"
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
#include <QScopeGuard>
#include <QShortcut>
#include <QShowEvent>

// The pictures live in this static library; registering them here keeps them from being dropped
// by the linker. Outside any namespace, as the macro requires.
static void initResources()
{
    Q_INIT_RESOURCE(tarvolk);
}

frmTarvolk::frmTarvolk(const QString& programFolder, const QString& configFile, QWidget* parent)
    : QWidget(parent),
      m_display([this](const QString& text) { plaintext::show(Label1, text, false); },
                [this](int value) { ProgressBar1->setValue(value); },
                [this] { List1->messages()->publish(); })
{
    initResources();
    m_mailbox.useDisk(PreviewStore::defaultFolder());
    setWindowTitle(tr("EMail Preview"));
    setWindowIcon(QIcon(QStringLiteral(":/mailbox.png")));
    createOn(this);
    m_texts = std::make_unique<MessageTexts>(*this, [this](int row) { fetchWholeMessage(row); });
    m_judging =
        std::make_unique<ListJudging>(List1, [this](const QString& text) { setStatus(text); });
    connectControls();
    m_layout.place();
    Form_Load(programFolder, configFile);
}

void frmTarvolk::connectControls()
{
    connect(cmbIdentity, &QComboBox::activated, this, &frmTarvolk::cmbIdentity_Click);
    for (int index = 0; index < 2; ++index) {
        connect(Command1[index], &QPushButton::clicked, this,
                [this, index] { Command1_Click(index); });
    }
    // A disabled button ignores click(), so F5 starts nothing while a conversation runs.
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, Command1[0],
            &QPushButton::click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            &frmTarvolk::quit);
    // Escape ends a running conversation without "quit": the server deletes nothing.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { m_mailbox.cancel(); });
    connect(List1, &MessageListView::entryChosen, this, &frmTarvolk::List1_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &frmTarvolk::showAbout);
    Label3->installEventFilter(this);
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
    Label2->setText(tr("0 Emails"));
    Label1->clear();
    lblMailInfo[0]->clear();
    lblMailInfo[1]->clear();
    picMailInfo->hide();

    const IniFile settings = findSettings(configFile, programFolder);
    m_settingsPath = settings.path;
    m_settingsRead = settings.status == IniFile::Status::Read;
    const QList<TitledSlot> titled = m_accounts.load(settings.document);
    cmbIdentity->clear();
    for (const TitledSlot& entry : titled) {
        cmbIdentity->addItem(plaintext::line(entry.title), entry.slot);
        const Account& account = m_accounts.account(entry.slot);
        m_judging->configure(account.identity().key(), account.authServId);
    }
    cmbIdentity->setCurrentIndex(0);
    showTitleFromItsStart();
    // Each entry carries its slot number, so a file with gaps between titles still selects the
    // slot whose title is shown; no entry at all gives slot 0, the empty account.
    SetIdentity(cmbIdentity->currentData().toInt());

    if (titled.isEmpty()) {
        const QString problem =
            settings.problem().isEmpty()
                ? tr("Kein Mailkonto eingerichtet: bitte die Datei %1 anlegen.").arg(settings.path)
                : settings.problem();
        plaintext::show(Label1, problem);
        // The status line is too narrow for the whole path; the empty preview shows it in full.
        Text1->setPlaceholderText(plaintext::lines(problem));
    } else {
        // A broken rules file shows from the start.
        setStatus(QString());
    }
    startWatching(titled);
}

void frmTarvolk::startWatching(const QList<TitledSlot>& titled)
{
    QList<std::pair<int, Account>> accounts;
    bool watched = false;
    for (const TitledSlot& entry : titled) {
        accounts.append({entry.slot, m_accounts.account(entry.slot)});
        watched = watched || m_accounts.account(entry.slot).checkIntervalMinutes > 0;
    }
    if (!watched)
        return;
    m_watch = std::make_unique<MailWatch>(accounts, windowIcon());
    connect(m_watch.get(), &MailWatch::showAccountRequested, this, &frmTarvolk::showAccount);
    connect(m_watch.get(), &MailWatch::toggleWindowRequested, this,
            [this] { setVisible(!isVisible()); });
    connect(m_watch.get(), &MailWatch::quitRequested, this, &frmTarvolk::quit);
    connect(m_watch.get(), &MailWatch::aboutRequested, this, &frmTarvolk::showAbout);
    connect(m_watch.get(), &MailWatch::countsChanged, this, &frmTarvolk::showTitlesWithCounts);
    showTitlesWithCounts();
}

void frmTarvolk::showTitlesWithCounts()
{
    for (int index = 0; index < cmbIdentity->count(); ++index) {
        const int slot = cmbIdentity->itemData(index).toInt();
        cmbIdentity->setItemText(
            index, plaintext::line(m_watch->titleOf(slot, m_accounts.Accounts[slot].Title)));
    }
    showTitleFromItsStart();
}

void frmTarvolk::showAccount(int slot)
{
    showNormal();
    raise();
    activateWindow();
    const int index = cmbIdentity->findData(slot);
    if (index < 0)
        return;
    cmbIdentity->setCurrentIndex(index);
    cmbIdentity_Click();
    Command1_Click(0);
}

bool frmTarvolk::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease)
        showAbout();
    return QWidget::eventFilter(watched, event);
}

void frmTarvolk::showAbout()
{
    AboutBox::show(this, m_settingsPath, m_settingsRead);
}

void frmTarvolk::quit()
{
    m_quitting = true;
    close();
    QCoreApplication::quit();
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
    // Watching from the tray, closing only hides the window; Ctrl+Q and "Beenden" quit.
    if (m_watch && m_watch->keepsRunning() && !m_quitting) {
        hide();
        event->ignore();
        return;
    }
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
            MessageBox::show(this, windowTitle(), tr("Keine Mail zum Löschen ausgewählt !"));
        } else if (m_accounts.ConfirmDelete &&
                   !MessageBox::ask(this,
                                    deleteQuestion(windowTitle(), *List1->messages(), marked))) {
            // Asked before any password or keyring: a cancelled deletion logs in nowhere.
            return;
        }
    }
    // Both conversations of a press work on the account and the marks of the moment it was
    // pressed.
    converse(
        m_accounts.current(), [this, marked](const Account& account, const AccessToken& token) {
            m_mailbox.DeleteMail(account, marked, token);
            // Without marks no deletion ran, and a cancel seen now is that of an earlier press.
            if (!marked.isEmpty() && m_mailbox.wasCancelled())
                return;
            m_mailbox.Emails_abrufen(account, m_accounts.LineCount, token);
            if (m_listedAccount != m_fetchedAccount)
                return;
            m_judging->fetched(m_listedAccount);
            m_judging->showHint(List1->currentRow(), picVerdict);
            if (m_watch)
                m_watch->windowListed(m_fetchedAccount, m_mailbox.listedIds(), m_mailbox.MailCount);
        });
}

void frmTarvolk::converse(const Account& account,
                          const std::function<void(const Account&, const AccessToken&)>& talk)
{
    m_password.run(account, this, [this, talk](const Account& given, const AccessToken& token) {
        m_fetchedAccount = given.identity().key();
        if (m_watch)
            m_watch->windowTalksTo(m_fetchedAccount);
        const auto done = qScopeGuard([this] {
            if (m_watch)
                m_watch->windowTalksTo(QString());
        });
        talk(given, token);
        return m_mailbox.passwordRefused();
    });
}

void frmTarvolk::fetchWholeMessage(int row)
{
    if (m_mailbox.isBusy() || m_password.isRunning())
        return;
    // The list's own account, also when the account box shows another one by now.
    Account account = m_accounts.current();
    for (int slot = 1; slot <= AccountSlots::SlotCount; ++slot) {
        if (m_accounts.account(slot).identity().key() == m_listedAccount)
            account = m_accounts.account(slot);
    }
    converse(account, [this, row](const Account& given, const AccessToken& token) {
        m_mailbox.fetchWholeMessage(given, row, token);
    });
}

void frmTarvolk::List1_Click()
{
    const int position = List1->currentRow();
    m_texts->showCurrent();
    SetMailInfo(List1->messages()->text(position).left(MessageTexts::PreviewLimit));
    m_judging->showHint(position, picVerdict);
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
    // A broken rules file stays in view while nothing else needs the line.
    m_display.setStatus(text.isEmpty() ? m_judging->problem() : text);
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
    m_texts->forget();
    m_texts->showCurrent();
    SetMailInfo(QStringLiteral(" "));
    m_judging->showHint(-1, picVerdict);
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
    m_judging->listed(m_listedAccount);
    m_place.restore(*List1);
    m_display.listChanged();
}

QList<int> frmTarvolk::rowsOnScreen() const
{
    // The list shows the current entry once its rows are laid out; about a screenful around it.
    const int rowHeight = qMax(1, List1->fontMetrics().height());
    const int shown = qMax(1, List1->viewport()->height() / rowHeight);
    const int first = qMax(0, List1->currentRow() - shown / 2);
    QList<int> rows;
    for (int row = first; row < first + shown; ++row)
        rows.append(row);
    return rows;
}

void frmTarvolk::messageArrived(int position, const QString& text, const QByteArray& header)
{
    const MailInfo info = readMailInfo(text.left(MessageTexts::PreviewLimit));
    List1->messages()->setMessage(position, text, {info.values[0], info.values[2], info.values[3]},
                                  header);
    m_display.listChanged();
    // The preview of the current entry shows what is stored by now.
    if (position == List1->currentRow())
        List1_Click();
}

void frmTarvolk::wholeMessageArrived(int position, const QByteArray& message)
{
    m_texts->wholeMessageArrived(position, message);
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
