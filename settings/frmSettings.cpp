#include "frmSettings.h"

#include "announcer.h"
#include "bookchanges.h"
#include "bookmove.h"
#include "busypointer.h"
#include "events.h"
#include "filedialog.h"
#include "frmRestore.h"
#include "frmTaxRates.h"
#include "invoicelines.h"
#include "modCommand.h"
#include "modRegEdit.h"
#include "paths.h"
#include "prompts.h"
#include "settings.h"
#include "settingvalues.h"
#include "typedsettings.h"
#include "upkeep.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int CopiesMaximum = 50;

QPushButton* button(QWidget* parent, const QString& name, const QString& caption,
                    const QString& tip) {
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(name);
    pushButton->setToolTip(tip);
    pushButton->setAutoDefault(false);
    return pushButton;
}

// A path is chosen through its Select... button, so its field looks like one.
QLineEdit* pathField(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    ShowAsEntryField(field, false);
    return field;
}

QStringList entriesOf(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

bool writeSetting(const QString& name, const QVariant& value, bool asText) {
    const bool written =
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, value, asText) == 0;
    LetEventsRun();
    return written;
}
} // namespace

frmSettings::frmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Pellory Settings"));
    Toolbar1 = BuildDialogToolbar(this);
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("&Save Settings"), QStringLiteral("OK"),
                        QStringLiteral("Save Settings"),
                        style()->standardIcon(QStyle::SP_DialogSaveButton));
    connect(Toolbar1, &WindowToolbar::commandTriggered, this,
            [this](const QString& tag) { dispatchCommand(tag); });
    LABEL_Help = BuildHelpStrip(this, QStringLiteral("Changing program settings will effect all "
                                                     "records and customers from this point on."));

    auto* column = new QVBoxLayout(this);
    column->addWidget(Toolbar1);
    column->addWidget(LABEL_Help->parentWidget());
    column->addWidget(buildDatabaseFrame());
    column->addWidget(buildInvoiceFrame());
    column->addWidget(buildMiscFrame());
    column->addStretch();
    resize(560, 0);
    loadSettings();
}

QGroupBox* frmSettings::buildDatabaseFrame() {
    FRAME_Database = new QGroupBox(QStringLiteral(" Database "), this);
    auto* grid = new QGridLayout(FRAME_Database);
    // A file is chosen through Select...; a book on a server is typed as its connection URI.
    TEXT_Database = new QLineEdit(FRAME_Database);
    TEXT_Database->setObjectName(QStringLiteral("TEXT_Database"));
    TEXT_Database->setPlaceholderText(QStringLiteral("a file, or postgresql://user@host/database"));
    BUTTON_DBBrowse = button(FRAME_Database, QStringLiteral("BUTTON_DBBrowse"),
                             QStringLiteral("Select..."), QStringLiteral("Select Database"));
    connect(BUTTON_DBBrowse, &QPushButton::clicked, this, &frmSettings::browseDatabase);
    BUTTON_MoveBook =
        button(FRAME_Database, QStringLiteral("BUTTON_MoveBook"), QStringLiteral("Move Book..."),
               QStringLiteral("Copy the book to a PostgreSQL server, or from one to a new file"));
    connect(BUTTON_MoveBook, &QPushButton::clicked, this, &frmSettings::moveBook);
    BUTTON_Restore =
        button(FRAME_Database, QStringLiteral("BUTTON_Restore"), QStringLiteral("Restore..."),
               QStringLiteral("Restore the book from one of its copies in the backup folder"));
    connect(BUTTON_Restore, &QPushButton::clicked, this, [this] {
        frmRestore restoring(this);
        ShowModal(&restoring);
    });
    grid->addWidget(new QLabel(QStringLiteral("Main Database"), FRAME_Database), 0, 0, 1, 4);
    grid->addWidget(TEXT_Database, 1, 0);
    grid->addWidget(BUTTON_DBBrowse, 1, 1);
    grid->addWidget(BUTTON_MoveBook, 1, 2);
    grid->addWidget(BUTTON_Restore, 1, 3);
    return FRAME_Database;
}

