// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/tarvolkx.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/darkpalette.h"
#include "testsupport/window/windowfixture.h"
#include "window/frmtarvolk.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>
#include <sys/stat.h>

class TestFrmTarvolk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithItsCaptionsAndEmptyValues();
    void valueLabelsStandOutFromTheirCaptions();
    void labelsAreReadableInADarkScheme();
    void pointsAtTheProgramFolder();
    void accountBoxListsTitledSlots_data();
    void accountBoxListsTitledSlots();
    void typingInTheAccountBoxChangesNoAccount();
    void withoutAnyAccountSaysWhichFileToCreate_data();
    void withoutAnyAccountSaysWhichFileToCreate();
    void helpNamesLicenceAndSettingsFile();
    void focusStartsOnFetchAndTabGoesRound();
    void tabInThePreviewMovesOnInsteadOfTyping();
    void previewCanBeCopiedButNotEdited();
    void enlargingGivesTheRoomToTheListAndThePreview();
    void nextStartKeepsSizeColumnsAndSort();
    void describesEveryValueForScreenReaders();
    void listTellsScreenReadersTheMarks();
    void layoutFitsTheFont_data();
    void layoutFitsTheFont();

private:
    void writeSettings(const QByteArray& content);
    frmTarvolk& startWindow();
    static int toPixelsX(const QWidget* w, int twips)
    {
        return qRound(twips * w->logicalDpiX() / 1440.0);
    }
    static int toPixelsY(const QWidget* w, int twips)
    {
        return qRound(twips * w->logicalDpiY() / 1440.0);
    }

    QFont m_font;
    QTemporaryDir m_home;
    std::unique_ptr<windowdriver::WindowFixture> m_f;
};

static QString describe(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

static QString describe(const QWidget* w)
{
    return w->objectName() + u' ' + describe(w->geometry());
}

static const QByteArray demoAccounts =
    "[Setup]\nTitle1=Demo (unverschlüsselt)\nHost1=127.0.0.1:1\nTitle2=Demo (TLS)\n"
    "Host2=127.0.0.1:2\nTitle3=Demo (STARTTLS)\nHost3=127.0.0.1:1\n";

static const QByteArray twoAccounts = "[Setup]\nLineCount=10\nTitle1=Privat\nHost1=192.0.2.10\n"
                                      "Account1=user1\nTitle2=Verein\nHost2=192.0.2.20\n"
                                      "Account2=user2\n";

void TestFrmTarvolk::initTestCase()
{
    m_font = QApplication::font();
    QVERIFY(m_home.isValid());
    // Settings of the machine's user must not reach the tests.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_home.filePath(QStringLiteral("system"))));
}

void TestFrmTarvolk::init()
{
    m_f = std::make_unique<windowdriver::WindowFixture>();
    QVERIFY(m_f->isReady());
    TarvolkX::AppPath.clear();
}

void TestFrmTarvolk::cleanup()
{
    m_f.reset();
    QApplication::setFont(m_font);
}

void TestFrmTarvolk::writeSettings(const QByteArray& content)
{
    QVERIFY(m_f->writeSettings(content));
}

frmTarvolk& TestFrmTarvolk::startWindow()
{
    return m_f->open();
}

void TestFrmTarvolk::opensWithItsCaptionsAndEmptyValues()
{
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QCOMPARE(w.windowTitle(), QStringLiteral("EMail Preview"));
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.Frame1->title(), QStringLiteral("Mailinfo"));
    QCOMPARE(w.Frame2->title(), QStringLiteral("Maillist"));
    QCOMPARE(w.Frame3->title(), QStringLiteral("Mailkonto"));
    // Each button text carries one mnemonic: Alt with the underlined letter presses it.
    QCOMPARE(w.Command1[0]->text(), QStringLiteral("&Emails abrufen"));
    QCOMPARE(w.Command1[1]->text(), QStringLiteral("&Markierte Email(s) löschen"));
    QCOMPARE(w.lblMailInfo[4]->text(), QStringLiteral("Absender:"));
    QCOMPARE(w.lblMailInfo[5]->text(), QStringLiteral("Empfänger:"));
    QCOMPARE(w.lblMailInfo[6]->text(), QStringLiteral("Betreff:"));
    QCOMPARE(w.lblMailInfo[7]->text(), QStringLiteral("Datum:"));
    QVERIFY(!w.Label3->text().isEmpty());
    QVERIFY(!w.Label3->text().contains(u'\n'));
    QCOMPARE(w.Label3->palette().color(w.Label3->foregroundRole()), QColor(0, 0, 255));

    // The design placeholders are replaced before the window is first shown.
    QCOMPARE(w.Label2->text(), QStringLiteral("0 Emails"));
    QCOMPARE(w.Label1->text(), QString());
    QCOMPARE(w.Text1->toPlainText(), QString());
    QCOMPARE(w.Text1->placeholderText(), QString());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w.lblMailInfo[i]->text(), QString());
    QCOMPARE(w.List1->count(), 0);
    QVERIFY(!w.picMailInfo->isVisible());
    QVERIFY(!w.picMailInfo->pixmap().isNull());
    QCOMPARE(w.ProgressBar1->minimum(), 0);
    QCOMPARE(w.ProgressBar1->maximum(), 100);
    QCOMPARE(w.ProgressBar1->value(), 0);
    QVERIFY(w.cmbIdentity->isEditable());

    // Nothing is ever disabled, and every control but the hidden paper clip is on screen.
    for (QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY(child->isEnabled());
        QVERIFY2(child->isVisible(), qPrintable(child->objectName()));
    }

    // The designed size is the smallest; the first start opens larger, in the same proportions,
    // within three quarters of the screen.
    const QSize designed(toPixelsX(&w, 8445), toPixelsY(&w, 4800));
    QCOMPARE(w.minimumSize(), designed);
    const QSize screen = w.screen()->availableSize();
    QVERIFY2(w.width() > designed.width() && w.width() <= screen.width() * 3 / 4 &&
                 w.height() <= screen.height() * 3 / 4 &&
                 std::abs(w.height() - w.width() * designed.height() / designed.width()) <= 1,
             qPrintable(describe(w.geometry())));
}

