#include "frmReport.h"

#include "bookaccess.h"
#include "busypointer.h"
#include "formats.h"
#include "invoicemail.h"
#include "modCommand.h"
#include "prompts.h"
#include "reports.h"
#include "reportsheet.h"
#include "settings.h"
#include "taxreport.h"
#include "windowkeys.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace {
const QString PrintTag = QStringLiteral("OK");
const QString TaxTag = QStringLiteral("Tax");
const QString PdfTag = QStringLiteral("Pdf");
const QString TaxPdfTag = QStringLiteral("TaxPdf");
const QString Printed = QStringLiteral("printed");
const QString Written = QStringLiteral("written");
const QString OpenFailed = QStringLiteral("Error opening main database, cannot continue.\n\n");

QLabel* buddyLabel(const QString& text, QWidget* field) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

template <typename Widget> Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
} // namespace

// A report read and laid out, ready for the sheet: what the log calls it and the file name a
// PDF of it is offered under.
struct ReportJob {
    ReportSheetPlan plan;
    QString subject;
    QString fileName;
};

frmReport::frmReport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Report"));
    buildWindow();
    // Window load.
    const QDate today = QDate::currentDate();
    COMBO_Month->setCurrentIndex(today.month() - 1);
    TEXT_Year->setText(QString::number(today.year()));
    TEXT_DateTo->setText(FormatShortDate(today));
}

void frmReport::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    Toolbar1 = BuildDialogToolbar(this);
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("&Print Report"), PrintTag, QStringLiteral("Print Report"),
                        style()->standardIcon(QStyle::SP_DialogSaveButton));
    Toolbar1->addButton(QStringLiteral("&Save as PDF..."), PdfTag,
                        QStringLiteral("Save the report as a PDF file"),
                        style()->standardIcon(QStyle::SP_FileIcon));
    // Until an account with invoices is chosen.
    for (const QString& tag : {PrintTag, PdfTag})
        Toolbar1->button(tag)->setEnabled(false);
    Toolbar1->addButton(
        QStringLiteral("Print &Tax Collected"), TaxTag,
        QStringLiteral("Print the tax billed to every account from the Date Range's "
                       "From date to its To date, by tax rate"),
        style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Toolbar1->addButton(QStringLiteral("Save Ta&x as PDF..."), TaxPdfTag,
                        QStringLiteral("Save the tax collected over the Date Range as a PDF file"),
                        style()->standardIcon(QStyle::SP_FileIcon));
    connect(Toolbar1, &WindowToolbar::commandTriggered, this, [this](const QString& tag) {
        if (tag == PrintTag)
            PrintReport();
        else if (tag == PdfTag)
            SaveReportPdf();
        else if (tag == TaxTag)
            PrintTaxCollected();
        else if (tag == TaxPdfTag)
            SaveTaxCollectedPdf();
        else
            reject();
    });
    layout->addWidget(Toolbar1);
    LABEL_Help = BuildHelpStrip(this, QStringLiteral("Choose an Account Number and a Report Type, "
                                                     "then click \"Print Report\" or \"Save as "
                                                     "PDF\"."));
    layout->addWidget(LABEL_Help->parentWidget());

    COMBO_AccountNumber = named(new QComboBox, "COMBO_AccountNumber");
    COMBO_AccountNumber->setEditable(true);
    COMBO_AccountNumber->setInsertPolicy(QComboBox::NoInsert);
    COMBO_AccountNumber->setCompleter(nullptr); // completing would run the check on a guess
    COMBO_AccountNumber->setMinimumContentsLength(20);
    LABEL_Name = named(new QLabel, "LABEL_Name");
    auto* accountRow = new QHBoxLayout;
    accountRow->addWidget(buddyLabel(QStringLiteral("Account Number"), COMBO_AccountNumber));
    accountRow->addWidget(COMBO_AccountNumber);
    accountRow->addWidget(LABEL_Name, 1);
    layout->addLayout(accountRow);
    layout->addWidget(buildReportTypeFrame());
    layout->addWidget(buildLinkedChoice());
    layout->addStretch();
    watchAccountBox();
}

