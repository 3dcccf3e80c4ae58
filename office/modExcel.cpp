#include "modExcel.h"

#include "filewrites.h"
#include "officesession.h"
#include "sharedoffice.h"
#include "unovalues.h"
#include "worksheetpdf.h"
#include "worksheetprint.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/TablePageBreakData.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <optional>
#include <vector>

using namespace css;

namespace {
constexpr std::chrono::minutes OfficeIdleLimit{3};
constexpr OfficeSession::Limit WarmProbeLimit{5'000};

struct OpenWorkbook {
    std::unique_ptr<OfficeSession> office;
    uno::Reference<sheet::XSpreadsheetDocument> document;
    std::vector<uno::Reference<sheet::XSpreadsheet>> sheets;
    QString path;
};

std::optional<OpenWorkbook>& Current() {
    static std::optional<OpenWorkbook> workbook;
    return workbook;
}

rtl::OUString FileUrl(const QString& path) {
    return ToOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
}

// Hidden, and nothing in the document gets to act: no macro runs, no link is fetched.
uno::Sequence<beans::PropertyValue> LoadArguments() {
    return Properties(
        {Property("Hidden", uno::Any(true)),
         Property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
         Property("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE))});
}

// A file the office could only read as plain text is no workbook.
bool LoadedAsWorkbook(const uno::Reference<lang::XComponent>& component) {
    uno::Reference<frame::XModel> model(component, uno::UNO_QUERY);
    if (!model.is() || !uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY).is())
        return false;
    for (const beans::PropertyValue& argument : model->getArgs()) {
        if (argument.Name == "FilterName")
            return !argument.Value.get<rtl::OUString>().startsWith("Text");
    }
    return false;
}

void CloseDocument(const uno::Reference<uno::XInterface>& document) {
    uno::Reference<util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
}

// What a spreadsheet would read as the start of a formula.
bool StartsFormula(const QString& value) {
    if (value.isEmpty() || !QStringLiteral("=+-@").contains(value.front()))
        return false;
    bool number = false;
    value.toDouble(&number);
    return !number;
}

// Entered as if typed, like the spreadsheet the forms were made for: a leading apostrophe
// makes the rest text, anything else may become a number, but never a formula.
void WriteCell(const uno::Reference<table::XCell>& cell, const QString& value) {
    const auto text = [&](const QString& shown) {
        uno::Reference<text::XText>(cell, uno::UNO_QUERY_THROW)->setString(ToOUString(shown));
    };
    if (value == QStringLiteral("'"))
        text(QString()); // the office would keep a lone apostrophe as the text "'"
    else if (StartsFormula(value))
        text(value);
    else
        cell->setFormula(ToOUString(value));
}

uno::Reference<table::XCell> CellAt(const OpenWorkbook& workbook, int sheet, int row, int column) {
    return workbook.sheets.at(static_cast<std::size_t>(sheet))
        ->getCellByPosition(column - 1, row - 1);
}

void SetBoldArial(const uno::Reference<beans::XPropertySet>& properties) {
    properties->setPropertyValue("CharFontName", uno::Any(rtl::OUString("Arial")));
    properties->setPropertyValue("CharWeight", uno::Any(awt::FontWeight::BOLD));
}

bool OnCell(int sheet, int row, int column,
            const std::function<void(const uno::Reference<table::XCell>&)>& change) {
    const auto& workbook = Current();
    if (!workbook || sheet < 0 || sheet >= static_cast<int>(workbook->sheets.size()) || row < 1 ||
        column < 1)
        return false;
    return workbook->office->Call([&] { change(CellAt(*workbook, sheet, row, column)); });
}

// Saved through a scratch file beside the target, so a failure half-way leaves the old one.
bool SaveTo(OpenWorkbook& workbook, const QString& target) {
    return WriteBeside(target, [&](const QString& scratch) {
        return workbook.office->Call(
            [&] {
                uno::Reference<frame::XStorable> storable(workbook.document, uno::UNO_QUERY_THROW);
                storable->storeToURL(
                    FileUrl(scratch),
                    Properties({Property("FilterName", uno::Any(rtl::OUString("MS Excel 97"))),
                                Property("Overwrite", uno::Any(true))}));
            },
            OfficeSession::DocumentLimit);
    });
}

bool HoldsNoDocument(OfficeSession& office) {
    bool empty = false;
    return office.Call([&] {
        empty = !office.Desktop()->getComponents()->createEnumeration()->hasMoreElements();
    }) && empty;
}

// The office kept running between jobs, and the timer that ends it once unused for a while.
struct WarmOffice {
    std::unique_ptr<OfficeSession> session;
    QPointer<QTimer> idle;
};

WarmOffice& Warm() {
    static WarmOffice warm;
    return warm;
}

void KeepWarm(std::unique_ptr<OfficeSession> session) {
    WarmOffice& warm = Warm();
    warm.session = std::move(session);
    if (!warm.idle && QCoreApplication::instance()) {
        warm.idle = new QTimer(QCoreApplication::instance());
        warm.idle->setSingleShot(true);
        QObject::connect(warm.idle, &QTimer::timeout, [] { Warm().session.reset(); });
        // Ended with the application object, while it can still wait for the office to go.
        qAddPostRoutine([] { Warm().session.reset(); });
    }
    if (warm.idle && warm.session)
        warm.idle->start(OfficeIdleLimit);
}

// The warm office, once it has shown it still answers; null when there is none that does.
std::unique_ptr<OfficeSession> TakeWarmOffice() {
    std::unique_ptr<OfficeSession> session = std::move(Warm().session);
    if (Warm().idle)
        Warm().idle->stop();
    if (!session || !session->WaitUntilConnected())
        return nullptr;
    const bool answers =
        session->Call([&] { session->Desktop()->getCurrentComponent(); }, WarmProbeLimit);
    return answers ? std::move(session) : nullptr;
}

int OpenIn(std::unique_ptr<OfficeSession> office, const QString& path) {
    if (!office)
        return xlsErrOfficeUnavailable;
    OpenWorkbook workbook;
    workbook.path = path;
    workbook.office = std::move(office);
    bool isWorkbook = false;
    const bool answered = workbook.office->Call(
        [&] {
            uno::Reference<frame::XComponentLoader> loader(workbook.office->Desktop(),
                                                           uno::UNO_QUERY_THROW);
            auto component =
                loader->loadComponentFromURL(FileUrl(path), "_blank", 0, LoadArguments());
            isWorkbook = LoadedAsWorkbook(component);
            if (!isWorkbook) {
                if (component.is())
                    CloseDocument(component);
                return;
            }
            workbook.document.set(component, uno::UNO_QUERY_THROW);
            uno::Reference<container::XIndexAccess> sheets(workbook.document->getSheets(),
                                                           uno::UNO_QUERY_THROW);
            for (sal_Int32 i = 0; i < sheets->getCount(); ++i)
                workbook.sheets.emplace_back(sheets->getByIndex(i), uno::UNO_QUERY_THROW);
        },
        OfficeSession::DocumentLimit);
    if (!answered && !workbook.office->Alive())
        return xlsErrOfficeUnavailable;
    if (!answered || !isWorkbook) {
        // Only a sound office that holds nothing of the refused file is kept.
        if (workbook.office->Sound() && HoldsNoDocument(*workbook.office))
            KeepWarm(std::move(workbook.office));
        return xlsErrNotAWorkbook;
    }
    Current() = std::move(workbook);
    return 0;
}
} // namespace

std::unique_ptr<OfficeSession> TakeOffice() {
    if (std::unique_ptr<OfficeSession> warm = TakeWarmOffice())
        return warm;
    return OfficeSession::Start();
}

void ReturnOffice(std::unique_ptr<OfficeSession> office) {
    // Only an office that did every call of its job and holds no document serves the next one;
    // any other ends here, by force if it will not quit.
    if (office && office->Sound() && HoldsNoDocument(*office))
        KeepWarm(std::move(office));
}

int xlsOpen_Workbook(const QString& path) {
    // A workbook left open by an earlier job is let go unsaved.
    if (Current())
        CloseWithoutSaving();
    if (!QFileInfo(path).isFile())
        return xlsErrFileNotFound;
    // A warm office that died or hangs is let go and the job runs on a fresh one, once.
    if (std::unique_ptr<OfficeSession> warm = TakeWarmOffice()) {
        const int opened = OpenIn(std::move(warm), path);
        if (opened != xlsErrOfficeUnavailable)
            return opened;
    }
    return OpenIn(OfficeSession::Start(), path);
}

void xlsWarm_Office() {
    if (!Current() && !Warm().session)
        KeepWarm(OfficeSession::Launch());
}

void xlsEnd_Office() {
    Warm().session.reset();
}

bool xlsSet_CellValue(int sheet, int row, int column, const QString& value) {
    return OnCell(sheet, row, column,
                  [&](const uno::Reference<table::XCell>& cell) { WriteCell(cell, value); });
}

bool xlsSet_CellStyle(int sheet, int row, int column) {
    return OnCell(sheet, row, column, [](const uno::Reference<table::XCell>& cell) {
        uno::Reference<beans::XPropertySet> properties(cell, uno::UNO_QUERY_THROW);
        SetBoldArial(properties);
        table::BorderLine2 thin;
        thin.LineStyle = table::BorderLineStyle::SOLID;
        thin.LineWidth = 26; // 0.75 pt, the spreadsheet's "thin"
        thin.OuterLineWidth = 26;
        for (const char* side : {"TopBorder", "BottomBorder", "LeftBorder", "RightBorder"})
            properties->setPropertyValue(rtl::OUString::createFromAscii(side), uno::Any(thin));
    });
}

bool xlsSet_CellFont(int sheet, int row, int column) {
    return OnCell(sheet, row, column, [](const uno::Reference<table::XCell>& cell) {
        SetBoldArial(uno::Reference<beans::XPropertySet>(cell, uno::UNO_QUERY_THROW));
    });
}

bool xlsSet_CellValues(int sheet, int row, int column, const QList<QStringList>& rows) {
    const auto& workbook = Current();
    if (!workbook || sheet < 0 || sheet >= static_cast<int>(workbook->sheets.size()) || row < 1 ||
        column < 1 || rows.isEmpty() || rows.front().isEmpty())
        return false;
    const qsizetype width = rows.front().size();
    uno::Sequence<uno::Sequence<uno::Any>> data(static_cast<sal_Int32>(rows.size()));
    auto* line = data.getArray();
    for (const QStringList& values : rows) {
        if (values.size() != width)
            return false;
        line->realloc(static_cast<sal_Int32>(width));
        auto* cell = line->getArray();
        for (const QString& value : values)
            *cell++ = uno::Any(ToOUString(value.startsWith('\'') ? value.mid(1) : value));
        ++line;
    }
    // Strings handed over as data are stored as text; the office never parses them.
    return workbook->office->Call([&] {
        const auto& target = workbook->sheets.at(static_cast<std::size_t>(sheet));
        uno::Reference<sheet::XCellRangeData> range(
            target->getCellRangeByPosition(column - 1, row - 1,
                                           column - 1 + static_cast<sal_Int32>(width) - 1,
                                           row - 1 + static_cast<sal_Int32>(rows.size()) - 1),
            uno::UNO_QUERY_THROW);
        range->setDataArray(data);
    });
}

XlsPrint xlsPrint_Worksheet(const QString& sheetName, int copies, const QString& printer) {
    auto& workbook = Current();
    if (!workbook)
        return XlsPrint::Failed;
    const QString device = printer.section(QStringLiteral(" on "), 0, 0);
    return PrintWorksheet(*workbook->office, workbook->document, sheetName, copies, device);
}

bool xlsExport_WorksheetPdf(const QString& sheetName, const QString& path) {
    auto& workbook = Current();
    return workbook && ExportWorksheetPdf(*workbook->office, workbook->document, sheetName, path);
}

bool xlsSave_WorkbookCopy(const QString& path) {
    auto& workbook = Current();
    return workbook && SaveTo(*workbook, path);
}

bool xlsKeep_RowsTogether(int sheet, int firstRow, int lastRow) {
    const auto& workbook = Current();
    if (!workbook || sheet < 0 || sheet >= static_cast<int>(workbook->sheets.size()) ||
        firstRow < 1 || lastRow < firstRow)
        return false;
    return workbook->office->Call([&] {
        const auto& target = workbook->sheets.at(static_cast<std::size_t>(sheet));
        // The office lays out the pages to answer; a break's position is the row it starts.
        // Marked deprecated, yet still the only call that reports the automatic breaks.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        uno::Reference<sheet::XSheetPageBreak> pages(target, uno::UNO_QUERY_THROW);
        const auto breaks = pages->getRowPageBreaks();
#pragma GCC diagnostic pop
        for (const sheet::TablePageBreakData& pageBreak : breaks) {
            if (pageBreak.Position < firstRow || pageBreak.Position > lastRow - 1)
                continue;
            uno::Reference<table::XColumnRowRange> range(target, uno::UNO_QUERY_THROW);
            uno::Reference<beans::XPropertySet> row(range->getRows()->getByIndex(firstRow - 1),
                                                    uno::UNO_QUERY_THROW);
            row->setPropertyValue("IsStartOfNewPage", uno::Any(true));
            return;
        }
    });
}

bool xlsClose_Workbook(bool saveChanges) {
    auto& workbook = Current();
    if (!workbook)
        return !saveChanges;
    const bool saved = !saveChanges || SaveTo(*workbook, workbook->path);
    const bool closed = workbook->office->Call([&] {
        workbook->sheets.clear();
        CloseDocument(workbook->document);
        workbook->document.clear();
    });
    if (closed)
        ReturnOffice(std::move(workbook->office));
    workbook.reset();
    return saved;
}