void TestFrmTarvolk::valueLabelsStandOutFromTheirCaptions()
{
    frmTarvolk& w = startWindow();
    // The header values sit on the desktop's title-bar text colour (white in the standard scheme),
    // boxed in, while their captions stay plain.
    for (int i = 0; i < 4; ++i) {
        QLabel* value = w.lblMailInfo[i];
        QVERIFY(value->autoFillBackground());
        QCOMPARE(value->palette().color(value->backgroundRole()), QColor(Qt::white));
        QVERIFY(value->frameShape() != QFrame::NoFrame);
        QVERIFY(!w.lblMailInfo[4 + i]->autoFillBackground());
        QCOMPARE(w.lblMailInfo[4 + i]->frameShape(), QFrame::NoFrame);
    }
    QVERIFY(w.Label1->frameShape() != QFrame::NoFrame);
    QVERIFY(w.Label2->frameShape() != QFrame::NoFrame);
}

// Contrast ratio of two colours as the WCAG reckons it: 1 for equal, 21 for black on white.
static double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// With a dark scheme every label's text stands out from what is painted behind it: its own
// background when it fills one, else the window's.
void TestFrmTarvolk::labelsAreReadableInADarkScheme()
{
    const QPalette dark = windowdriver::darkPalette();
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    w.setPalette(dark);
    w.SetMailInfo(QStringLiteral("x\r\nFrom: a\r\nTo: b\r\nSubject: c\r\nDate: d\r\n"));

    const QList<QLabel*> labels = w.findChildren<QLabel*>();
    QVERIFY(labels.size() >= 11);
    for (const QLabel* label : labels) {
        if (!label->pixmap().isNull())
            continue;
        const QColor text = label->palette().color(label->foregroundRole());
        const QColor behind = label->autoFillBackground()
                                  ? label->palette().color(label->backgroundRole())
                                  : w.palette().color(QPalette::Window);
        QVERIFY2(contrast(text, behind) >= 4.5,
                 qPrintable(QStringLiteral("%1: %2 on %3")
                                .arg(label->objectName(), text.name(), behind.name())));
    }
    // The header values keep their field look: darker than the window around them.
    QVERIFY(w.lblMailInfo[0]->palette().color(w.lblMailInfo[0]->backgroundRole()).lightness() <
            dark.color(QPalette::Window).lightness());

    // An unmarked entry's check box stands out from the list's base, as a control must (3:1).
    w.List1->messages()->append({QStringLiteral("1. Email 10")});
    w.List1->messages()->publish();
    const QModelIndex entry = w.List1->messages()->index(0, MessageListModel::Entry);
    QStyleOptionViewItem option;
    option.initFrom(w.List1);
    option.rect = w.List1->visualRect(entry);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = entry.data().toString();
    const QRect box =
        w.List1->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, w.List1);
    const QImage list = w.List1->viewport()->grab().toImage();
    double strongest = 1;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x)
            strongest =
                std::max(strongest, contrast(list.pixelColor(x, y), dark.color(QPalette::Base)));
    }
    QVERIFY2(strongest >= 3, qPrintable(QString::number(strongest)));
}

