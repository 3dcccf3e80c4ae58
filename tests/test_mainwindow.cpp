// The main window on a real book: the tree, its detail lines, the popup menu, the commands,
// the transaction list and the window state.
#include "announcer.h"
#include "bookchanges.h"
#include "bookrows.h"
#include "commandtags.h"
#include "frmBalance.h"
#include "frmCustomer.h"
#include "frmExport.h"
#include "frmImport.h"
#include "frmInvoice.h"
#include "frmPellory.h"
#include "modCommand.h"
#include "modRegEdit.h"
#include "samplebook.h"
#include "settings.h"
#include "settingvalues.h"
#include "testsupport.h"
#include "transactionlist.h"
#include "windowtoolbar.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

namespace {
QStringList childTexts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; node && i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

QStringList childKeys(const QTreeWidgetItem* node) {
    QStringList keys;
    for (int i = 0; node && i < node->childCount(); ++i)
        keys << frmPellory::KeyOf(node->child(i));
    return keys;
}

QStringList topTexts(const QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// Brings a node into view and returns the point of the viewport it is drawn at.
QPoint pointOf(frmPellory& window, QTreeWidgetItem* node) {
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent())
        up->setExpanded(true);
    window.TreeView1->scrollToItem(node);
    return window.TreeView1->visualItemRect(node).center();
}

void doubleClick(frmPellory& window, QTreeWidgetItem* node) {
    const QPoint at = pointOf(window, node);
    QTest::mouseClick(window.TreeView1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(window.TreeView1->viewport(), Qt::LeftButton, {}, at);
}

void rightClick(frmPellory& window, QTreeWidgetItem* node) {
    const QPoint at = pointOf(window, node);
    QTest::mousePress(window.TreeView1->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(window.TreeView1->viewport(), Qt::RightButton, {}, at);
}

QString statusText(const frmPellory& window) {
    return window.StatusPanels[0]->text();
}

QAction* dropDownItem(const frmPellory& window, const QString& tag) {
    for (QAction* item : window.MENU_New->actions())
        if (TagOf(item) == tag)
            return item;
    return nullptr;
}

// Shows the window and lets its first tree build run.
void open(frmPellory& window) {
    window.show();
    QTRY_COMPARE(statusText(window), QStringLiteral("Ready"));
}

// Opens both invoice folders, whose invoices are read only then.
void openFolders(frmPellory& window) {
    for (const QString key : {"[Invoices]", "[Current]", "[All]"})
        window.Node(key)->setExpanded(true);
}

int storedWindowState() {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::MainWindowSize, -1)
        .toInt();
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<BookFixture> fixture_;
    PromptRecorder* prompts_ = nullptr;
    ProgramFolderFixture* folder_ = nullptr;

    TestBook book() const { return fixture_->book(); }

    void addMasterLinkedAndUnpaidInvoice() const {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addProfile("2001", "1001", "Barnes Bakery"));
        QVERIFY(rows.addInvoice("0000001", "1001", QVariant()));
    }

  private slots:
    void init() {
        fixture_ = std::make_unique<BookFixture>();
        prompts_ = &fixture_->prompts;
        folder_ = &fixture_->folder;
    }

    void cleanup() { fixture_.reset(); }

    void emptyBookShowsRootsFoldersAndNoAccountCommands() {
        frmPellory window;
        open(window);
        QCOMPARE(topTexts(window.TreeView1), QStringList({"Customer Profiles", "Invoices"}));
        QTRY_COMPARE(window.Node("[Customers]")->childCount(), 0);
        QCOMPARE(childTexts(window.Node("[Invoices]")),
                 QStringList({"Current Unpaid Invoices", "All Invoices"}));
        QCOMPARE(childKeys(window.Node("[Invoices]")), QStringList({"[Current]", "[All]"}));
        for (const QString& tag : {command::Balance, command::Report, command::Schedule})
            QVERIFY2(!window.Toolbar1->button(tag)->isEnabled(), qPrintable(tag));
        QVERIFY(!dropDownItem(window, command::Invoice)->isEnabled());
        QVERIFY(window.Toolbar1->button(command::New)->isEnabled());
        QVERIFY(window.Toolbar1->button(command::Refresh)->isEnabled());
        QVERIFY(prompts_->messages.empty());
        // Nothing is expanded or selected by the build.
        QTRY_VERIFY(!window.Node("[Invoices]")->isExpanded());
        QCOMPARE(window.TreeView1->selectedItems().size(), 0);
    }

    void accountsShowUnderTheirMasterAndOrphansStayHidden() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addProfile("2001", "1001", "Barnes Bakery"));
        QVERIFY(rows.addProfile("2002", "1001", "Carver Joinery"));
        QVERIFY(rows.addProfile("1002", MasterMarker, "Dalton Dental"));
        QVERIFY(rows.addProfile("3001", "", "Empty master column"));
        QVERIFY(rows.addProfile("3002", "2001", "Linked to a linked account"));
        QVERIFY(rows.addProfile("3003", "9999", "Linked to nobody"));
        frmPellory window;
        open(window);
        QCOMPARE(childTexts(window.Node("[Customers]")),
                 QStringList({"1001, Abbott Plumbing", "1002, Dalton Dental"}));
        QCOMPARE(childKeys(window.Node("[Master]1001")),
                 QStringList({"[Account]2001", "[Account]2002"}));
        QCOMPARE(childTexts(window.Node("[Master]1001")),
                 QStringList({"2001, Barnes Bakery", "2002, Carver Joinery"}));
        QCOMPARE(window.Node("[Master]1002")->childCount(), 0);
        for (const QString hidden : {"3001", "3002", "3003"}) {
            QTRY_VERIFY(!window.Node("[Account]" + hidden));
            QTRY_VERIFY(!window.Node("[Master]" + hidden));
        }
        QVERIFY(
            !window.TreeView1->findItems("3002", Qt::MatchStartsWith | Qt::MatchRecursive).size());
    }

    void unpaidInvoicesShowInBothFoldersWithDistinctKeys() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addInvoice("0000001", "1001", QDate(2026, 4, 2), "5521"));
        QVERIFY(rows.addInvoice("0000002", "1001", QVariant()));
        QVERIFY(rows.addInvoice("0000003", "gone", QVariant())); // its account was deleted
        frmPellory window;
        open(window);
        // The folders are read when opened, and until then offer to open.
        for (const QString folder : {"[Current]", "[All]"}) {
            QCOMPARE(window.Node(folder)->childCount(), 0);
            QCOMPARE(window.Node(folder)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        }
        openFolders(window);
        QCOMPARE(childKeys(window.Node("[All]")),
                 QStringList({"[Invoice]0000001", "[Invoice]0000002", "[Invoice]0000003"}));
        QCOMPARE(childTexts(window.Node("[All]")),
                 QStringList({"0000001, 1001", "0000002, 1001", "0000003, gone"}));
        QCOMPARE(childKeys(window.Node("[Current]")),
                 QStringList({"[InvoiceCurrent]0000002", "[InvoiceCurrent]0000003"}));
        QCOMPARE(childTexts(window.Node("[Current]")),
                 QStringList({"0000002, 1001", "0000003, gone"}));
        // With a master in the book the account commands are offered.
        QVERIFY(window.Toolbar1->button(command::Balance)->isEnabled());
        QVERIFY(window.Toolbar1->button(command::Report)->isEnabled());

        // A rebuild, as another desk's save sets off, keeps the user's place.
        // A closed folder is not read again.
        window.Node("[All]")->setExpanded(false);
        window.TreeView1->setCurrentItem(window.Node("[InvoiceCurrent]0000003"));
        window.RefreshTree();
        QVERIFY(window.Node("[Current]")->isExpanded());
        QCOMPARE(window.Node("[Current]")->childCount(), 2);
        QVERIFY(!window.Node("[All]")->isExpanded());
        QCOMPARE(window.Node("[All]")->childCount(), 0);
        QCOMPARE(window.TreeView1->currentItem(), window.Node("[InvoiceCurrent]0000003"));
    }

    void doubleClickedInvoiceGetsItsDetailLinesOnce() {
        const TestBook rows = book();
        QVERIFY(rows.addInvoice("0000007", "1001", QDate(2026, 4, 2), "5521"));
        frmPellory window;
        open(window);
        openFolders(window);
        QTreeWidgetItem* invoice = window.Node("[Invoice]0000007");
        doubleClick(window, invoice);
        const QStringList expected = {"< Double click here to edit this invoice >",
                                      "Account Number: 1001",
                                      "Date Billed: 3/5/2026",
                                      "Date Due: 3/20/2026",
                                      "Date Recieved: 4/2/2026",
                                      "$ Past Due: 10.00",
                                      "$ Billed: 110.50",
                                      "$ Recieved: 110.50",
                                      "Check Number: 5521"};
        QCOMPARE(childTexts(invoice), expected);
        QCOMPARE(childKeys(invoice),
                 QStringList({"[DetailEdit]0000007", "[Detail]00000071", "[Detail]00000072",
                              "[Detail]00000074", "[Detail]00000075", "[Detail]00000076",
                              "[Detail]00000077", "[Detail]00000078", "[Detail]00000079"}));
        QVERIFY(invoice->isExpanded());
        QCOMPARE(invoice->child(0)->foreground(0).color(), QColor(255, 0, 0));
        QVERIFY(invoice->child(1)->foreground(0).color() != QColor(255, 0, 0));

        doubleClick(window, invoice);
        QCOMPARE(childTexts(invoice), expected);
        QVERIFY(invoice->isExpanded());
        // A rebuild drops the lines again.
        window.RefreshTree();
        QCOMPARE(window.Node("[Invoice]0000007")->childCount(), 0);
    }

    void unpaidInvoiceExpandsInBothFoldersWithItsOwnKeys() {
        const TestBook rows = book();
        QVERIFY(rows.addInvoice("0000008", "1001", QVariant()));
        frmPellory window;
        open(window);
        openFolders(window);
        doubleClick(window, window.Node("[InvoiceCurrent]0000008"));
        doubleClick(window, window.Node("[Invoice]0000008"));
        const QStringList current = childKeys(window.Node("[InvoiceCurrent]0000008"));
        const QStringList all = childKeys(window.Node("[Invoice]0000008"));
        QCOMPARE(current.size(), 9);
        QCOMPARE(all.size(), 9);
        QCOMPARE(current.first(), QStringLiteral("[DetailCurrentEdit]0000008"));
        QCOMPARE(current.last(), QStringLiteral("[DetailCurrent]00000089"));
        QCOMPARE(childTexts(window.Node("[Invoice]0000008")).mid(4, 4),
                 QStringList({"Date Recieved: ", "$ Past Due: 10.00", "$ Billed: 110.50",
                              "$ Recieved: 0.00"}));
        QCOMPARE(childTexts(window.Node("[Invoice]0000008")).last(),
                 QStringLiteral("Check Number: "));
    }

    void popupMenuOffersWhatTheSelectedNodeAllows() {
        addMasterLinkedAndUnpaidInvoice();
        frmPellory window;
        open(window);
        openFolders(window);

        QTreeWidgetItem* linked = window.Node("[Account]2001");
        pointOf(window, linked);
        window.TreeView1->setCurrentItem(linked);
        rightClick(window, linked);
        QVERIFY(window.MENU_PopupMenu->isVisible());
        QCOMPARE(window.MENUOPT_ItemName->text(), QStringLiteral("2001, Barnes Bakery"));
        QVERIFY(window.MENUOPT_EditAccount->isEnabled());
        QVERIFY(!window.MENUOPT_EditInvoice->isEnabled());
        QVERIFY(!window.MENUOPT_ReprintInvoice->isEnabled());
        for (QAction* statement : {window.MENUOPT_PrintStatement, window.MENUOPT_SaveStatementPdf,
                                   window.MENUOPT_EmailStatement})
            QVERIFY(statement->isEnabled());
        QVERIFY(!window.MENUOPT_EmailInvoice->isEnabled());
        window.MENU_PopupMenu->hide();

        // The right button does not select: the menu stays on the selected node.
        rightClick(window, window.Node("[Master]1001"));
        QCOMPARE(window.TreeView1->currentItem(), linked);
        QCOMPARE(window.MENUOPT_ItemName->text(), QStringLiteral("2001, Barnes Bakery"));
        window.MENU_PopupMenu->hide();

        QTreeWidgetItem* invoice = window.Node("[InvoiceCurrent]0000001");
        pointOf(window, invoice);
        window.TreeView1->setCurrentItem(invoice);
        rightClick(window, invoice);
        QVERIFY(window.MENU_PopupMenu->isVisible());
        QCOMPARE(window.MENUOPT_ItemName->text(), QStringLiteral("0000001, 1001"));
        QVERIFY(!window.MENUOPT_EditAccount->isEnabled());
        QVERIFY(!window.MENUOPT_CreateInvoice->isEnabled());
        QVERIFY(window.MENUOPT_EditInvoice->isEnabled());
        QVERIFY(window.MENUOPT_ReprintInvoice->isEnabled());
        for (QAction* statement : {window.MENUOPT_PrintStatement, window.MENUOPT_SaveStatementPdf,
                                   window.MENUOPT_EmailStatement})
            QVERIFY(!statement->isEnabled());
        QCOMPARE(window.MENUOPT_EmailInvoice->text(), QStringLiteral("Email Invoice..."));
        QVERIFY(window.MENUOPT_EmailInvoice->isEnabled());
        window.MENU_PopupMenu->hide();

        doubleClick(window, invoice);
        for (const QString key : {"[Customers]", "[Invoices]", "[Current]", "[All]",
                                  "[DetailCurrentEdit]0000001", "[DetailCurrent]00000011"}) {
            QTreeWidgetItem* node = window.Node(key);
            pointOf(window, node);
            window.TreeView1->setCurrentItem(node);
            rightClick(window, node);
            QVERIFY2(!window.MENU_PopupMenu->isVisible(), qPrintable(key));
        }
    }

    void editAccountFromThePopupOpensTheEditorOnThatAccount() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        frmPellory window;
        open(window);
        QString tagSeen;
        prompts_->onModal = [&](QDialog* dialog) {
            tagSeen = qobject_cast<frmCustomer*>(dialog)->Tag;
            return int(QDialog::Rejected);
        };
        window.TreeView1->setCurrentItem(window.Node("[Master]1001"));
        window.MENUOPT_EditAccount->trigger();
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmCustomer"}));
        QCOMPARE(tagSeen, QStringLiteral("1001"));
    }

    void invoiceCommandsOpenTheInvoiceWindowAndTheSchedule() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        frmPellory window;
        open(window);
        QStringList tagsSeen;
        prompts_->onModal = [&](QDialog* dialog) {
            if (auto* invoice = qobject_cast<frmInvoice*>(dialog))
                tagsSeen << invoice->Tag;
            return int(QDialog::Rejected);
        };
        window.TreeView1->setCurrentItem(window.Node("[Master]1001"));
        window.MENUOPT_CreateInvoice->trigger();
        dropDownItem(window, "Invoice")->trigger();
        window.Toolbar1->button("Schedule")->trigger();
        QCOMPARE(prompts_->modalWindows,
                 std::vector<QString>({"frmInvoice", "frmInvoice", "frmSchedule"}));
        QCOMPARE(tagsSeen, QStringList({"1001", ""}));
    }

    void aDatabaseThatCannotBeOpenedLeavesTheTreeEmpty() {
        frmPellory window;
        open(window);
        const QString book = folder_->database();
        Settings().Database = folder_->file("missing.mdb");
        window.RefreshTree();
        QCOMPARE(window.TreeView1->topLevelItemCount(), 0);
        QCOMPARE(statusText(window), QStringLiteral("Error opening main database!"));
        QCOMPARE(prompts_->messages.size(), size_t(1));
        QCOMPARE(prompts_->messages[0].icon, QMessageBox::Critical);
        QVERIFY(prompts_->lastMessage().startsWith(
            "Error opening main database, cannot continue.\n\nOpen connection to "));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // An empty file is no book either, and is never taken for an empty one.
        Settings().Database = folder_->file("empty.mdb");
        QFile(Settings().Database).open(QIODevice::WriteOnly);
        window.RefreshTree();
        QCOMPARE(statusText(window), QStringLiteral("Error opening main database!"));
        QVERIFY2(prompts_->lastMessage().endsWith("Error = 1 : no such table: tbl_CustomerProfile, "
                                                  "tbl_Invoices, tbl_Logs (the file is not a "
                                                  "Pellory book)"),
                 qPrintable(prompts_->lastMessage()));
        Settings().Database = book;
        window.RefreshTree();
        QCOMPARE(statusText(window), QStringLiteral("Ready"));
        QCOMPARE(window.TreeView1->topLevelItemCount(), 2);
    }

    // A book whose disk failed in the middle: the accounts still read, the invoices do not. The
    // user is told when the invoices are opened, and the next account is not written into the
    // damaged file.
    void aDamagedBookSaysSoAndTakesNoNewAccount() {
        const QString damaged = folder_->file("sample.mdb");
        const SampleBookResult sample =
            WriteSampleBook(damaged, {.accounts = 40, .invoices = 3000});
        QVERIFY2(sample.error.isEmpty(), qPrintable(sample.error));
        QVERIFY(DamageMiddlePages(damaged));
        const auto digest = [&] {
            QFile file(damaged);
            file.open(QIODevice::ReadOnly);
            return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray before = digest();
        Settings().Database = damaged;
        frmPellory window;
        open(window);
        QVERIFY(window.windowTitle().endsWith(" - " + damaged)); // which book this is
        QVERIFY(prompts_->messages.empty());
        window.Node("[All]")->setExpanded(true);
        QCOMPARE(statusText(window), QStringLiteral("Error reading main database!"));
        QCOMPARE(prompts_->messages.size(), size_t(1));
        QCOMPARE(prompts_->messages[0].icon, QMessageBox::Critical);
        QVERIFY2(prompts_->lastMessage().startsWith(
                     "Error reading main database, the tree is incomplete.\n\n"
                     "daoGet_DBTableRecord2(), Error = 11 : database disk image is malformed. "
                     "The book " +
                     damaged + " is damaged"),
                 qPrintable(prompts_->lastMessage()));
        QCOMPARE(window.Node("[Customers]")->childCount(), 10);

        prompts_->onModal = [&](QDialog* dialog) {
            auto* editor = qobject_cast<frmCustomer*>(dialog);
            editor->show();
            QCoreApplication::processEvents();
            editor->TEXT_AccountNumber->setText("9001");
            editor->COMBO_MasterAccount->setCurrentIndex(0);
            editor->TEXT_Name->setText("Name of 9001");
            editor->TEXT_BillAddress[0]->setText("1 Mill Lane");
            editor->TEXT_Payable->setText("Varnaby");
            editor->TEXT_RecievingAddress[0]->setText("PO Box 17");
            editor->Toolbar1->button("OK")->trigger();
            editor->reject();
            return editor->result();
        };
        window.Toolbar1->button(command::New)->trigger();
        QVERIFY2(prompts_->lastMessage().startsWith(
                     "Error saving to database!\n\ndaoBegin_Transaction(), Error = 11 : The "
                     "book " +
                     damaged + " is damaged"),
                 qPrintable(prompts_->lastMessage()));
        QVERIFY(prompts_->lastMessage().endsWith("restore the copy " +
                                                 folder_->file("backup/sample.mdb") + "."));
        QCOMPARE(digest(), before);
    }

    // While the tree is being built another window may ask for a rebuild and the user may
    // click: the build finishes whole, the rebuild follows it, and the clicks are ignored.
    void whatArrivesDuringARebuildWaitsForIt() {
        addMasterLinkedAndUnpaidInvoice();
        frmPellory window;
        open(window);
        openFolders(window);
        QString statusMeanwhile;
        QTimer::singleShot(0, &window, [&] {
            statusMeanwhile = statusText(window);
            emit BookChangeAnnouncer().changed(); // as a save elsewhere announces
            window.Toolbar1->button(command::New)->trigger();
            QTest::mouseDClick(window.TreeView1->viewport(), Qt::LeftButton);
            QTest::keyClick(window.TreeView1, Qt::Key_N, Qt::AltModifier);
        });
        window.RefreshTree();
        QCOMPARE(statusMeanwhile, QStringLiteral("Refreshing, please wait..."));
        QVERIFY(prompts_->modalWindows.empty());
        QCOMPARE(statusText(window), QStringLiteral("Ready"));
        QCOMPARE(childTexts(window.Node("[Customers]")), QStringList({"1001, Abbott Plumbing"}));
        QCOMPARE(childKeys(window.Node("[Master]1001")), QStringList({"[Account]2001"}));
        QCOMPARE(childKeys(window.Node("[Current]")), QStringList({"[InvoiceCurrent]0000001"}));
        QCOMPARE(childKeys(window.Node("[All]")), QStringList({"[Invoice]0000001"}));
        QCOMPARE(window.TreeView1->topLevelItemCount(), 2);
    }

    void windowStateIsKeptBetweenRuns() {
        {
            frmPellory window;
            QVERIFY(window.windowState() & Qt::WindowMaximized); // nothing saved yet
            open(window);
            window.setWindowState(Qt::WindowMinimized);
            window.close();
        }
        QCOMPARE(storedWindowState(), 1);
        {
            frmPellory window;
            QVERIFY(window.windowState() & Qt::WindowMinimized);
            window.setWindowState(Qt::WindowNoState);
            open(window);
            QTest::keyClick(window.TreeView1, Qt::Key_Escape); // Esc ends the program
            QVERIFY(!window.isVisible());
        }
        QCOMPARE(storedWindowState(), 0);
        frmPellory window;
        QCOMPARE(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
                 Qt::WindowStates());
    }

    void treeAndLogShareTheWidthAndLongLinesShowWhole() {
        frmPellory window;
        window.setWindowState(Qt::WindowNoState);
        open(window);
        window.resize(900, 600);
        QWidget* client = window.centralWidget();
        QTRY_COMPARE(client->width(), 900);
        const int tree = window.TreeView1->width();
        const int list = window.LIST_Transaction->width();
        const auto rightGap = [client](const QWidget* widget) {
            return client->width() - widget->mapTo(client, QPoint(widget->width(), 0)).x();
        };
        const int listRightGap = rightGap(window.LIST_Transaction);
        window.resize(1300, 800);
        QTRY_COMPARE(client->width(), 1300);
        // The 400 pixels more go to both sides, and the list still ends near the window's edge.
        QVERIFY2(window.TreeView1->width() - tree >= 150, qPrintable(QString::number(tree)));
        QVERIFY2(window.LIST_Transaction->width() - list >= 150, qPrintable(QString::number(list)));
        const auto bottom = [client](const QWidget* widget) {
            return widget->mapTo(client, QPoint(0, widget->height())).y();
        };
        QCOMPARE(bottom(window.LIST_Transaction), bottom(window.TreeView1));
        QCOMPARE(window.LABEL_Transaction->x(), window.LIST_Transaction->x());
        QCOMPARE(rightGap(window.LIST_Transaction), listRightGap);
        window.resize(150, 120); // too small for both: nothing breaks
        QTRY_VERIFY(client->width() < 300);
        QCOMPARE(window.LIST_Transaction->horizontalExtent(), 500);

        const QString line = "12/2/2026 9:30:00 AM, Added account# 2001 " + QString(200, 'x');
        Announcements().announceLine(line);
        window.resize(900, 600);
        QTRY_COMPARE(client->width(), 900);
        QWidget* viewport = window.LIST_Transaction->viewport();
        const QPoint at =
            window.LIST_Transaction->visualItemRect(window.LIST_Transaction->item(0)).center();
        QHelpEvent hover(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &hover);
        QTRY_COMPARE(QToolTip::text(), line);
    }

    // The numbers a node stands for are its own: an invoice number with a comma or an account
    // number with blanks reaches the windows as stored.
    void commandsTakeTheNodesNumbersAsStored() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile(" 7 ", MasterMarker, "Blank Edged"));
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addInvoice("2026,07", "1001", QVariant()));
        frmPellory window;
        open(window);
        openFolders(window);
        QString tagSeen;
        prompts_->onModal = [&](QDialog* dialog) {
            tagSeen = qobject_cast<frmCustomer*>(dialog)->Tag;
            return int(QDialog::Rejected);
        };
        doubleClick(window, window.Node("[Master] 7 "));
        QCOMPARE(tagSeen, QStringLiteral(" 7 "));

        window.TreeView1->setCurrentItem(window.Node("[Invoice]2026,07"));
        window.MENUOPT_EditInvoice->trigger();
        auto* balance = window.findChild<frmBalance*>();
        QVERIFY(balance);
        QCOMPARE(balance->Tag, QStringLiteral("1001"));
        QCOMPARE(balance->SelectedInvoice, QStringLiteral("2026,07"));
        balance->close();
        doubleClick(window, window.Node("[InvoiceCurrent]2026,07"));
        QCOMPARE(childKeys(window.Node("[InvoiceCurrent]2026,07")).value(0),
                 QStringLiteral("[DetailCurrentEdit]2026,07"));
    }

    // The Menu key and Shift+F10 open the current node's popup menu where the node is drawn,
    // under the right button's rules, and the menu is worked from the keyboard.
    void keyboardOpensTheCurrentNodesPopupMenu() {
        addMasterLinkedAndUnpaidInvoice();
        frmPellory window;
        open(window);
        openFolders(window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.TreeView1->setFocus();
        QTreeWidgetItem* linked = window.Node("[Account]2001");
        pointOf(window, linked);
        window.TreeView1->setCurrentItem(linked);
        QTest::keyClick(window.TreeView1, Qt::Key_Menu);
        QVERIFY(window.MENU_PopupMenu->isVisible());
        QCOMPARE(window.MENUOPT_ItemName->text(), QStringLiteral("2001, Barnes Bakery"));
        QVERIFY(window.MENUOPT_PrintStatement->isEnabled());
        QVERIFY(!window.MENUOPT_ReprintInvoice->isEnabled());
        const QRect node = window.TreeView1->visualItemRect(linked);
        const QPoint nodeAt = window.TreeView1->viewport()->mapToGlobal(node.bottomLeft());
        QVERIFY2((window.MENU_PopupMenu->pos() - nodeAt).manhattanLength() <= node.height(),
                 qPrintable(QStringLiteral("menu at %1,%2, node at %3,%4")
                                .arg(window.MENU_PopupMenu->x())
                                .arg(window.MENU_PopupMenu->y())
                                .arg(nodeAt.x())
                                .arg(nodeAt.y())));
        QString tagSeen;
        prompts_->onModal = [&](QDialog* dialog) {
            tagSeen = qobject_cast<frmCustomer*>(dialog)->Tag;
            return int(QDialog::Rejected);
        };
        window.MENU_PopupMenu->setActiveAction(window.MENUOPT_EditAccount);
        QTest::keyClick(window.MENU_PopupMenu, Qt::Key_Return);
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmCustomer"}));
        QCOMPARE(tagSeen, QStringLiteral("2001"));

        window.TreeView1->setFocus();
        window.TreeView1->setCurrentItem(window.Node("[InvoiceCurrent]0000001"));
        QTest::keyClick(window.TreeView1, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(window.MENU_PopupMenu->isVisible());
        QVERIFY(window.MENUOPT_ReprintInvoice->isEnabled());
        QVERIFY(window.MENUOPT_EmailInvoice->isEnabled());
        QVERIFY(!window.MENUOPT_EditAccount->isEnabled());
        window.MENU_PopupMenu->hide();

        // A folder has no menu, and F10 without Shift is not the menu key.
        window.TreeView1->setCurrentItem(window.Node("[Current]"));
        QTest::keyClick(window.TreeView1, Qt::Key_Menu);
        QVERIFY(!window.MENU_PopupMenu->isVisible());
        window.TreeView1->setCurrentItem(linked);
        QTest::keyClick(window.TreeView1, Qt::Key_F10);
        QVERIFY(!window.MENU_PopupMenu->isVisible());
    }

    void findBoxNarrowsTheAccountsAndEscReturnsToTheTree() {
        const TestBook rows = book();
        QVERIFY(rows.addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(rows.addProfile("2001", "1001", "Barnes Bakery"));
        QVERIFY(rows.addProfile("1002", MasterMarker, "Dalton Dental"));
        QVERIFY(rows.addProfile("2002", "1002", "Carver Joinery"));
        frmPellory window;
        open(window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.TreeView1->setFocus();
        const auto shown = [&window] {
            QStringList keys;
            for (const QString key :
                 {"[Master]1001", "[Account]2001", "[Master]1002", "[Account]2002"})
                if (!window.Node(key)->isHidden())
                    keys << key;
            return keys;
        };
        const auto find = [&window](const QString& text) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget(), window.TEXT_Find);
            QTest::keyClicks(window.TEXT_Find, text); // replaces what was selected
        };
        find("bAK"); // any case, inside the name
        QCOMPARE(shown(), QStringList({"[Master]1001", "[Account]2001"}));
        QTRY_VERIFY(window.Node("[Master]1001")->isExpanded());
        QCOMPARE(window.TreeView1->currentItem(), window.Node("[Account]2001"));
        find("dent");
        QCOMPARE(shown(), QStringList({"[Master]1002"}));
        QCOMPARE(window.TreeView1->currentItem(), window.Node("[Master]1002"));
        find("002"); // inside the number
        QCOMPARE(shown(), QStringList({"[Master]1002", "[Account]2002"}));
        window.RefreshTree(); // a rebuild keeps the search
        QCOMPARE(shown(), QStringList({"[Master]1002", "[Account]2002"}));
        QTest::keyClick(window.TEXT_Find, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), window.TreeView1);
        QCOMPARE(window.TreeView1->currentItem(), window.Node("[Master]1002"));

        find("nobody");
        QCOMPARE(shown(), QStringList());
        QTest::keyClick(window.TEXT_Find, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(QApplication::focusWidget(), window.TreeView1);
        QCOMPARE(window.TEXT_Find->text(), QString());
        QCOMPARE(shown().size(), 4);
    }

    void transactionListShowsTheLogAndItsLinesOnDoubleClick() {
        frmPellory window;
        open(window);
        QTest::mouseDClick(window.LIST_Transaction->viewport(), Qt::LeftButton);
        QVERIFY(prompts_->messages.empty()); // an empty list shows nothing

        QFile log(LogFilePath());
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("12/1/2026 9:00:00 AM, Added account# 1001\r\n\r\n"
                  "12/2/2026 9:30:00 AM, Added account# 2001 with a long line to scroll\r\n");
        log.close();
        window.RefreshTree();
        QCOMPARE(window.LIST_Transaction->count(), 2);
        QCOMPARE(window.LIST_Transaction->currentRow(), 1);
        QTest::mouseDClick(
            window.LIST_Transaction->viewport(), Qt::LeftButton, {},
            window.LIST_Transaction->visualItemRect(window.LIST_Transaction->item(0)).center());
        QCOMPARE(prompts_->messages.size(), size_t(1));
        QCOMPARE(prompts_->messages[0].icon, QMessageBox::Information);
        QCOMPARE(prompts_->lastMessage(),
                 QStringLiteral("12/1/2026 9:00:00 AM, Added account# 1001"));
    }

    void keysFollowTheButtonsAndImportOpensTheImportWindow() {
        frmPellory window;
        open(window);
        QTest::keyClick(window.TreeView1, Qt::Key_B, Qt::AltModifier);
        QTest::keyClick(window.TreeView1, Qt::Key_R, Qt::AltModifier);
        QTest::keyClick(window.TreeView1, Qt::Key_S, Qt::AltModifier);
        QTest::keyClick(window.TreeView1, Qt::Key_N, Qt::AltModifier | Qt::ShiftModifier);
        QTest::keyClick(window.TreeView1, Qt::Key_N, Qt::AltModifier | Qt::ControlModifier);
        QVERIFY(prompts_->modalWindows.empty());
        QTest::keyClick(window.TreeView1, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmCustomer"}));

        QFile csv(folder_->file("customers.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Account Number,Name,Payable To,Bill Address 1,Recieving Address 1\r\n"
                  "1001,Abbott Plumbing,Varnaby,1 Mill Lane,PO Box 17\r\n");
        csv.close();
        prompts_->files.push_back(csv.fileName());
        prompts_->onModal = [](QDialog* dialog) {
            if (auto* import = qobject_cast<frmImport*>(dialog))
                import->CMD_Import->click();
            return dialog->result();
        };
        dropDownItem(window, command::Import)->trigger();
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmCustomer", "frmImport"}));
        QCOMPARE(prompts_->lastMessage(), QStringLiteral("Stored 1 accounts, skipped 0."));
        QTRY_VERIFY(window.Node("[Master]1001"));
        QVERIFY(window.LIST_Transaction->item(window.LIST_Transaction->count() - 1)
                    ->text()
                    .endsWith("Imported accounts from customers.csv"));
        dropDownItem(window, command::Enter)->trigger();
        QCOMPARE(prompts_->modalWindows.size(), size_t(3));
    }

    void exportWritesTheBooksIntoTheChosenFolder() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        frmPellory window;
        open(window);
        prompts_->files.push_back(folder_->path());
        prompts_->onModal = [](QDialog* dialog) {
            auto* exporting = qobject_cast<frmExport*>(dialog);
            exporting->CMD_Folder->click();
            exporting->CMD_Export->click();
            return dialog->result();
        };
        dropDownItem(window, command::Export)->trigger();
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmExport"}));
        QVERIFY2(prompts_->lastMessage().startsWith("Exported 1 accounts, 0 invoices (0 invoice "
                                                    "lines) and 1 balances into " +
                                                    folder_->path()),
                 qPrintable(prompts_->lastMessage()));
        for (const char* name :
             {"accounts.csv", "invoices.csv", "invoice_lines.csv", "balances.csv"})
            QVERIFY(QFile::exists(folder_->file(name)));
    }

    void reportOpensModallyByButtonAndAltROnceAMasterExists() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        frmPellory window;
        open(window);
        QTest::keyClick(window.TreeView1, Qt::Key_R, Qt::AltModifier);
        window.Toolbar1->button(command::Report)->trigger();
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmReport", "frmReport"}));
    }

    void aboutPanelShowsWhatTheProgramRunsOn() {
        frmPellory window;
        open(window);
        QStringList shown;
        bool closedByEsc = false;
        prompts_->onModal = [&](QDialog* about) {
            about->show();
            for (const QLabel* label : about->findChildren<QLabel*>())
                shown << label->text();
            QTest::keyClick(about, Qt::Key_Escape);
            closedByEsc = !about->isVisible();
            return about->result();
        };
        QTest::mouseClick(window.StatusPanels[1], Qt::LeftButton);
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmAbout"}));
        QVERIFY(closedByEsc);
        const QString text = shown.join('\n');
        QVERIFY2(text.contains(folder_->database()), qPrintable(text));
        QVERIFY(text.contains(SettingsFilePath()));
        QVERIFY(text.contains(QString::fromLatin1(qVersion())));
        QVERIFY(text.contains(QStringLiteral(PELLORY_VERSION)));
        QVERIFY(text.contains(
            QRegularExpression("^3\\.\\d+\\.\\d+", QRegularExpression::MultilineOption)));
        QCOMPARE(window.StatusPanels[1]->text(), QStringLiteral("About"));
        QVERIFY(!window.StatusPanels[2]->text().isEmpty());
        QVERIFY(!window.StatusPanels[3]->text().isEmpty());
    }

    // What a person does on a blank book: a master and a linked account entered, seen in the
    // tree, one edited, the master deleted and both gone.
    void accountsEnteredEditedAndDeletedThroughTheTree() {
        frmPellory window;
        open(window);
        const auto fillAndSave = [](frmCustomer* editor, const QString& account, int master) {
            editor->TEXT_AccountNumber->setText(account);
            editor->COMBO_MasterAccount->setCurrentIndex(master);
            editor->TEXT_Name->setText("Name of " + account);
            editor->TEXT_BillAddress[0]->setText("1 Mill Lane");
            editor->TEXT_Payable->setText("Varnaby");
            editor->TEXT_RecievingAddress[0]->setText("PO Box 17");
            editor->Toolbar1->button("OK")->trigger();
        };
        prompts_->onModal = [&](QDialog* dialog) {
            dialog->show();
            QCoreApplication::processEvents();
            fillAndSave(qobject_cast<frmCustomer*>(dialog), "1001", 0);
            return dialog->result();
        };
        window.Toolbar1->button(command::New)->trigger();
        QTRY_VERIFY(window.Node("[Master]1001"));
        prompts_->onModal = [&](QDialog* dialog) {
            dialog->show();
            QCoreApplication::processEvents();
            fillAndSave(qobject_cast<frmCustomer*>(dialog), "2001", 1);
            return dialog->result();
        };
        window.Toolbar1->button(command::New)->trigger();
        QTRY_COMPARE(childTexts(window.Node("[Master]1001")), QStringList({"2001, Name of 2001"}));

        prompts_->onModal = [&](QDialog* dialog) {
            auto* editor = qobject_cast<frmCustomer*>(dialog);
            editor->show();
            QCoreApplication::processEvents();
            editor->TEXT_Name->setText("Barnes Bakery");
            editor->Toolbar1->button("OK")->trigger();
            return editor->result();
        };
        doubleClick(window, window.Node("[Account]2001"));
        QTRY_COMPARE(window.Node("[Account]2001")->text(0), QStringLiteral("2001, Barnes Bakery"));

        prompts_->answers = {QMessageBox::Yes};
        prompts_->onModal = [&](QDialog* dialog) {
            auto* editor = qobject_cast<frmCustomer*>(dialog);
            editor->show();
            QCoreApplication::processEvents();
            editor->Toolbar1->button("Delete")->trigger();
            return editor->result();
        };
        doubleClick(window, window.Node("[Master]1001"));
        QTRY_COMPARE(window.Node("[Customers]")->childCount(), 0);
        QTRY_VERIFY(!window.Node("[Account]2001"));
        QCOMPARE(book().profiles(), 0);
        QCOMPARE(window.LIST_Transaction->count(), 4);
        QVERIFY(window.LIST_Transaction->item(3)->text().endsWith(", Deleted account# 1001"));
    }

    void invoiceOpensItsBalanceWindowBesideTheTree() {
        addMasterLinkedAndUnpaidInvoice();
        frmPellory window;
        open(window);
        openFolders(window);
        QTreeWidgetItem* invoice = window.Node("[InvoiceCurrent]0000001");
        doubleClick(window, invoice);
        doubleClick(window, window.Node("[DetailCurrentEdit]0000001"));
        auto* balance = window.findChild<frmBalance*>();
        QVERIFY(balance);
        QVERIFY(prompts_->modalWindows.empty());
        QVERIFY(!balance->isModal());
        QVERIFY(balance->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(balance->Tag, QStringLiteral("1001"));
        QTRY_COMPARE(balance->TEXT_PaymentBilled->text(), QStringLiteral("110.50"));
        QCOMPARE(balance->LIST_Invoices->currentItem()->text(), QStringLiteral("0000001"));

        // The tree rebuilds under it; the window works on, and its payment moves the invoice
        // out of the unpaid folder.
        window.RefreshTree();
        balance->TEXT_PaymentRecieved->setText("110.50");
        balance->Toolbar1->button("Save")->trigger();
        QTRY_VERIFY(!window.Node("[InvoiceCurrent]0000001"));
        QTRY_VERIFY(window.Node("[Invoice]0000001"));
        QVERIFY(window.LIST_Transaction->item(0)->text().endsWith(
            ", Edited invoice# 0000001, recieved$ 110.50"));

        // Esc closes it alone, and it goes.
        QPointer<frmBalance> closed = balance;
        QTest::keyClick(balance->LIST_Invoices, Qt::Key_Escape);
        QTRY_VERIFY(closed.isNull());
        QVERIFY(window.isVisible());

        window.TreeView1->setCurrentItem(window.Node("[Invoice]0000001"));
        window.MENUOPT_EditInvoice->trigger();
        QTRY_VERIFY(window.findChild<frmBalance*>());
        QCOMPARE(window.findChild<frmBalance*>()->Tag, QStringLiteral("1001"));
    }

    void balanceCommandOpensTheWindowModallyWithoutAnAccount() {
        QVERIFY(book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        frmPellory window;
        open(window);
        QString tagSeen = "unset";
        prompts_->onModal = [&](QDialog* dialog) {
            tagSeen = qobject_cast<frmBalance*>(dialog)->Tag;
            return int(QDialog::Rejected);
        };
        QTest::keyClick(window.TreeView1, Qt::Key_B, Qt::AltModifier);
        QCOMPARE(prompts_->modalWindows, std::vector<QString>({"frmBalance"}));
        QCOMPARE(tagSeen, QString());
    }
};

PELLORY_TEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
