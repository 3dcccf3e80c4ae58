#include "frmSchedule.h"

#include "billingdue.h"
#include "bookaccess.h"
#include "eventpacer.h"
#include "formats.h"
#include "frmBillingRun.h"
#include "frmInvoice.h"
#include "prompts.h"
#include "settings.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

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
    CMD_BillAllDue = new QPushButton(QStringLiteral("&Bill all due..."), this);
    CMD_BillAllDue->setObjectName(QStringLiteral("CMD_BillAllDue"));
    connect(CMD_BillAllDue, &QPushButton::clicked, this, &frmSchedule::billAllDue);
    layout->addWidget(CMD_BillAllDue, 0, Qt::AlignRight);
    resize(520, 420);
}

void frmSchedule::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!Activated)
        LABEL_Today->setText(LABEL_Today->text() + FormatShortDate(QDate::currentDate()));
    LoadOnFirstShow(this, Activated, [this] { FillSchedule(); });
}

void frmSchedule::FillSchedule() {
    LIST_Cycle->clear();
    const auto due = ReadFromBook<std::vector<DueAccount>>(
        this, QStringLiteral("Error opening main database, cannot continue.\n\n"),
        [] { return AccountsDueThisMonth(QDate::currentDate()); });
    if (!due) {
        reject();
        return;
    }
    if (!due->ok()) {
        // An empty list would say nobody is due.
        ShowIncompleteRead(this, QStringLiteral("The accounts due this month"), due->failure());
        return;
    }
    EventPacer pacer;
    for (const DueAccount& account : due->value()) {
        auto* line = new QListWidgetItem(account.account + ", " + account.name + ", bill on day# " +
                                         account.monthDay);
        // The account number as stored, whatever commas it holds.
        line->setData(Qt::UserRole, account.account);
        LIST_Cycle->addItem(line);
        pacer.letEventsRun();
    }
}

// The schedule closes first; the invoice window is then shown on that account, owned here.
void frmSchedule::startInvoice() {
    QListWidgetItem* selected = LIST_Cycle->currentItem();
    if (LIST_Cycle->count() == 0 || !selected)
        return;
    const QString account = selected->data(Qt::UserRole).toString();
    accept();
    frmInvoice invoice(parentWidget());
    invoice.Tag = account;
    ShowModal(&invoice);
}

// The run's preview, owned here; the list shows afterwards who is still due.
void frmSchedule::billAllDue() {
    frmBillingRun run(this);
    ShowModal(&run);
    FillSchedule();
}
