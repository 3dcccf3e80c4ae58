#include "frmImport.h"

#include "bookaccess.h"
#include "loggedchange.h"
#include "prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// The rows the preview shows; the import takes them all.
constexpr int PreviewRows = 10;
// The reasons a summary lists before it only counts the rest.
constexpr qsizetype ListedReasons = 20;

QString summaryText(const ImportSummary& summary) {
    QString text = QStringLiteral("Stored %1 accounts").arg(summary.stored.size());
    if (!summary.replaced.isEmpty())
        text += QStringLiteral(" (%1 of them replacing accounts that existed)")
                    .arg(summary.replaced.size());
    text += QStringLiteral(", skipped %1.").arg(summary.skipped.size());
    if (summary.skipped.isEmpty())
        return text;
    text += "\n\n" + summary.skipped.mid(0, ListedReasons).join('\n');
    if (summary.skipped.size() > ListedReasons)
        text += QStringLiteral("\nand %1 more").arg(summary.skipped.size() - ListedReasons);
    return text;
}
} // namespace

frmImport::frmImport(const QString& path, CsvTable table, QWidget* parent)
    : QDialog(parent), path_(path), table_(std::move(table)) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import New Customer"));
    auto* layout = new QVBoxLayout(this);
    LABEL_File = new QLabel(QStringLiteral("%1: %2 rows. Choose the field each column fills.")
                                .arg(QDir::toNativeSeparators(path_))
                                .arg(table_.rows.size()),
                            this);
    LABEL_File->setWordWrap(true);
    layout->addWidget(LABEL_File);

    const int columns = static_cast<int>(table_.header.size());
    const int shown = std::min(PreviewRows, static_cast<int>(table_.rows.size()));
    TABLE_Preview = new QTableWidget(shown + 1, columns, this);
    TABLE_Preview->setObjectName(QStringLiteral("TABLE_Preview"));
    TABLE_Preview->setHorizontalHeaderLabels(table_.header);
    TABLE_Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TABLE_Preview->setVerticalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Field")));
    const ImportMapping defaults = DefaultMapping(table_.header);
    for (int column = 0; column < columns; ++column) {
        auto* chooser = new QComboBox(TABLE_Preview);
        chooser->setObjectName(QStringLiteral("COMBO_Field(%1)").arg(column));
        for (const ImportField field : ImportFields())
            chooser->addItem(ImportFieldName(field), static_cast<int>(field));
        chooser->setCurrentIndex(chooser->findData(static_cast<int>(defaults[column])));
        TABLE_Preview->setCellWidget(0, column, chooser);
        COMBO_Field.push_back(chooser);
    }
    for (int row = 0; row < shown; ++row) {
        TABLE_Preview->setVerticalHeaderItem(row + 1,
                                             new QTableWidgetItem(QString::number(row + 2)));
        const QStringList& cells = table_.rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < columns; ++column)
            TABLE_Preview->setItem(row + 1, column, new QTableWidgetItem(cells.value(column)));
    }
    TABLE_Preview->resizeColumnsToContents();
    layout->addWidget(TABLE_Preview);

    CHECK_Replace = new QCheckBox(QStringLiteral("&Replace accounts that already exist"), this);
    CHECK_Replace->setObjectName(QStringLiteral("CHECK_Replace"));
    layout->addWidget(CHECK_Replace);
    auto* buttons = new QDialogButtonBox(this);
    CMD_Import = buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole);
    CMD_Import->setObjectName(QStringLiteral("CMD_Import"));
    CMD_Cancel = buttons->addButton(QDialogButtonBox::Cancel);
    CMD_Cancel->setObjectName(QStringLiteral("CMD_Cancel"));
    layout->addWidget(buttons);
    connect(CMD_Import, &QPushButton::clicked, this, [this] { Import(); });
    connect(CMD_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(760, 420);
}

ImportMapping frmImport::chosenMapping() const {
    ImportMapping mapping;
    for (const QComboBox* chooser : COMBO_Field)
        mapping.push_back(static_cast<ImportField>(chooser->currentData().toInt()));
    return mapping;
}

void frmImport::Import() {
    const ImportMapping mapping = chosenMapping();
    if (std::find(mapping.begin(), mapping.end(), ImportField::AccountNumber) == mapping.end()) {
        ShowMessage(this, QStringLiteral("Choose the column that holds the Account Number."),
                    QMessageBox::Warning);
        return;
    }
    std::vector<ProfileRecord> described;
    for (const QStringList& row : table_.rows)
        if (auto profile = ImportedProfile(row, mapping))
            described.push_back(std::move(profile).value());
    LoggedChange logged = LoggedChange::AccountsImported(QFileInfo(path_).fileName(), described);
    const auto imported =
        ReadFromBook<ImportSummary>(this, QStringLiteral("Error connecting to database!\n\n"), [&] {
            return ImportCustomers(table_.rows, mapping, CHECK_Replace->isChecked());
        });
    if (!imported || !imported->ok() || (*imported)->stored.isEmpty())
        logged.Dropped();
    else
        logged.Landed();
    if (!imported)
        return;
    if (!imported->ok()) {
        ShowMessage(this, QStringLiteral("Error saving to database!\n\n") + imported->error(),
                    QMessageBox::Critical);
        return;
    }
    ShowMessage(this, summaryText(**imported), QMessageBox::Information);
    accept();
}

void ImportNewCustomers(QWidget* owner) {
    const QString path =
        AskOpenFile(owner, {QStringLiteral("Import New Customer"), QString(),
                            QStringLiteral("Comma-separated files (*.csv);;All files (*)")});
    if (path.isEmpty())
        return;
    auto table = ReadCsvFile(path);
    if (!table) {
        ShowMessage(owner, table.error(), QMessageBox::Warning);
        return;
    }
    frmImport window(path, std::move(table).value(), owner);
    ShowModal(&window);
}
