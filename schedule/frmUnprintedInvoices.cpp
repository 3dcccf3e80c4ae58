#include "frmUnprintedInvoices.h"

#include "invoicereprint.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmUnprintedInvoices::frmUnprintedInvoices(const QStringList& numbers, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmUnprintedInvoices"));
    setWindowTitle(QStringLiteral("Invoices Not Printed"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("These invoices are stored and the balances "
                                                "updated, but were not printed. Choose one and "
                                                "Reprint to print it; do not create them again."),
                                 this));
    LIST_Invoices = new QListWidget(this);
    LIST_Invoices->setObjectName(QStringLiteral("LIST_Invoices"));
    LIST_Invoices->addItems(numbers);
    LIST_Invoices->setCurrentRow(0);
    layout->addWidget(LIST_Invoices);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    CMD_Reprint = buttons->addButton(QStringLiteral("&Reprint"), QDialogButtonBox::ActionRole);
    CMD_Reprint->setObjectName(QStringLiteral("CMD_Reprint"));
    connect(CMD_Reprint, &QPushButton::clicked, this, &frmUnprintedInvoices::reprintSelected);
    connect(LIST_Invoices, &QListWidget::itemDoubleClicked, this,
            &frmUnprintedInvoices::reprintSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(380, 320);
}

void frmUnprintedInvoices::reprintSelected() {
    if (const QListWidgetItem* selected = LIST_Invoices->currentItem())
        ReprintInvoice(this, selected->text());
}
