#include "frmExport.h"

#include "bookaccess.h"
#include "bookexport.h"
#include "busypointer.h"
#include "exportworkbook.h"
#include "formats.h"
#include "prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// A blank end leaves that side of the period open; a day that cannot be read is no period.
bool readDay(QWidget* owner, const QLineEdit* field, const QString& name,
             std::optional<QDate>& day) {
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return true;
    day = ParseDate(text);
    if (!day)
        ShowMessage(owner, "The " + name + " date \"" + text + "\" is not a date.",
                    QMessageBox::Warning);
    return day.has_value();
}
} // namespace

frmExport::frmExport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Books"));
    TEXT_From = new QLineEdit(this);
    TEXT_To = new QLineEdit(this);
    for (QLineEdit* day : {TEXT_From, TEXT_To})
        day->setPlaceholderText(ShortDateFormat());
    TEXT_Folder = new QLineEdit(QDir::homePath(), this);
    CMD_Folder = new QPushButton(QStringLiteral("Choose..."), this);
    OPTION_Plain = new QRadioButton(QStringLiteral("Plain (amounts with a '.')"), this);
    OPTION_Locale = new QRadioButton(QStringLiteral("For a spreadsheet in this locale"), this);
    OPTION_Plain->setChecked(true);
    CHECK_Workbook = new QCheckBox(QStringLiteral("Also as one workbook (.ods)"), this);
    CHECK_Workbook->setChecked(true);
    CMD_Export = new QPushButton(QStringLiteral("Export"), this);
    CMD_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    CMD_Export->setDefault(true);

    auto* folder = new QHBoxLayout;
    folder->addWidget(TEXT_Folder);
    folder->addWidget(CMD_Folder);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Invoices billed from"), TEXT_From);
    form->addRow(QStringLiteral("to"), TEXT_To);
    form->addRow(QStringLiteral("Into the folder"), folder);
    form->addRow(QStringLiteral("Numbers"), OPTION_Plain);
    form->addRow(QString(), OPTION_Locale);
    form->addRow(QString(), CHECK_Workbook);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CMD_Export);
    buttons->addWidget(CMD_Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(CMD_Folder, &QPushButton::clicked, this, &frmExport::chooseFolder);
    connect(CMD_Export, &QPushButton::clicked, this, &frmExport::Export);
    connect(CMD_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmExport::chooseFolder() {
    const QString chosen = AskOpenFile(this, {.title = QStringLiteral("Export Into"),
                                              .folder = TEXT_Folder->text(),
                                              .filter = QString(),
                                              .folderOnly = true});
    if (!chosen.isEmpty())
        TEXT_Folder->setText(QDir::toNativeSeparators(chosen));
}

void frmExport::Export() {
    ExportPeriod period;
    if (!readDay(this, TEXT_From, QStringLiteral("first"), period.from) ||
        !readDay(this, TEXT_To, QStringLiteral("last"), period.to))
        return;
    if (Outcome checked = CheckPeriod(period); !checked) {
        ShowMessage(this, checked.error(), QMessageBox::Warning);
        return;
    }
    const QString folder = QDir::fromNativeSeparators(TEXT_Folder->text().trimmed());
    const auto read =
        ReadFromBook<BookExport>(this, QStringLiteral("Error connecting to database!\n\n"),
                                 [&] { return ReadBookExport(period); });
    if (!read)
        return;
    if (!read->ok()) {
        ShowMessage(this, "Nothing was exported: the book could not be read.\n\n" + read->error(),
                    QMessageBox::Critical);
        return;
    }
    BookExport book = read->value();
    book.numbers = OPTION_Locale->isChecked() ? ExportNumbers::ForLocale : ExportNumbers::Plain;
    if (Outcome written = WriteBookExport(book, folder); !written) {
        ShowMessage(this, written.error(), QMessageBox::Critical);
        return;
    }
    QString exported =
        QStringLiteral("Exported %1 accounts, %2 invoices (%3 invoice lines) and %4 balances "
                       "into %5 (%6, %7, %8, %9).")
            .arg(book.accounts.size())
            .arg(book.invoices.size())
            .arg(book.lines.size())
            .arg(book.balances.size())
            .arg(QDir::toNativeSeparators(folder), QLatin1String(AccountsFileName),
                 QLatin1String(InvoicesFileName), QLatin1String(InvoiceLinesFileName),
                 QLatin1String(BalancesFileName));
    QMessageBox::Icon icon = QMessageBox::Information;
    if (CHECK_Workbook->isChecked()) {
        WorkbookWritten workbook;
        {
            const BusyPointer busy;
            workbook = WriteExportWorkbook(ExportTables(book),
                                           QDir(folder).filePath(QLatin1String(WorkbookFileName)));
        }
        // The files are in place either way; the message says whether the workbook is too.
        if (workbook) {
            exported += QStringLiteral("\n\nThe same tables are in the workbook %1, a sheet each.")
                            .arg(QLatin1String(WorkbookFileName));
        } else {
            exported += QStringLiteral("\n\nThe workbook %1 was not written: %2.")
                            .arg(QLatin1String(WorkbookFileName), workbook.failure);
            icon = QMessageBox::Warning;
        }
    }
    ShowMessage(this, exported, icon);
    accept();
}