QGroupBox* frmSettings::buildInvoiceFrame() {
    FRAME_Invoice = new QGroupBox(QStringLiteral(" Invoice Settings "), this);
    auto* grid = new QGridLayout(FRAME_Invoice);
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("Invoice and Report Workbook"), FRAME_Invoice), row++,
                    0, 1, 3);
    TEXT_Worksheet = pathField(FRAME_Invoice, QStringLiteral("TEXT_Worksheet"));
    BUTTON_EXBrowse = button(FRAME_Invoice, QStringLiteral("BUTTON_EXBrowse"),
                             QStringLiteral("Select..."), QStringLiteral("Select Excel File"));
    connect(BUTTON_EXBrowse, &QPushButton::clicked, this, &frmSettings::browseWorksheet);
    grid->addWidget(TEXT_Worksheet, row, 0, 1, 2);
    grid->addWidget(BUTTON_EXBrowse, row++, 2);

    grid->addWidget(new QLabel(QStringLiteral("Customer message on invoices"), FRAME_Invoice),
                    row++, 0, 1, 3);
    for (std::size_t i = 0; i < TEXT_Message.size(); ++i) {
        TEXT_Message[i] = new QLineEdit(FRAME_Invoice);
        TEXT_Message[i]->setObjectName(QStringLiteral("TEXT_Message(%1)").arg(i));
        SelectAllOnFocus(TEXT_Message[i]);
        grid->addWidget(TEXT_Message[i], row++, 0, 1, 3);
    }

    grid->addWidget(new QLabel(QStringLiteral("Unit Descriptions"), FRAME_Invoice), row++, 0, 1, 3);
    COMBO_Description = new QComboBox(FRAME_Invoice);
    COMBO_Description->setObjectName(QStringLiteral("COMBO_Description"));
    COMBO_Description->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    BUTTON_NewDescription =
        button(FRAME_Invoice, QStringLiteral("BUTTON_NewDescription"), QStringLiteral("New..."),
               QStringLiteral("Add New Unit Description"));
    BUTTON_DelDescription =
        button(FRAME_Invoice, QStringLiteral("BUTTON_DelDescription"), QStringLiteral("< Del"),
               QStringLiteral("Delete Unit Description Entry"));
    connect(BUTTON_NewDescription, &QPushButton::clicked, this, &frmSettings::newDescription);
    connect(BUTTON_DelDescription, &QPushButton::clicked, this, &frmSettings::deleteDescription);
    grid->addWidget(COMBO_Description, row, 0);
    grid->addWidget(BUTTON_DelDescription, row, 1);
    grid->addWidget(BUTTON_NewDescription, row++, 2);

    HScroll_Copies = new QScrollBar(Qt::Horizontal, FRAME_Invoice);
    HScroll_Copies->setObjectName(QStringLiteral("HScroll_Copies"));
    HScroll_Copies->setRange(0, CopiesMaximum);
    HScroll_Copies->setPageStep(5);
    LABEL_DefaultCopies = new QLabel(FRAME_Invoice);
    LABEL_DefaultCopies->setObjectName(QStringLiteral("LABEL_DefaultCopies"));
    LABEL_DefaultCopies->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000")));
    connect(HScroll_Copies, &QScrollBar::valueChanged, LABEL_DefaultCopies,
            [this](int value) { LABEL_DefaultCopies->setNum(value); });
    grid->addWidget(new QLabel(QStringLiteral("Number of copies to print:"), FRAME_Invoice), row, 0,
                    1, 3);
    grid->addWidget(LABEL_DefaultCopies, row++, 2, Qt::AlignRight);
    grid->addWidget(HScroll_Copies, row++, 0, 1, 3);

    // The rates live in the book and are saved by their own window; the rounding is a setting.
    grid->addWidget(new QLabel(QStringLiteral("Tax"), FRAME_Invoice), row++, 0, 1, 3);
    COMBO_TaxRounding = new QComboBox(FRAME_Invoice);
    COMBO_TaxRounding->setObjectName(QStringLiteral("COMBO_TaxRounding"));
    COMBO_TaxRounding->addItems({QStringLiteral("Round tax on each line"),
                                 QStringLiteral("Round tax on the invoice total")});
    BUTTON_TaxRates =
        button(FRAME_Invoice, QStringLiteral("BUTTON_TaxRates"), QStringLiteral("Tax Rates..."),
               QStringLiteral("Add, rename, change or remove the book's tax rates"));
    connect(BUTTON_TaxRates, &QPushButton::clicked, this, [this] {
        frmTaxRates rates(this);
        ShowModal(&rates);
    });
    grid->addWidget(COMBO_TaxRounding, row, 0);
    grid->addWidget(BUTTON_TaxRates, row++, 1, 1, 2);
    grid->setColumnStretch(0, 1);
    return FRAME_Invoice;
}

