// The create-invoice window's tax and further lines. An invoice that uses neither is the invoice
// of one line the window always made.
#include "formats.h"
#include "frmInvoice.h"
#include "invoicedraft.h"
#include "prompts.h"
#include "typedsettings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {
enum LineColumn { Description, Units, Rate, Tax, Amount, ColumnCount };
const QString NoTax = QStringLiteral("(no tax)");

// The rate names to choose from, "no tax" first; an empty name is no tax.
void fillRates(QComboBox* box, const std::vector<TaxRate>& rates, const QString& chosen) {
    box->clear();
    box->addItem(NoTax, QString());
    for (const TaxRate& rate : rates)
        box->addItem(rate.name, rate.name);
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
}

QString cellText(QTableWidget* table, int row, int column) {
    if (auto* box = qobject_cast<QComboBox*>(table->cellWidget(row, column)))
        return column == Tax ? box->currentData().toString() : box->currentText();
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}
} // namespace

void frmInvoice::buildLines(QFormLayout* form) {
    COMBO_Tax = new QComboBox;
    COMBO_Tax->setObjectName(QStringLiteral("COMBO_Tax"));
    form->addRow(QStringLiteral("Tax"), COMBO_Tax);
    BUTTON_AddLine = new QPushButton(QStringLiteral("Add &Line"));
    BUTTON_AddLine->setObjectName(QStringLiteral("BUTTON_AddLine"));
    BUTTON_RemoveLine = new QPushButton(QStringLiteral("&Remove Line"));
    BUTTON_RemoveLine->setObjectName(QStringLiteral("BUTTON_RemoveLine"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BUTTON_AddLine);
    buttons->addWidget(BUTTON_RemoveLine);
    buttons->addStretch();
    form->addRow(QStringLiteral("Further Lines"), buttons);
    TABLE_Lines = new QTableWidget(0, ColumnCount);
    TABLE_Lines->setObjectName(QStringLiteral("TABLE_Lines"));
    TABLE_Lines->setHorizontalHeaderLabels({QStringLiteral("Description"), QStringLiteral("Units"),
                                            QStringLiteral("Rate"), QStringLiteral("Tax"),
                                            QStringLiteral("Amount")});
    TABLE_Lines->horizontalHeader()->setSectionResizeMode(Description, QHeaderView::Stretch);
    TABLE_Lines->verticalHeader()->setVisible(false);
    TABLE_Lines->setMinimumHeight(140);
    TABLE_Lines->hide();
    form->addRow(TABLE_Lines);
    LABEL_Totals = new QLabel;
    LABEL_Totals->setObjectName(QStringLiteral("LABEL_Totals"));
    LABEL_Totals->setAlignment(Qt::AlignRight);
    LABEL_Totals->hide();
    form->addRow(LABEL_Totals);
    BUTTON_RemoveLine->setEnabled(false);

    connect(BUTTON_AddLine, &QPushButton::clicked, this, &frmInvoice::addLine);
    connect(BUTTON_RemoveLine, &QPushButton::clicked, this, [this] {
        TABLE_Lines->removeRow(TABLE_Lines->currentRow() >= 0 ? TABLE_Lines->currentRow()
                                                              : TABLE_Lines->rowCount() - 1);
        TABLE_Lines->setVisible(TABLE_Lines->rowCount() > 0);
        BUTTON_RemoveLine->setEnabled(TABLE_Lines->rowCount() > 0);
        showTotals();
    });
    connect(TABLE_Lines, &QTableWidget::itemChanged, this, [this] { showTotals(); });
    connect(COMBO_Tax, &QComboBox::currentIndexChanged, this, [this] { showTotals(); });
    connect(TEXT_Payment, &QLineEdit::textChanged, this, [this] { showTotals(); });
}

void frmInvoice::showTaxRates(const std::vector<TaxRate>& rates, const QString& accountRate) {
    taxRates_ = rates;
    fillRates(COMBO_Tax, rates, accountRate);
    COMBO_Tax->setEnabled(!rates.empty());
    TABLE_Lines->setRowCount(0);
    TABLE_Lines->hide();
    BUTTON_RemoveLine->setEnabled(false);
    showTotals();
}

void frmInvoice::addLine() {
    const int row = TABLE_Lines->rowCount();
    const QSignalBlocker quiet(TABLE_Lines);
    TABLE_Lines->insertRow(row);
    auto* description = new QComboBox;
    description->setEditable(true);
    for (int i = 0; i < COMBO_Description->count(); ++i)
        description->addItem(COMBO_Description->itemText(i));
    description->setCurrentText(QString());
    TABLE_Lines->setCellWidget(row, Description, description);
    TABLE_Lines->setItem(row, Units, new QTableWidgetItem(QStringLiteral("1")));
    TABLE_Lines->setItem(row, Rate, new QTableWidgetItem(QStringLiteral("0.00")));
    auto* tax = new QComboBox;
    fillRates(tax, taxRates_, COMBO_Tax->currentData().toString());
    tax->setEnabled(!taxRates_.empty());
    TABLE_Lines->setCellWidget(row, Tax, tax);
    auto* amount = new QTableWidgetItem(QStringLiteral("0.00"));
    amount->setFlags(amount->flags() & ~Qt::ItemIsEditable);
    TABLE_Lines->setItem(row, Amount, amount);
    for (int column : {Units, Rate, Amount})
        TABLE_Lines->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(tax, &QComboBox::currentIndexChanged, this, [this] { showTotals(); });
    TABLE_Lines->show();
    BUTTON_RemoveLine->setEnabled(true);
    TABLE_Lines->setCurrentCell(row, Units);
    description->setFocus();
    showTotals();
}

std::optional<std::vector<InvoiceLine>> frmInvoice::pricedLines(bool tell) {
    // The fields above are the first line: its units at the unit price when billed by units,
    // otherwise one unit of the charges.
    InvoiceLine first;
    first.description = COMBO_Description->currentText();
    const bool byUnits = !TEXT_Units->isReadOnly();
    first.units = byUnits ? ParseNumber(TEXT_Units->text()).value_or(0.0) : 1.0;
    first.rate = byUnits ? UnitRate : ParseMoney(TEXT_Payment->text()).value_or(0.0);
    first.taxName = COMBO_Tax->currentData().toString();
    for (const TaxRate& rate : taxRates_)
        if (rate.name == first.taxName)
            first.taxPercent = rate.percent;
    std::vector<InvoiceLine> lines{first};
    for (int row = 0; row < TABLE_Lines->rowCount(); ++row) {
        const LineEntry entry{cellText(TABLE_Lines, row, Description),
                              cellText(TABLE_Lines, row, Units), cellText(TABLE_Lines, row, Rate),
                              cellText(TABLE_Lines, row, Tax)};
        const auto read = ReadLineEntry(entry, row + 2, taxRates_);
        if (const auto* refusal = std::get_if<QString>(&read)) {
            if (tell) {
                ShowMessage(this, *refusal, QMessageBox::Warning);
                TABLE_Lines->setCurrentCell(row, Units);
                TABLE_Lines->setFocus();
            }
            return std::nullopt;
        }
        lines.push_back(std::get<InvoiceLine>(read));
    }
    PriceLines(lines, ReadTaxRounding());
    return lines;
}

void frmInvoice::showTotals() {
    const auto lines = pricedLines(false);
    if (lines) {
        const QSignalBlocker quiet(TABLE_Lines);
        for (int row = 0; row < TABLE_Lines->rowCount(); ++row)
            if (QTableWidgetItem* amount = TABLE_Lines->item(row, Amount))
                amount->setText(FormatMoney(lines->at(std::size_t(row) + 1).amount));
    }
    if (!lines || !NeedsLines(*lines)) {
        LABEL_Totals->setVisible(lines.has_value() && TABLE_Lines->rowCount() > 0);
        LABEL_Totals->setText(QString());
        return;
    }
    const InvoiceTotals totals = TotalOfLines(*lines);
    QStringList parts{"Net " + FormatMoney(totals.net)};
    for (const TaxOfRate& rate : totals.taxes)
        parts << rate.name + " " + FormatMoney(rate.tax);
    parts << "New Charges " + FormatMoney(totals.total);
    LABEL_Totals->setText(parts.join(QStringLiteral("     ")));
    LABEL_Totals->show();
}
