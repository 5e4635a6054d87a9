// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/frmtarvolk.h"

#include "mailbox/previewstore.h"
#include "settings/settingslocation.h"
#include "settings/tarvolkx.h"
#include "window/aboutbox.h"
#include "window/deletequestion.h"
#include "window/messagebox.h"
#include "window/plaintext.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
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
    : QWidget(parent)
{
    initResources();
    setWindowTitle(tr("EMail Preview"));
    setWindowIcon(QIcon(QStringLiteral(":/mailbox.png")));
    createOn(this);
    m_texts = std::make_unique<MessageTexts>(*this, [this](int row) { fetchWholeMessage(row); });
    m_judging =
        std::make_unique<ListJudging>(List1, [this](const QString& text) { setStatus(text); });
    m_shown = std::make_unique<ConversationView>(*this, *this, *m_texts, *m_judging);
    m_mailbox = std::make_unique<MailboxClient>(*m_shown);
    m_mailbox->useDisk(PreviewStore::defaultFolder());
    m_accountBox = std::make_unique<AccountBox>(cmbIdentity, m_accounts);
    connectControls();
    m_layout.place();
    m_memory.restore(*this, m_layout, List1->columns());
    Form_Load(programFolder, configFile);
}

void frmTarvolk::connectControls()
{
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
            [this] { m_mailbox->cancel(); });
    connect(List1, &MessageListView::entryChosen, this, [this] { m_shown->showCurrent(); });
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
    for (const TitledSlot& entry : titled) {
        const Account& account = m_accounts.account(entry.slot);
        m_judging->configure(account.identity().key(), account.authServId);
    }
    m_accountBox->fill(titled);

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
    m_accountBox->showTitles(
        [this](int slot) { return m_watch->titleOf(slot, m_accounts.Accounts[slot].Title); });
}

void frmTarvolk::showAccount(int slot)
{
    showNormal();
    raise();
    activateWindow();
    if (m_accountBox->choose(slot))
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

void frmTarvolk::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_layout.follow(event->size());
}

void frmTarvolk::closeEvent(QCloseEvent* event)
{
    m_memory.save(*this, m_layout, List1->columns());
    // Watching from the tray, closing only hides the window; Ctrl+Q and "Beenden" quit.
    if (m_watch && m_watch->keepsRunning() && !m_quitting) {
        hide();
        event->ignore();
        return;
    }
    // A conversation still running ends at once, without "quit", so that the server deletes
    // nothing a half-done deletion has marked, and no box appears after the window is gone.
    m_mailbox->abort();
    QWidget::closeEvent(event);
}

void frmTarvolk::Command1_Click(int Index)
{
    if (m_mailbox->isBusy() || m_password.isRunning())
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
    converse(m_accounts.current(),
             [this, marked](const Account& account, const AccessToken& token) {
                 m_mailbox->DeleteMail(account, marked, token);
                 // Without marks no deletion ran, and a cancel seen now is that of an earlier
                 // press.
                 if (!marked.isEmpty() && m_mailbox->wasCancelled())
                     return;
                 m_mailbox->Emails_abrufen(account, m_accounts.LineCount, token);
                 const QString listed = m_shown->listedAccount();
                 if (listed != m_shown->fetchedAccount())
                     return;
                 m_judging->fetched(listed);
                 m_judging->showHint(List1->currentRow(), picVerdict);
                 if (m_watch)
                     m_watch->windowListed(listed, m_mailbox->listedIds(), m_mailbox->MailCount);
             });
}

void frmTarvolk::converse(const Account& account,
                          const std::function<void(const Account&, const AccessToken&)>& talk)
{
    m_password.run(account, this, [this, talk](const Account& given, const AccessToken& token) {
        m_shown->setFetchedAccount(given.identity().key());
        if (m_watch)
            m_watch->windowTalksTo(given.identity().key());
        const auto done = qScopeGuard([this] {
            if (m_watch)
                m_watch->windowTalksTo(QString());
        });
        talk(given, token);
        return m_mailbox->passwordRefused();
    });
}

void frmTarvolk::fetchWholeMessage(int row)
{
    if (m_mailbox->isBusy() || m_password.isRunning())
        return;
    // The list's own account, also when the account box shows another one by now.
    Account account = m_accounts.current();
    for (int slot = 1; slot <= AccountSlots::SlotCount; ++slot) {
        if (m_accounts.account(slot).identity().key() == m_shown->listedAccount())
            account = m_accounts.account(slot);
    }
    converse(account, [this, row](const Account& given, const AccessToken& token) {
        m_mailbox->fetchWholeMessage(given, row, token);
    });
}

void frmTarvolk::SetMailInfo(const QString& MailText)
{
    m_shown->showMailInfo(MailText);
}
