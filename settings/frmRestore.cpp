#include "frmRestore.h"

#include "busypointer.h"
#include "formats.h"
#include "paths.h"
#include "prompts.h"
#include "settings.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

frmRestore::frmRestore(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("Restore the Book from a Copy"));
    {
        BusyPointer busy;
        copies_ = ListBackupCopies(ProgramFile(QStringLiteral("backup")));
    }
    TABLE_Copies = new QTableWidget(int(copies_.size()), 6, this);
    TABLE_Copies->setHorizontalHeaderLabels({QStringLiteral("Copy"), QStringLiteral("Written"),
                                             QStringLiteral("Size"), QStringLiteral("Accounts"),
                                             QStringLiteral("Invoices"), QStringLiteral("State")});
    TABLE_Copies->setSelectionBehavior(QAbstractItemView::SelectRows);
    TABLE_Copies->setSelectionMode(QAbstractItemView::SingleSelection);
    TABLE_Copies->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TABLE_Copies->verticalHeader()->hide();
    for (int row = 0; row < int(copies_.size()); ++row) {
        const BackupCopy& copy = copies_[std::size_t(row)];
        const bool whole = copy.damage.isEmpty();
        const QStringList cells{QFileInfo(copy.path).fileName(),
                                FormatGeneralDate(copy.written),
                                QLocale().formattedDataSize(copy.bytes),
                                whole ? QString::number(copy.accounts) : QString(),
                                whole ? QString::number(copy.invoices) : QString(),
                                whole ? QStringLiteral("whole") : "damaged: " + copy.damage};
        for (int column = 0; column < cells.size(); ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            // A damaged copy is shown but cannot be chosen.
            if (!whole)
                cell->setFlags(Qt::NoItemFlags);
            cell->setToolTip(whole ? copy.path : copy.damage);
            TABLE_Copies->setItem(row, column, cell);
        }
    }
    for (int column = 0; column + 1 < TABLE_Copies->columnCount(); ++column)
        TABLE_Copies->resizeColumnToContents(column);
    TABLE_Copies->horizontalHeader()->setStretchLastSection(true);
    CMD_Restore = new QPushButton(QStringLiteral("Restore"), this);
    CMD_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CMD_Restore);
    buttons->addWidget(CMD_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TABLE_Copies);
    layout->addLayout(buttons);
    resize(640, 300);
    connect(CMD_Restore, &QPushButton::clicked, this, &frmRestore::Restore);
    connect(CMD_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRestore::Restore() {
    const QList<QTableWidgetItem*> chosen = TABLE_Copies->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(this, QStringLiteral("Choose a whole copy to restore."), QMessageBox::Warning);
        return;
    }
    const BackupCopy& copy = copies_[std::size_t(chosen.first()->row())];
    const QString book = Settings().Database;
    if (ShowMessage(this,
                    "Replace everything in the book " + book + " with the copy " + copy.path +
                        "? The book as it is now is kept beside it first.",
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;
    BusyPointer busy;
    const Result<QString> kept = RestoreBackupCopy(copy.path, book);
    busy.release();
    if (!kept) {
        ShowMessage(this, kept.error(), QMessageBox::Critical);
        return;
    }
    ShowMessage(this,
                "The book was restored from " + copy.path + ". The book as it was is kept as " +
                    *kept + ".",
                QMessageBox::Information);
    accept();
}