QGroupBox* frmSettings::buildMiscFrame() {
    FRAME_Misc = new QGroupBox(QStringLiteral(" Misc "), this);
    auto* grid = new QGridLayout(FRAME_Misc);
    CHECK_Transaction = new QCheckBox(QStringLiteral("Log All Transactions"), FRAME_Misc);
    CHECK_Transaction->setObjectName(QStringLiteral("CHECK_Transaction"));
    BUTTON_Transaction =
        button(FRAME_Misc, QStringLiteral("BUTTON_Transaction"),
               QStringLiteral("Purge Tranaction Log"), QStringLiteral("Purge Tranaction Log"));
    BUTTON_Transaction->setEnabled(false);
    connect(BUTTON_Transaction, &QPushButton::clicked, this, &frmSettings::purgeLog);
    CHECK_NoShow =
        new QCheckBox(QStringLiteral("Do not show the Tips window at startup."), FRAME_Misc);
    CHECK_NoShow->setObjectName(QStringLiteral("CHECK_NoShow"));
    grid->addWidget(CHECK_Transaction, 0, 0);
    grid->addWidget(BUTTON_Transaction, 0, 1);
    grid->addWidget(CHECK_NoShow, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return FRAME_Misc;
}

void frmSettings::loadSettings() {
    if (const auto descriptions = LoadUnitDescriptions())
        COMBO_Description->addItems(*descriptions);
    if (COMBO_Description->count() > 0)
        COMBO_Description->setCurrentIndex(0);
    const SettingsInForce& inForce = Settings();
    TEXT_Database->setText(inForce.Database);
    TEXT_Message[0]->setText(inForce.Message0);
    TEXT_Message[1]->setText(inForce.Message1);
    TEXT_Worksheet->setText(inForce.Worksheet);
    HScroll_Copies->setValue(inForce.Copies);
    LABEL_DefaultCopies->setNum(HScroll_Copies->value());
    COMBO_TaxRounding->setCurrentIndex(ReadTaxRounding() == TaxRounding::OnTotal ? 1 : 0);
    CHECK_Transaction->setChecked(inForce.TransactionLog == 1);
    if (!Announcements().listedLines().isEmpty())
        BUTTON_Transaction->setEnabled(true);
    CHECK_NoShow->setChecked(TipsHidden());
}

void frmSettings::dispatchCommand(const QString& tag) {
    if (tag == QLatin1String("OK"))
        Save();
    else
        reject();
}

void frmSettings::browseDatabase() {
    const auto answer = ShowMessage(
        this,
        QStringLiteral("WARNING: Changing the Main Database will create a new billing session. "
                       "The database selected must be preformatted according to the Pellory "
                       "design.\n\nDo you want to continue?"),
        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
        QStringLiteral("Please Confirm"));
    if (answer != QMessageBox::Yes)
        return;
    const QString path = ShowFileDialog(this, QStringLiteral("Select Database File"),
                                        QStringLiteral("Pellory Database (*.mdb)"));
    if (!path.isEmpty())
        TEXT_Database->setText(path);
}

void frmSettings::moveBook() {
    InputRequest request;
    request.prompt = QStringLiteral(
        "Move the book to: an empty PostgreSQL database (postgresql://user@host/database) for a "
        "book in a file, or a new file for a book on a server. The book itself is not changed.");
    request.title = QStringLiteral("Move Book");
    const auto target = AskInput(this, request);
    if (!target || target->trimmed().isEmpty())
        return;
    BusyPointer busy;
    const Result<BookFigures> moved = MoveBook(Settings().Database, target->trimmed());
    busy.release();
    if (moved)
        ShowMessage(this, DescribeMove(*moved, target->trimmed()), QMessageBox::Information);
    else
        ShowMessage(this, moved.error(), QMessageBox::Critical);
}

void frmSettings::browseWorksheet() {
    const QString path = ShowFileDialog(this, QStringLiteral("Select Preformatted Excel File"),
                                        QStringLiteral("Excel Files (*.xls)"));
    if (!path.isEmpty())
        TEXT_Worksheet->setText(path);
}

void frmSettings::newDescription() {
    InputRequest request;
    request.prompt = QStringLiteral("Enter a new Unit Description to be added to dropdown list.");
    request.title = QStringLiteral("Add New");
    const auto answer = AskInput(this, request);
    QStringList entries = entriesOf(COMBO_Description);
    const auto position = AddUnitDescription(entries, answer.value_or(QString()));
    if (!position)
        return;
    COMBO_Description->addItem(entries[*position]);
    COMBO_Description->setCurrentIndex(static_cast<int>(*position));
}

void frmSettings::deleteDescription() {
    if (COMBO_Description->currentIndex() >= 0)
        COMBO_Description->removeItem(COMBO_Description->currentIndex());
}

void frmSettings::purgeLog() {
    if (ShowMessage(this, QStringLiteral("Are you sure you want to purge the transaction log?"),
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QStringLiteral("Please Confirm")) != QMessageBox::Yes)
        return;
    const QString log = LogFilePath();
    const QString backupFolder = ProgramFile(QStringLiteral("backup"));
    switch (PurgeTransactionLog(log, backupFolder)) {
    case PurgeOutcome::Purged:
        Announcements().announceReload({});
        BUTTON_Transaction->setEnabled(false);
        break;
    case PurgeOutcome::CopyFailed:
        ShowMessage(this,
                    "The transaction log was not purged: its copy could not be written to " +
                        backupFolder + ". The log " + log + " is unchanged.",
                    QMessageBox::Warning);
        break;
    case PurgeOutcome::DeleteFailed:
        ShowMessage(this,
                    "The transaction log " + log + " could not be deleted; it was not purged.",
                    QMessageBox::Warning);
        break;
    }
}

void frmSettings::Save() {
    // The check and the save let events run; no click or key may start another save meanwhile.
    setEnabled(false);
    // A file that is not one of our books would leave the program with no usable database.
    const QString chosen = TEXT_Database->text();
    if (const auto problem =
            chosen != Settings().Database ? NotAPelloryBook(chosen) : std::nullopt) {
        setEnabled(true);
        ShowMessage(this, *problem + "\n\nNothing was saved.", QMessageBox::Critical);
        return;
    }
    BusyPointer busy;
    QStringList notices;
    if (!SaveUnitDescriptions(entriesOf(COMBO_Description)))
        notices << "The unit descriptions could not be saved to " +
                       QDir::toNativeSeparators(UnitDescriptionFilePath()) +
                       "; the list is as it was before.";
    if (!writeSettings())
        notices << "Some settings could not be written to " +
                       QDir::toNativeSeparators(SettingsFilePath()) +
                       "; those stay as they were stored before.";
    // A compaction that gives way to another program changes nothing and is not reported; a
    // backup copy that could not be written is, since the user counts on it.
    const BookUpkeep upkeep =
        CompactAndBackUpBook(Settings().Database, ProgramFile(QStringLiteral("backup")));
    if (upkeep.backup.value_or(0) != 0)
        notices << "The backup copy of the book in the backup folder could not be written; the "
                   "previous copy, if any, is kept.\n" +
                       upkeep.backupError;
    notices << LoadSettings();
    AnnounceBookChanged();
    busy.release();
    setEnabled(true);
    if (!notices.isEmpty())
        ShowMessage(this, "The settings were saved.\n\n" + notices.join("\n\n"),
                    QMessageBox::Warning);
    accept();
}

bool frmSettings::writeSettings() {
    bool written = true;
    written = writeSetting(setting::Database, TEXT_Database->text(), true) && written;
    written = writeSetting(setting::Message0, TEXT_Message[0]->text(), true) && written;
    written = writeSetting(setting::Message1, TEXT_Message[1]->text(), true) && written;
    written = writeSetting(setting::Description, COMBO_Description->currentText(), true) && written;
    written = writeSetting(setting::Worksheet, TEXT_Worksheet->text(), true) && written;
    written = writeSetting(setting::Copies, HScroll_Copies->value(), false) && written;
    written =
        writeSetting(setting::TransactionLog, CHECK_Transaction->isChecked() ? 1 : 0, false) &&
        written;
    written = writeSetting(setting::NoShow, CHECK_NoShow->isChecked() ? 1 : 0, false) && written;
    written = StoreTaxRounding(COMBO_TaxRounding->currentIndex() == 1 ? TaxRounding::OnTotal
                                                                      : TaxRounding::PerLine) &&
              written;
    return written;
}
