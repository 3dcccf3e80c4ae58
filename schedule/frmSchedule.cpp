#include "frmSchedule.h"

#include "columns.h"
#include "formats.h"
#include "frmInvoice.h"
#include "modDAO.h"
#include "prompts.h"
#include "settings.h"
#include "statements.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// True when one of the account's invoices was billed in the current month.
bool invoicedThisMonth(const QString& account, bool& queryFailed) {
    QString error;
    queryFailed =
        daoGet_DBTableRecord(QLatin1String(sql::SelectInvoicesOfAccount), error, {account}) != 0;
    if (queryFailed)
        return false;
    const QDate today = QDate::currentDate();
    Recordset& invoices = SharedRecordset();
    for (invoices.MoveFirst(); !invoices.EndOfFile(); invoices.MoveNext()) {
        QApplication::processEvents();
        const QDate billed = DateFromStored(invoices.Fields(col::DateBilled));
        if (billed.isValid() && billed.year() == today.year() && billed.month() == today.month())
            return true;
    }
    return false;
}
} // namespace

frmSchedule::frmSchedule(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSchedule"));
    setWindowTitle(QStringLiteral("Billing Schedule"));
    auto* layout = new QVBoxLayout(this);
    Toolbar1 = BuildDialogToolbar(this);
    connect(Toolbar1, &WindowToolbar::commandTriggered, this, &QDialog::reject);
    layout->addWidget(Toolbar1);
    LABEL_Help = BuildHelpStrip(this, QStringLiteral("The following list contains all Accounts "
                                                     "that require an invoice this month."));
    layout->addWidget(LABEL_Help->parentWidget());
    LABEL_Today = new QLabel(QStringLiteral("Today's date is: "), this);
    LABEL_Today->setObjectName(QStringLiteral("LABEL_Today"));
    layout->addWidget(LABEL_Today);
    LABEL_Schedule = new QLabel(
        QStringLiteral("Accounts Requiring an Invoice this Month (double click to invoice)"), this);
    LABEL_Schedule->setObjectName(QStringLiteral("LABEL_Schedule"));
    layout->addWidget(LABEL_Schedule);
    LIST_Cycle = new QListWidget(this);
    LIST_Cycle->setObjectName(QStringLiteral("LIST_Cycle"));
    layout->addWidget(LIST_Cycle);
    connect(LIST_Cycle, &QListWidget::itemDoubleClicked, this, &frmSchedule::startInvoice);
    resize(520, 420);
}

void frmSchedule::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!Activated)
        LABEL_Today->setText(LABEL_Today->text() + FormatShortDate(QDate::currentDate()));
    LoadOnFirstShow(this, Activated, [this] { FillSchedule(); });
}

void frmSchedule::FillSchedule() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LIST_Cycle->clear();
    QString error;
    if (daoOpen_DBConnection(Settings().Database, error) != 0) {
        QApplication::restoreOverrideCursor();
        ShowMessage(this, "Error opening main database, cannot continue.\n\n" + error,
                    QMessageBox::Critical);
        reject();
        return;
    }
    QStringList accounts;
    QStringList lines;
    if (daoGet_DBTableRecord(QLatin1String(sql::SelectCycleProfiles), error) == 0) {
        Recordset& rows = SharedRecordset();
        for (rows.MoveFirst(); !rows.EndOfFile(); rows.MoveNext()) {
            accounts << rows.Fields(col::AccountNumber).toString();
            lines << accounts.back() + ", " + rows.Fields(col::CustomerName).toString() +
                         ", bill on day# " + rows.Fields(col::MonthDay).toString();
            QApplication::processEvents();
        }
    }
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        bool queryFailed = false;
        if (!invoicedThisMonth(accounts[i], queryFailed) && !queryFailed)
            LIST_Cycle->addItem(lines[i]);
    }
    daoClose_DBConnection();
    QApplication::restoreOverrideCursor();
}

void frmSchedule::startInvoice() {
    QListWidgetItem* selected = LIST_Cycle->currentItem();
    if (LIST_Cycle->count() == 0 || !selected)
        return;
    const QString account = selected->text().section(',', 0, 0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    auto* invoice = new frmInvoice(parentWidget());
    invoice->setAttribute(Qt::WA_DeleteOnClose);
    invoice->Tag = account;
    QApplication::restoreOverrideCursor();
    accept();
    ShowModal(invoice);
}