void TestFrmTarvolk::pointsAtTheProgramFolder()
{
    writeSettings(twoAccounts);
    startWindow();
    QCOMPARE(TarvolkX::AppPath, m_f->path());
    QCOMPARE(QDir::current().canonicalPath(), QDir(m_f->path()).canonicalPath());
}

// Each row: the settings file, the titles the box must list, the host current after start, then
// after choosing the last entry with the keyboard.
void TestFrmTarvolk::accountBoxListsTitledSlots_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("hostAtStart");
    QTest::addColumn<QString>("hostOfLastEntry");

    QTest::newRow("two accounts: choosing Verein selects slot 2")
        << twoAccounts << QStringList{QStringLiteral("Privat"), QStringLiteral("Verein")}
        << QStringLiteral("192.0.2.10") << QStringLiteral("192.0.2.20");
    QTest::newRow("titles in slots 1 to 3: choosing the third selects slot 3")
        << QByteArray("[Setup]\nTitle1=Eins\nHost1=h1\nTitle2=Zwei\nHost2=h2\nTitle3=Drei\n"
                      "Host3=h3\n")
        << QStringList{QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Drei")}
        << QStringLiteral("h1") << QStringLiteral("h3");
    // Without the slot number kept per entry, position 0 would select the untitled slot 1.
    QTest::newRow("gaps: each entry selects the slot whose title it shows")
        << QByteArray("[Setup]\nHost1=untitled\nTitle3=Drei\nHost3=h3\nTitle7=Sieben\n"
                      "Host7=h7\n")
        << QStringList{QStringLiteral("Drei"), QStringLiteral("Sieben")} << QStringLiteral("h3")
        << QStringLiteral("h7");
    QTest::newRow("same title twice: each position keeps its own slot")
        << QByteArray("[Setup]\nTitle1=Post\nHost1=h1\nTitle2=Post\nHost2=h2\n")
        << QStringList{QStringLiteral("Post"), QStringLiteral("Post")} << QStringLiteral("h1")
        << QStringLiteral("h2");
}

void TestFrmTarvolk::accountBoxListsTitledSlots()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, titles);
    QFETCH(QString, hostAtStart);
    QFETCH(QString, hostOfLastEntry);
    writeSettings(settings);
    frmTarvolk& w = startWindow();

    QStringList listed;
    for (int i = 0; i < w.cmbIdentity->count(); ++i)
        listed << w.cmbIdentity->itemText(i);
    QCOMPARE(listed, titles);
    QCOMPARE(w.cmbIdentity->currentIndex(), 0);
    QCOMPARE(w.cmbIdentity->currentText(), titles.first());
    QCOMPARE(w.accountSlots().CurHost, hostAtStart);

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int i = 1; i < titles.size(); ++i)
        QTest::keyClick(w.cmbIdentity, Qt::Key_Down);
    QCOMPARE(w.cmbIdentity->currentIndex(), titles.size() - 1);
    QCOMPARE(w.accountSlots().CurHost, hostOfLastEntry);

    // And back to the first entry.
    for (int i = 1; i < titles.size(); ++i)
        QTest::keyClick(w.cmbIdentity, Qt::Key_Up);
    QCOMPARE(w.cmbIdentity->currentIndex(), 0);
    QCOMPARE(w.accountSlots().CurHost, hostAtStart);
}

void TestFrmTarvolk::typingInTheAccountBoxChangesNoAccount()
{
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QLineEdit* field = w.cmbIdentity->lineEdit();
    QVERIFY(field);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("anderswo"));
    QTest::keyClick(field, Qt::Key_Return);

    QCOMPARE(w.cmbIdentity->count(), 2);
    QCOMPARE(w.cmbIdentity->currentIndex(), 0);
    QCOMPARE(w.accountSlots().CurHost, QStringLiteral("192.0.2.10"));
    QCOMPARE(w.accountSlots().CurAccount, QStringLiteral("user1"));
}

