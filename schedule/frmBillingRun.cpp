#include "frmBillingRun.h"

#include "bookaccess.h"
#include "eventpacer.h"
#include "formats.h"
#include "prompts.h"
#include "typedsettings.h"
#include "windowparts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QStringList Headings = {"",       "Account", "Name",  "Description", "Units", "Rate",
                              "Amount", "Tax",     "Total", "Number",      "Note"};

QTableWidgetItem* cell(const QString& text, bool editable = false) {
    auto* item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem* figure(double amount) {
    QTableWidgetItem* item = cell(FormatMoney(amount));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}
} // namespace

frmBillingRun::frmBillingRun(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBillingRun"));
    setWindowTitle(QStringLiteral("Bill All Due"));
    auto* layout = new QVBoxLayout(this);
    LABEL_Help = BuildHelpStrip(
        this, QStringLiteral("Every account due this month with the invoice it gets. Change "
                             "units, rate or description, untick what should wait, then Store "
                             "and Print: the ticked invoices are stored together, or none is."));
    layout->addWidget(LABEL_Help->parentWidget());
    TABLE_Run = new QTableWidget(0, int(Headings.size()), this);
    TABLE_Run->setObjectName(QStringLiteral("TABLE_Run"));
    TABLE_Run->setHorizontalHeaderLabels(Headings);
    TABLE_Run->verticalHeader()->hide();
    TABLE_Run->horizontalHeader()->setStretchLastSection(true);
    connect(TABLE_Run, &QTableWidget::itemChanged, this, &frmBillingRun::takeEdit);
    layout->addWidget(TABLE_Run);
    LABEL_Totals = new QLabel(this);
    LABEL_Totals->setObjectName(QStringLiteral("LABEL_Totals"));
    layout->addWidget(LABEL_Totals);
    auto* buttons = new QDialogButtonBox(this);
    CMD_Store =
        buttons->addButton(QStringLiteral("&Store and Print"), QDialogButtonBox::AcceptRole);
    CMD_Store->setObjectName(QStringLiteral("CMD_Store"));
    CMD_Store->setEnabled(false);
    CMD_Cancel = buttons->addButton(QDialogButtonBox::Cancel);
    CMD_Cancel->setObjectName(QStringLiteral("CMD_Cancel"));
    connect(CMD_Store, &QPushButton::clicked, this, &frmBillingRun::storeAndPrint);
    connect(CMD_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(1100, 560);
}

void frmBillingRun::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] { loadPlan(); });
}

void frmBillingRun::loadPlan() {
    const auto plan = ReadFromBook<BillingPlan>(
        this, QStringLiteral("Error opening main database, cannot continue.\n\n"),
        [] { return PlanBillingRun(QDate::currentDate(), ReadLastInvoice()); });
    if (!plan) {
        reject();
        return;
    }
    if (!plan->ok()) {
        // Storing from half a plan would leave accounts unbilled without a word.
        ShowIncompleteRead(this, QStringLiteral("The accounts due this month"), plan->failure());
        reject();
        return;
    }
    plan_ = std::move(plan->value());
    showing_ = true;
    TABLE_Run->setRowCount(int(plan_.rows.size()));
    EventPacer pacer;
    for (int row = 0; row < int(plan_.rows.size()); ++row) {
        showRow(row);
        pacer.letEventsRun();
    }
    showing_ = false;
    TABLE_Run->resizeColumnsToContents();
    // Room for the figures that edits may bring, not only for those planned.
    const int figureWidth =
        TABLE_Run->fontMetrics().horizontalAdvance(QStringLiteral("99999.99")) + 12;
    for (const int column : {Units, Rate, Amount, Tax, Total})
        TABLE_Run->setColumnWidth(column, std::max(TABLE_Run->columnWidth(column), figureWidth));
    showFigures();
}