QWidget* frmReport::buildReportTypeFrame() {
    FRAME_ReportType =
        named(new QGroupBox(QStringLiteral(" Report Type "), this), "FRAME_ReportType");
    auto* grid = new QGridLayout(FRAME_ReportType);
    OPTION_Report[2] = named(new QRadioButton(QStringLiteral("&Date Range Summary Report (M/D/Y)")),
                             "OPTION_Report2");
    OPTION_Report[1] =
        named(new QRadioButton(QStringLiteral("&Monthly Summary Report")), "OPTION_Report1");
    OPTION_Report[0] =
        named(new QRadioButton(QStringLiteral("&Year To Date Summary Report")), "OPTION_Report0");
    TEXT_DateFrom = named(new QLineEdit, "TEXT_DateFrom");
    TEXT_DateTo = named(new QLineEdit, "TEXT_DateTo");
    COMBO_Month = named(new QComboBox, "COMBO_Month");
    COMBO_Month->addItems({"January", "February", "March", "April", "May", "June", "July", "August",
                           "September", "October", "November", "December"});
    TEXT_Year = named(new QLineEdit, "TEXT_Year");
    TEXT_Year->setMaxLength(4);
    for (QLineEdit* field : {TEXT_Year, TEXT_DateFrom, TEXT_DateTo})
        SelectAllOnFocus(field);

    grid->addWidget(OPTION_Report[2], 0, 0);
    grid->addWidget(buddyLabel(QStringLiteral("From:"), TEXT_DateFrom), 0, 1);
    grid->addWidget(TEXT_DateFrom, 0, 2);
    grid->addWidget(buddyLabel(QStringLiteral("To:"), TEXT_DateTo), 0, 3);
    grid->addWidget(TEXT_DateTo, 0, 4);
    grid->addWidget(OPTION_Report[1], 1, 0);
    grid->addWidget(buddyLabel(QStringLiteral("Month:"), COMBO_Month), 1, 1);
    grid->addWidget(COMBO_Month, 1, 2);
    grid->addWidget(buddyLabel(QStringLiteral("Year:"), TEXT_Year), 1, 3);
    grid->addWidget(TEXT_Year, 1, 4);
    grid->addWidget(OPTION_Report[0], 2, 0);
    OPTION_Report[1]->setChecked(true);
    return FRAME_ReportType;
}

QWidget* frmReport::buildLinkedChoice() {
    auto* choice = new QWidget(this);
    auto* column = new QVBoxLayout(choice);
    column->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(choice);
    OPTION_Linked[2] = named(new QRadioButton(QStringLiteral("&Only report the account specified")),
                             "OPTION_Linked2");
    OPTION_Linked[1] =
        named(new QRadioButton(QStringLiteral("Only report &Linked accounts (if any)")),
              "OPTION_Linked1");
    OPTION_Linked[0] =
        named(new QRadioButton(QStringLiteral("&Include all Linked accounts (if any)")),
              "OPTION_Linked0");
    for (QRadioButton* option : {OPTION_Linked[2], OPTION_Linked[1], OPTION_Linked[0]}) {
        group->addButton(option);
        column->addWidget(option);
    }
    OPTION_Linked[0]->setChecked(true);
    return choice;
}

// The account is checked once the user has settled on it: chosen from the list, typed out to
// an existing number, confirmed with Enter, or left. Checking every keystroke would stop the
// typing of "1001" at "1" with a message that there is nothing to report.
void frmReport::watchAccountBox() {
    connect(COMBO_AccountNumber, &QComboBox::activated, this,
            [this](int index) { checkAccount(COMBO_AccountNumber->itemText(index)); });
    connect(COMBO_AccountNumber, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (COMBO_AccountNumber->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
            checkAccount(text);
    });
    connect(COMBO_AccountNumber->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { checkAccount(COMBO_AccountNumber->currentText()); });
    // The box, not its line edit, has the focus: the line edit hands it to the box as its
    // focus proxy and only hears of focus changes by a direct call, past any filter.
    COMBO_AccountNumber->installEventFilter(this);
}

bool frmReport::eventFilter(QObject* watched, QEvent* event) {
    // Only a move to another field counts as leaving: not a message box or another window.
    if (watched == COMBO_AccountNumber && event->type() == QEvent::FocusOut && isVisible()) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkAccount(COMBO_AccountNumber->currentText());
    }
    return QDialog::eventFilter(watched, event);
}

void frmReport::checkAccount(const QString& accountNumber) {
    if (FillingAccounts || working_ || accountNumber.isEmpty() || accountNumber == checkedAccount_)
        return;
    LoadReportAccount(accountNumber);
}