void TestFrmTarvolk::withoutAnyAccountSaysWhichFileToCreate_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::addColumn<QString>("says");
    QTest::newRow("no file anywhere") << false << QStringLiteral("Kein Mailkonto");
    QTest::newRow("a FIFO in the way") << true << QStringLiteral("keine gewöhnliche Datei");
}

void TestFrmTarvolk::withoutAnyAccountSaysWhichFileToCreate()
{
    QFETCH(bool, fifo);
    QFETCH(QString, says);
    const QString perUser = m_home.filePath(QStringLiteral("config/tarvolk/TARVOLK.INI"));
    QVERIFY(QDir().mkpath(QFileInfo(perUser).path()));
    QFile::remove(perUser);
    if (fifo)
        QCOMPARE(mkfifo(QFile::encodeName(perUser).constData(), 0600), 0);
    frmTarvolk& w = startWindow();
    QCOMPARE(w.cmbIdentity->count(), 0);
    QCOMPARE(w.cmbIdentity->currentIndex(), -1);
    QCOMPARE(w.cmbIdentity->currentText(), QString());
    QCOMPARE(w.accountSlots().CurHost, QString());
    QCOMPARE(w.accountSlots().CurAccount, QString());
    QCOMPARE(w.accountSlots().LineCount, qint16(0));

    const QString status = w.Label1->text();
    QVERIFY2(status.contains(says), qPrintable(status));
    QVERIFY2(status.contains(perUser), qPrintable(status));
    QCOMPARE(w.Text1->placeholderText(), status);
    QCOMPARE(w.Text1->toPlainText(), QString());
    QCOMPARE(w.Label2->text(), QStringLiteral("0 Emails"));
}

void TestFrmTarvolk::helpNamesLicenceAndSettingsFile()
{
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::keyClick(&w, Qt::Key_F1);
    QTest::mouseClick(w.Label3, Qt::LeftButton);
    const auto& boxes = m_f->boxes.messages;
    QCOMPARE(boxes.size(), 2);
    for (const auto& box : boxes) {
        QCOMPARE(box.title, QStringLiteral("Über Tarvolk"));
        QVERIFY2(box.detail.contains(QStringLiteral("GPL-3.0-or-later")), qPrintable(box.detail));
        const QString file = QDir(m_f->path()).filePath(QStringLiteral("TARVOLK.INI"));
        QVERIFY2(box.detail.contains(QStringLiteral("Einstellungen: ") + file),
                 qPrintable(box.detail));
    }
}

void TestFrmTarvolk::focusStartsOnFetchAndTabGoesRound()
{
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), w.Command1[0], 5000);

    // The editable account box hands its focus to its text field; either one means the box.
    const auto focused = [&w]() -> QWidget* {
        QWidget* widget = QApplication::focusWidget();
        return widget == w.cmbIdentity->lineEdit() ? w.cmbIdentity : widget;
    };
    const QList<QWidget*> forward{w.tabText1,    w.Text1,       w.List1,   w.cmbIdentity,
                                  w.Command1[1], w.Command1[0], w.tabText1};
    for (QWidget* expected : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focused(), expected);
    }
    const QList<QWidget*> backward{w.Command1[0], w.Command1[1], w.cmbIdentity,
                                   w.List1,       w.Text1,       w.tabText1};
    for (QWidget* expected : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), expected);
    }
}

void TestFrmTarvolk::tabInThePreviewMovesOnInsteadOfTyping()
{
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Text1->setFocus();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), w.Text1, 5000);
    QTest::keyClick(w.Text1, Qt::Key_Tab);
    QCOMPARE(w.Text1->toPlainText(), QString());
    QCOMPARE(QApplication::focusWidget(), w.List1);
}