void frmBillingRun::showRow(int row) {
    const PlannedInvoice& planned = plan_.rows[std::size_t(row)];
    auto* tick = cell(QString());
    tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
    tick->setCheckState(planned.ticked ? Qt::Checked : Qt::Unchecked);
    TABLE_Run->setItem(row, Tick, tick);
    TABLE_Run->setItem(row, Account, cell(planned.account));
    TABLE_Run->setItem(row, Name, cell(planned.name));
    TABLE_Run->setItem(row, Description, cell(planned.line.description, true));
    TABLE_Run->setItem(row, Units, cell(QString::number(planned.line.units), true));
    TABLE_Run->setItem(row, Rate, cell(FormatMoney(planned.line.rate), true));
    TABLE_Run->setItem(row, Amount, figure(planned.line.amount));
    TABLE_Run->setItem(row, Tax, figure(planned.line.tax));
    TABLE_Run->setItem(row, Total, figure(TotalOf(planned)));
    TABLE_Run->setItem(row, Number, cell(planned.number));
    TABLE_Run->setItem(row, Note, cell(NoteOf(planned)));
}

// The figures and numbers that follow from the rows as they now are.
void frmBillingRun::showFigures() {
    const bool numbered = NumberTicked(plan_.rows, plan_.firstNumber);
    showing_ = true;
    for (int row = 0; row < int(plan_.rows.size()); ++row) {
        const PlannedInvoice& planned = plan_.rows[std::size_t(row)];
        TABLE_Run->item(row, Amount)->setText(FormatMoney(planned.line.amount));
        TABLE_Run->item(row, Tax)->setText(FormatMoney(planned.line.tax));
        TABLE_Run->item(row, Total)->setText(FormatMoney(TotalOf(planned)));
        TABLE_Run->item(row, Number)->setText(planned.number);
        TABLE_Run->item(row, Note)->setText(NoteOf(planned));
    }
    showing_ = false;
    const BillingRunTotals totals = TotalOfTicked(plan_.rows);
    LABEL_Totals->setText(
        QStringLiteral("Ticked: %1 of %2 invoices   Amount: %3   Tax: %4   Total: %5")
            .arg(totals.invoices)
            .arg(plan_.rows.size())
            .arg(FormatMoney(totals.amount), FormatMoney(totals.tax), FormatMoney(totals.total)) +
        (numbered ? QString() : QStringLiteral("   (no invoice number is left for them all)")));
    CMD_Store->setEnabled(totals.invoices > 0 && numbered);
}

void frmBillingRun::takeEdit(QTableWidgetItem* item) {
    if (showing_)
        return;
    PlannedInvoice& planned = plan_.rows[std::size_t(item->row())];
    switch (item->column()) {
    case Tick:
        planned.ticked = item->checkState() == Qt::Checked;
        break;
    case Description:
        planned.line.description = item->text();
        break;
    case Units:
        if (!takeNumber(item, planned.line.units))
            return;
        if (planned.terms == BillingTerms::ByUnits)
            planned.needs.clear();
        break;
    case Rate:
        if (!takeNumber(item, planned.line.rate))
            return;
        planned.line.rate = RoundCents(planned.line.rate);
        if (planned.terms == BillingTerms::EnteredAmount)
            planned.needs.clear();
        break;
    default:
        return;
    }
    Reprice(planned);
    showFigures();
}

// A number typed into the units or rate; anything else is refused and the value kept.
bool frmBillingRun::takeNumber(QTableWidgetItem* item, double& into) {
    const auto typed = ParseNumber(item->text());
    const bool units = item->column() == Units;
    showing_ = true;
    if (!typed) {
        ShowMessage(this,
                    "\"" + item->text() + "\" is not a number; the " +
                        (units ? QStringLiteral("units") : QStringLiteral("rate")) +
                        " of account " + plan_.rows[std::size_t(item->row())].account +
                        " stay as they were.",
                    QMessageBox::Warning);
        item->setText(units ? QString::number(into) : FormatMoney(into));
    } else {
        into = *typed;
        item->setText(units ? QString::number(into) : FormatMoney(RoundCents(into)));
    }
    showing_ = false;
    return typed.has_value();
}