void frmReport::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadOnFirstShow(this, Activated, [this] {
        if (!Tag.isEmpty()) {
            FillingAccounts = true;
            COMBO_AccountNumber->addItem(Tag);
            FillingAccounts = false;
        }
        LoadReportAccount(Tag);
    });
}

void frmReport::LoadReportAccount(const QString& accountNumber) {
    const QScopedValueRollback working(working_, true);
    if (accountNumber.isEmpty()) {
        const auto accounts = ReadAccountList(this, OpenFailed);
        if (!accounts) {
            QDialog::reject();
            return;
        }
        FillingAccounts = true;
        COMBO_AccountNumber->clear();
        COMBO_AccountNumber->addItems(*accounts);
        COMBO_AccountNumber->setCurrentIndex(-1);
        FillingAccounts = false;
        return;
    }
    const auto check = ReadFromBook<ReportAccountCheck>(
        this, OpenFailed, [&] { return CheckReportAccount(accountNumber); });
    if (!check) {
        QDialog::reject();
        return;
    }
    checkedAccount_ = accountNumber;
    if (!check->ok()) {
        // Whether it has invoices is not known: nothing to print from, and no "no activity".
        for (const QString& tag : {PrintTag, PdfTag})
            Toolbar1->button(tag)->setEnabled(false);
        ShowIncompleteRead(this, "Account " + accountNumber, check->failure());
        return;
    }
    if (check->value().profileFound)
        LABEL_Name->setText("< " + check->value().name);
    const bool hasInvoices = check->value().hasInvoices;
    for (const QString& tag : {PrintTag, PdfTag})
        Toolbar1->button(tag)->setEnabled(hasInvoices);
    if (!hasInvoices)
        ShowMessage(this,
                    QStringLiteral("There is no activity for the account specified (no invoices)."),
                    QMessageBox::Warning, QMessageBox::Ok, QStringLiteral("Nothing to Report"));
}

bool frmReport::ValidateReportInput() {
    return !OPTION_Report[2]->isChecked() || validateDateRange();
}

bool frmReport::validateDateRange() {
    const auto refuse = [this](QLineEdit* field, const QString& message) {
        ShowMessage(this, message, QMessageBox::Warning);
        field->setFocus();
        return false;
    };
    if (!IsDate(TEXT_DateFrom->text()))
        return refuse(TEXT_DateFrom,
                      QStringLiteral("An invalid Date From was entered, please correct."));
    if (!IsDate(TEXT_DateTo->text()))
        return refuse(TEXT_DateTo,
                      QStringLiteral("An invalid Date To was entered, please correct."));
    return true;
}

ReportRequest frmReport::request() const {
    ReportRequest wanted;
    wanted.account = COMBO_AccountNumber->currentText();
    ReportPeriod& period = wanted.period;
    period.type = OPTION_Report[0]->isChecked()   ? ReportType::YearToDate
                  : OPTION_Report[1]->isChecked() ? ReportType::Monthly
                                                  : ReportType::DateRange;
    period.month = COMBO_Month->currentIndex() + 1;
    period.monthName = COMBO_Month->currentText();
    period.year = TEXT_Year->text();
    period.from = TEXT_DateFrom->text();
    period.to = TEXT_DateTo->text();
    period.today = QDate::currentDate();
    wanted.accounts = OPTION_Linked[2]->isChecked()   ? ReportedAccounts::OnlyChosen
                      : OPTION_Linked[1]->isChecked() ? ReportedAccounts::OnlyLinked
                                                      : ReportedAccounts::ChosenAndLinked;
    return wanted;
}

bool frmReport::reportReady() {
    if (working_ || !ValidateReportInput())
        return false;
    // A number typed but not yet checked is checked now, as if the user had left the box.
    checkAccount(COMBO_AccountNumber->currentText());
    return isVisible() && Toolbar1->button(PrintTag)->isEnabled() &&
           !COMBO_AccountNumber->currentText().isEmpty();
}

std::optional<ReportJob> frmReport::readReport(const QString& done) {
    const ReportRequest wanted = request();
    const auto read = ReadFromBook<Report>(this, OpenFailed, [&] { return ReadReport(wanted); });
    if (!read)
        return std::nullopt;
    if (!read->ok()) {
        // A report that leaves out what could not be read would show totals that are short.
        ShowMessage(this,
                    "The report could not be read from the database; nothing was " + done +
                        ".\n\n" + read->error(),
                    QMessageBox::Critical);
        return std::nullopt;
    }
    const QString account = read->value().account;
    return ReportJob{PlanReportSheet(read->value()), "summary report for account# " + account,
                     PdfFileName({QStringLiteral("Report"), account})};
}