void TestFrmTarvolk::previewCanBeCopiedButNotEdited()
{
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.SetMailInfo(QString());
    w.Text1->setPlainText(QStringLiteral("Subject: Gruss\n\nHallo"));
    w.Text1->setFocus();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), w.Text1, 5000);

    QTest::keyClicks(w.Text1, QStringLiteral("xy"));
    QTest::keyClick(w.Text1, Qt::Key_Delete);
    QTest::keyClick(w.Text1, Qt::Key_Return);
    QCOMPARE(w.Text1->toPlainText(), QStringLiteral("Subject: Gruss\n\nHallo"));

    QTest::keyClick(w.Text1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w.Text1, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(w.Text1->textCursor().selectedText(), QStringLiteral("Hallo"));
    QApplication::clipboard()->clear();
    QTest::keyClick(w.Text1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Hallo"));
}

void TestFrmTarvolk::describesEveryValueForScreenReaders()
{
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    const QList<QPair<QWidget*, QString>> described{
        {w.Label1, QStringLiteral("Status")},
        {w.Label2, QStringLiteral("Postfach")},
        {w.lblMailInfo[0], QStringLiteral("Absender")},
        {w.lblMailInfo[1], QStringLiteral("Empfänger")},
        {w.lblMailInfo[2], QStringLiteral("Betreff")},
        {w.lblMailInfo[3], QStringLiteral("Datum")},
        {w.Text1, QStringLiteral("Vorschau")},
        {w.List1, QStringLiteral("Nachrichten")},
        {w.ProgressBar1, QStringLiteral("Fortschritt")},
        {w.picMailInfo, QStringLiteral("Anhang")},
    };
    for (const auto& [control, description] : described) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Description), description);
    }

    // A screen reader speaks a label's value, so its name must follow the text it shows.
    w.Label1->setText(QStringLiteral("Suche Host"));
    w.lblMailInfo[2]->setText(QStringLiteral("Sitzung am Montag"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Label1)->text(QAccessible::Name),
             QStringLiteral("Suche Host"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.lblMailInfo[2])->text(QAccessible::Name),
             QStringLiteral("Sitzung am Montag"));
    QCOMPARE(QAccessible::queryAccessibleInterface(w.Label2)->text(QAccessible::Name),
             QStringLiteral("0 Emails"));

    // An empty value is read as empty or by its caption, and each caption labels its value.
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* value = QAccessible::queryAccessibleInterface(w.lblMailInfo[i]);
        QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(w.lblMailInfo[4 + i]);
        if (i != 2) {
            const QString name = value->text(QAccessible::Name);
            QVERIFY2(name.isEmpty() || name == w.lblMailInfo[4 + i]->text(), qPrintable(name));
        }
        bool labelled = false;
        for (const auto& [other, relation] : value->relations(QAccessible::Label))
            labelled = labelled || other == caption;
        QVERIFY2(labelled, qPrintable(w.lblMailInfo[4 + i]->text()));
    }
}

// Each entry's check box tells a screen reader whether the entry is marked.
void TestFrmTarvolk::listTellsScreenReadersTheMarks()
{
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.List1->messages()->append({QStringLiteral("1. Email 10"), QStringLiteral("2. Email 20")});
    w.List1->messages()->publish();
    w.List1->messages()->toggleMark(1);

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.List1);
    QVERIFY(list && list->tableInterface());
    // The view lays its rows out a moment after they were added.
    QTRY_VERIFY_WITH_TIMEOUT(list->tableInterface()->cellAt(1, 0), 2000);
    for (int row = 0; row < 2; ++row) {
        QAccessibleInterface* entry = list->tableInterface()->cellAt(row, 0);
        QCOMPARE(entry->text(QAccessible::Name),
                 QStringLiteral("%1. Email %2").arg(row + 1).arg(10 * (row + 1)));
        QVERIFY(entry->state().checkable);
        QCOMPARE(bool(entry->state().checked), row == 1);
    }
}

