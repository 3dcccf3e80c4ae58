#include "frmTaxRates.h"

#include "bookaccess.h"
#include "formats.h"
#include "invoicelines.h"
#include "prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { NameColumn, PercentColumn };

const QString OpenFailed = QStringLiteral("Error opening main database.\n\n");
const QString NothingSaved =
    QStringLiteral("\n\nNothing was saved; the book keeps the rates it had.");

QString cellText(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* cell = table->item(row, column);
    return cell ? cell->text().trimmed() : QString();
}
} // namespace

frmTaxRates::frmTaxRates(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTaxRates"));
    setWindowTitle(QStringLiteral("Tax Rates"));
    TABLE_Rates = new QTableWidget(0, 2, this);
    TABLE_Rates->setObjectName(QStringLiteral("TABLE_Rates"));
    TABLE_Rates->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Percent")});
    TABLE_Rates->setSelectionBehavior(QAbstractItemView::SelectRows);
    TABLE_Rates->setSelectionMode(QAbstractItemView::SingleSelection);
    TABLE_Rates->verticalHeader()->hide();
    TABLE_Rates->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    CMD_Add = new QPushButton(QStringLiteral("&Add"), this);
    CMD_Remove = new QPushButton(QStringLiteral("&Remove"), this);
    CMD_Save = new QPushButton(QStringLiteral("&Save"), this);
    CMD_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {CMD_Add, CMD_Remove, CMD_Save, CMD_Cancel})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CMD_Add);
    buttons->addWidget(CMD_Remove);
    buttons->addStretch();
    buttons->addWidget(CMD_Save);
    buttons->addWidget(CMD_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TABLE_Rates);
    layout->addLayout(buttons);
    resize(420, 280);
    connect(CMD_Add, &QPushButton::clicked, this, &frmTaxRates::addRate);
    connect(CMD_Remove, &QPushButton::clicked, this, &frmTaxRates::removeRate);
    connect(CMD_Save, &QPushButton::clicked, this, &frmTaxRates::Save);
    connect(CMD_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    loadRates();
}

// Rates that could not be read are not offered for saving: that would replace them unseen.
void frmTaxRates::loadRates() {
    const auto read = ReadFromBook<std::vector<TaxRate>>(this, OpenFailed, ReadTaxRates);
    const bool complete = read && read->ok();
    if (read && !read->ok())
        ShowIncompleteRead(this, QStringLiteral("The tax rates"), read->failure());
    if (complete)
        for (const TaxRate& rate : read->value())
            addRow(rate.name,
                   QLocale::system().toString(rate.percent, 'f', QLocale::FloatingPointShortest));
    for (QPushButton* button : {CMD_Add, CMD_Remove, CMD_Save})
        button->setEnabled(complete);
}

void frmTaxRates::addRow(const QString& name, const QString& percent) {
    const int row = TABLE_Rates->rowCount();
    TABLE_Rates->insertRow(row);
    TABLE_Rates->setItem(row, NameColumn, new QTableWidgetItem(name));
    auto* percentCell = new QTableWidgetItem(percent);
    percentCell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TABLE_Rates->setItem(row, PercentColumn, percentCell);
}

// Typing on the new row's name replaces it.
void frmTaxRates::addRate() {
    addRow(QString(), QStringLiteral("0"));
    TABLE_Rates->setCurrentCell(TABLE_Rates->rowCount() - 1, NameColumn);
    TABLE_Rates->setFocus();
}

void frmTaxRates::removeRate() {
    if (TABLE_Rates->currentRow() >= 0)
        TABLE_Rates->removeRow(TABLE_Rates->currentRow());
}

void frmTaxRates::Save() {
    // A cell still being typed in (Save pressed by its key) is taken as typed so far.
    TABLE_Rates->setCurrentItem(nullptr);
    std::vector<TaxRate> rates;
    for (int row = 0; row < TABLE_Rates->rowCount(); ++row) {
        const QString name = cellText(TABLE_Rates, row, NameColumn);
        const QString percent = cellText(TABLE_Rates, row, PercentColumn);
        const auto number = ParseNumber(percent);
        if (!number) {
            TABLE_Rates->setCurrentCell(row, PercentColumn);
            ShowMessage(this,
                        "The percent of rate \"" + name + "\" is not a number: \"" + percent +
                            "\"." + NothingSaved,
                        QMessageBox::Warning);
            return;
        }
        rates.push_back({name, *number});
    }
    const auto saved = ReadFromBook<Done>(this, OpenFailed + "The tax rates were not saved.\n\n",
                                          [&] { return SaveTaxRates(rates); });
    if (!saved)
        return;
    if (!saved->ok()) {
        ShowMessage(this, "The tax rates could not be saved.\n\n" + saved->error() + NothingSaved,
                    QMessageBox::Warning);
        return;
    }
    accept();
}