std::optional<std::pair<QDate, QDate>> frmReport::taxRange() {
    if (working_ || !validateDateRange())
        return std::nullopt;
    const QDate from = *ParseDate(TEXT_DateFrom->text());
    const QDate to = *ParseDate(TEXT_DateTo->text());
    if (from > to) {
        ShowMessage(this, QStringLiteral("The Date From is after the Date To, please correct."),
                    QMessageBox::Warning);
        TEXT_DateFrom->setFocus();
        return std::nullopt;
    }
    return std::pair{from, to};
}

std::optional<ReportJob> frmReport::readTaxCollected(const std::pair<QDate, QDate>& range,
                                                     const QString& done) {
    const auto [from, to] = range;
    const auto read =
        ReadFromBook<TaxCollected>(this, OpenFailed, [&] { return ReadTaxCollected(from, to); });
    if (!read)
        return std::nullopt;
    if (!read->ok()) {
        ShowMessage(this,
                    "The tax collected could not be read from the database; nothing was " + done +
                        ".\n\n" + read->error(),
                    QMessageBox::Critical);
        return std::nullopt;
    }
    return ReportJob{PlanTaxCollectedSheet(read->value()),
                     "tax collected report from " + FormatShortDate(from) + " to " +
                         FormatShortDate(to),
                     PdfFileName({QStringLiteral("Tax collected"), from.toString(Qt::ISODate),
                                  QStringLiteral("to"), to.toString(Qt::ISODate)})};
}

void frmReport::PrintReport() {
    if (!reportReady())
        return;
    const QScopedValueRollback working(working_, true);
    if (const auto job = readReport(Printed))
        printOnReportSheet(*job);
}

void frmReport::SaveReportPdf() {
    if (!reportReady())
        return;
    const QScopedValueRollback working(working_, true);
    if (const auto job = readReport(Written))
        saveAsPdf(*job);
}

void frmReport::PrintTaxCollected() {
    const auto range = taxRange();
    if (!range)
        return;
    const QScopedValueRollback working(working_, true);
    if (const auto job = readTaxCollected(*range, Printed))
        printOnReportSheet(*job);
}

void frmReport::SaveTaxCollectedPdf() {
    const auto range = taxRange();
    if (!range)
        return;
    const QScopedValueRollback working(working_, true);
    if (const auto job = readTaxCollected(*range, Written))
        saveAsPdf(*job);
}

bool frmReport::fillSheet(ReportSheet& sheet, const ReportSheetPlan& plan, const QString& done) {
    if (!sheet.open())
        return false;
    if (sheet.write(plan))
        return true;
    ShowMessage(this,
                "Error writing the report into excel worksheet [Sheet2]; nothing was " + done + ".",
                QMessageBox::Critical);
    return false;
}

void frmReport::printOnReportSheet(const ReportJob& job) {
    BusyPointer busy;
    ReportSheet sheet(this);
    if (!fillSheet(sheet, job.plan, Printed) || sheet.print() != SheetPrint::Printed)
        return;
    PauseAfterPrinting();
    sheet.close();
    LogTransaction("Created " + job.subject);
    busy.release();
    ShowMessage(this, QStringLiteral("The report has been created and sent to printer."),
                QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Report Complete"));
}

void frmReport::saveAsPdf(const ReportJob& job) {
    QString path = AskSaveFile(this, {.title = QStringLiteral("Save Report as PDF"),
                                      .folder = QDir::home().filePath(job.fileName),
                                      .filter = QStringLiteral("PDF files (*.pdf)")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    BusyPointer busy;
    ReportSheet sheet(this, QStringLiteral("Nothing was written."));
    if (!fillSheet(sheet, job.plan, Written) || !sheet.exportPdf(path))
        return;
    sheet.close();
    LogTransaction("Saved " + job.subject + " as PDF");
    busy.release();
    ShowMessage(this, "The report has been saved as " + QDir::toNativeSeparators(path) + ".",
                QMessageBox::Information, QMessageBox::Ok, QStringLiteral("Report Complete"));
}

// Work under way finishes first: its connection or workbook is in use.
void frmReport::reject() {
    if (!working_)
        QDialog::reject();
}