void TestFrmTarvolk::enlargingGivesTheRoomToTheListAndThePreview()
{
    writeSettings(twoAccounts);
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize start = w.minimumSize();
    w.resize(start);
    QTRY_COMPARE_WITH_TIMEOUT(w.size(), start, 5000);
    QHash<QWidget*, QRect> before;
    for (QWidget* child : w.findChildren<QWidget*>())
        before.insert(child, child->geometry());

    w.resize(start + QSize(200, 100));
    QTRY_COMPARE_WITH_TIMEOUT(w.size(), start + QSize(200, 100), 5000);
    const auto grown = [&](QWidget* control) {
        const QRect now = control->geometry();
        const QRect was = before.value(control);
        return QStringLiteral("%1 %2 %3 %4")
            .arg(now.x() - was.x())
            .arg(now.y() - was.y())
            .arg(now.width() - was.width())
            .arg(now.height() - was.height());
    };
    // Moved right, moved down, wider, higher; the list and the preview share the width.
    const int toList = w.List1->width() - before.value(w.List1).width();
    QVERIFY2(toList > 0 && toList < 200, qPrintable(grown(w.List1)));
    const QString listGrown = QStringLiteral("0 0 %1 ").arg(toList);
    const QString previewGrown = QStringLiteral("0 0 %1 ").arg(200 - toList);
    QCOMPARE(grown(w.List1), listGrown + QStringLiteral("100"));
    QCOMPARE(grown(w.Label2), listGrown + QStringLiteral("0"));
    QCOMPARE(grown(w.Frame1), QStringLiteral("%1 0 %2 100").arg(toList).arg(200 - toList));
    QCOMPARE(grown(w.Text1), previewGrown + QStringLiteral("100"));
    QCOMPARE(grown(w.lblMailInfo[0]), previewGrown + QStringLiteral("0"));
    QCOMPARE(grown(w.lblMailInfo[4]), QStringLiteral("0 0 0 0"));
    QCOMPARE(grown(w.picMailInfo), QStringLiteral("%1 0 0 0").arg(200 - toList));
    QCOMPARE(grown(w.Frame3), QStringLiteral("0 0 200 0"));
    QCOMPARE(grown(w.Command1[1]), QStringLiteral("0 0 0 0"));
    QCOMPARE(grown(w.Label3), QStringLiteral("200 0 0 0"));
    const int barHeight = w.ProgressBar1->height();
    QCOMPARE(w.ProgressBar1->geometry(), QRect(0, w.height() - barHeight, w.width(), barHeight));

    // Never smaller than at the start; back at the start size everything is where it was.
    w.resize(start - QSize(100, 100));
    QTRY_COMPARE_WITH_TIMEOUT(w.size(), start, 5000);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(it.key()->geometry() == it.value(), qPrintable(describe(it.key())));
}

static QList<int> columnWidths(const MessageListView* list)
{
    QList<int> widths;
    for (int column = 0; column < MessageListModel::ColumnCount; ++column)
        widths << list->header()->sectionSize(column);
    return widths;
}

// Kept in the state folder, not in the settings file.
void TestFrmTarvolk::nextStartKeepsSizeColumnsAndSort()
{
    writeSettings(twoAccounts);
    frmTarvolk& first = startWindow();
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    const QSize size = first.minimumSize() + QSize(20, 10);
    first.resize(size);
    QTRY_COMPARE_WITH_TIMEOUT(first.size(), size, 5000);
    // The divider between the list and the preview, dragged to narrow the list.
    QWidget* divider = first.findChild<QWidget*>(QStringLiteral("ColumnDivider"));
    QVERIFY(divider);
    const int listWidth = first.List1->width();
    QTest::mousePress(divider, Qt::LeftButton, {}, QPoint(2, 20));
    QTest::mouseMove(divider, QPoint(-4, 20));
    QTest::mouseRelease(divider, Qt::LeftButton, {}, QPoint(-4, 20));
    QCOMPARE(first.List1->width(), listWidth - 6);
    first.List1->header()->resizeSection(MessageListModel::Hint, 50);
    windowdriver::clickHeader(first.List1, MessageListModel::Date);
    windowdriver::clickHeader(first.List1, MessageListModel::Date);
    const QList<int> widths = columnWidths(first.List1);
    first.close();

    frmTarvolk& second = startWindow();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QTRY_COMPARE_WITH_TIMEOUT(second.size(), size, 5000);
    QCOMPARE(second.List1->width(), listWidth - 6);
    QCOMPARE(columnWidths(second.List1), widths);
    QCOMPARE(widths[MessageListModel::Hint], 50);
    QCOMPARE(second.List1->header()->sortIndicatorSection(), int(MessageListModel::Date));
    QCOMPARE(second.List1->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    QFile settings(m_f->folder.filePath(QStringLiteral("TARVOLK.INI")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), twoAccounts);
    QVERIFY(QFileInfo::exists(m_f->folder.filePath(QStringLiteral("state/tarvolk/window.ini"))));
}

// A text is cut when it is wider or higher than the room its control gives it.
static QString cutText(const QWidget* control, const QString& text, const QRect& room)
{
    const QFontMetrics metrics = control->fontMetrics();
    if (metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height())
        return QString();
    return QStringLiteral("%1: \"%2\" (%3 wide) in %4\n")
        .arg(control->objectName(), text)
        .arg(metrics.horizontalAdvance(text))
        .arg(describe(room));
}

void TestFrmTarvolk::layoutFitsTheFont_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("the usual size") << 0;
    QTest::newRow("14 pt") << 14;
}

// At the smallest size with the demo's accounts: every control inside its frame below the title,
// no two overlapping, and every fixed text and the demo's texts whole.
void TestFrmTarvolk::layoutFitsTheFont()
{
    QFETCH(int, pointSize);
    if (pointSize > 0) {
        QFont larger = QApplication::font();
        larger.setPointSize(pointSize);
        QApplication::setFont(larger);
    }
    writeSettings(demoAccounts);
    frmTarvolk& w = startWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(w.minimumSize());
    QTRY_COMPARE_WITH_TIMEOUT(w.size(), w.minimumSize(), 5000);
    const double scale = std::max(1.0, QFontInfo(w.font()).pointSizeF() / 9.0);
    QVERIFY2(std::abs(w.width() - toPixelsX(&w, 8445) * scale) <= 1 &&
                 std::abs(w.height() - toPixelsY(&w, 4800) * scale) <= 1,
             qPrintable(describe(w.geometry())));

    for (QGroupBox* frame : {w.Frame1, w.Frame2, w.Frame3}) {
        // Below the title, and off the frame line on the other three sides.
        const int line = frame->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, frame);
        QRect inside = frame->rect().adjusted(line, 0, -line, -line);
        inside.setTop(frame->contentsRect().top());
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(inside.contains(child->geometry()),
                     qPrintable(describe(child) + QStringLiteral(" outside ") + describe(inside)));
        QVERIFY2(w.rect().contains(frame->geometry()), qPrintable(describe(frame)));
    }
    // Siblings in the window and in each frame; the hidden paper clip counts, it shows later.
    for (QWidget* container : {static_cast<QWidget*>(&w), static_cast<QWidget*>(w.Frame1),
                               static_cast<QWidget*>(w.Frame2), static_cast<QWidget*>(w.Frame3)}) {
        const QList<QWidget*> siblings =
            container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (int a = 0; a < siblings.size(); ++a)
            for (int b = a + 1; b < siblings.size(); ++b)
                QVERIFY2(!siblings[a]->geometry().intersects(siblings[b]->geometry()),
                         qPrintable(describe(siblings[a]) + QStringLiteral(" overlaps ") +
                                    describe(siblings[b])));
    }
    // The blue caption in the corner stays clear of the account frame's title.
    QVERIFY(w.Label3->geometry().bottom() < w.Frame3->geometry().top());

    QString cut;
    // A button's style knows the room its text needs.
    for (QPushButton* button : w.Command1)
        if (button->width() < button->sizeHint().width())
            cut += describe(button) + QStringLiteral(" narrower than its text\n");
    for (QGroupBox* frame : {w.Frame1, w.Frame2, w.Frame3})
        cut += cutText(frame, frame->title(), frame->rect().adjusted(8, 0, -8, 0));
    for (QLabel* caption :
         {w.lblMailInfo[4], w.lblMailInfo[5], w.lblMailInfo[6], w.lblMailInfo[7], w.Label3})
        cut += cutText(caption, caption->text(), caption->contentsRect());
    for (int i = 0; i < w.cmbIdentity->count(); ++i)
        cut += cutText(w.cmbIdentity, w.cmbIdentity->itemText(i),
                       w.cmbIdentity->lineEdit()->contentsRect());
    for (const QString& summary :
         {QStringLiteral("12 Emails mit 222222 Bytes"), QStringLiteral("Keine Emails vorhanden")})
        cut += cutText(w.Label2, summary, w.Label2->contentsRect());
    for (const QString& status :
         {QStringLiteral("Nachricht 12 erfassen"), QStringLiteral("Sichere Verbindung"),
          QStringLiteral("Postfach prüfen")})
        cut += cutText(w.Label1, status, w.Label1->contentsRect());
    for (int i = 0; i < 4; ++i)
        cut += cutText(w.lblMailInfo[i], QStringLiteral("Wg"), w.lblMailInfo[i]->contentsRect());
    QVERIFY2(cut.isEmpty(), qPrintable(cut));
}

TARVOLK_TEST(TestFrmTarvolk);
#include "test_frmtarvolk.moc"
