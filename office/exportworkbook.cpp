#include "exportworkbook.h"

#include "filewrites.h"
#include "sharedoffice.h"
#include "unovalues.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/i18n/NumberFormatIndex.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

using namespace css;

namespace {

// Day 0 of a new document's dates.
const QDate NullDate(1899, 12, 30);

uno::Reference<sheet::XSpreadsheetDocument> newDocument(OfficeSession& office) {
    uno::Reference<frame::XComponentLoader> loader(office.Desktop(), uno::UNO_QUERY_THROW);
    return {loader->loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                         Properties({Property("Hidden", uno::Any(true))})),
            uno::UNO_QUERY_THROW};
}

// Text goes over as a string, which the office stores as text without reading it, so a value
// such as "=1+1" stays those characters. An empty string is an empty cell (no value at all
// would be stored as the error #N/A).
uno::Any cellOf(ExportKind kind, const QVariant& value) {
    const uno::Any empty(rtl::OUString{});
    if (value.isNull())
        return empty;
    switch (kind) {
    case ExportKind::Text:
        return uno::Any(ToOUString(value.toString()));
    case ExportKind::Whole:
    case ExportKind::Count:
    case ExportKind::Money:
        return uno::Any(value.toDouble());
    case ExportKind::Day:
        if (!value.toDate().isValid())
            return empty;
        return uno::Any(double(NullDate.daysTo(value.toDate())));
    }
    return empty;
}

// The office's own formats in the user's locale: two decimals, and the ISO day.
struct Formats {
    sal_Int32 money = 0;
    sal_Int32 day = 0;
};

Formats formatsOf(const uno::Reference<sheet::XSpreadsheetDocument>& document) {
    uno::Reference<util::XNumberFormatsSupplier> supplier(document, uno::UNO_QUERY_THROW);
    uno::Reference<util::XNumberFormatTypes> types(supplier->getNumberFormats(),
                                                   uno::UNO_QUERY_THROW);
    const lang::Locale system; // empty: the locale the office runs in
    return {types->getFormatIndex(i18n::NumberFormatIndex::NUMBER_DEC2, system),
            types->getFormatIndex(i18n::NumberFormatIndex::DATE_DIN_YYYYMMDD, system)};
}

void fillSheet(const uno::Reference<sheet::XSpreadsheet>& sheet, const ExportTable& table,
               const Formats& formats) {
    const auto width = sal_Int32(table.columns.size());
    const auto height = sal_Int32(table.rows.size()) + 1;
    uno::Sequence<uno::Sequence<uno::Any>> data(height);
    auto* line = data.getArray();
    line->realloc(width);
    for (sal_Int32 c = 0; c < width; ++c)
        line->getArray()[c] = uno::Any(ToOUString(table.columns[std::size_t(c)].name));
    for (const QVariantList& row : table.rows) {
        (++line)->realloc(width);
        for (sal_Int32 c = 0; c < width; ++c)
            line->getArray()[c] = cellOf(table.columns[std::size_t(c)].kind, row.value(c));
    }
    uno::Reference<sheet::XCellRangeData>(
        sheet->getCellRangeByPosition(0, 0, width - 1, height - 1), uno::UNO_QUERY_THROW)
        ->setDataArray(data);

    uno::Reference<beans::XPropertySet>(sheet->getCellRangeByPosition(0, 0, width - 1, 0),
                                        uno::UNO_QUERY_THROW)
        ->setPropertyValue("CharWeight", uno::Any(awt::FontWeight::BOLD));
    for (sal_Int32 c = 0; height > 1 && c < width; ++c) {
        const ExportKind kind = table.columns[std::size_t(c)].kind;
        if (kind != ExportKind::Money && kind != ExportKind::Day)
            continue;
        uno::Reference<beans::XPropertySet>(sheet->getCellRangeByPosition(c, 1, c, height - 1),
                                            uno::UNO_QUERY_THROW)
            ->setPropertyValue("NumberFormat",
                               uno::Any(kind == ExportKind::Money ? formats.money : formats.day));
    }
    uno::Reference<table::XColumnRowRange> columns(sheet, uno::UNO_QUERY_THROW);
    uno::Reference<beans::XPropertySet>(columns->getColumns(), uno::UNO_QUERY_THROW)
        ->setPropertyValue("OptimalWidth", uno::Any(true));
}

// One sheet per table, in order, and no other.
void fill(const uno::Reference<sheet::XSpreadsheetDocument>& document,
          const std::vector<ExportTable>& tables) {
    const Formats formats = formatsOf(document);
    const uno::Reference<sheet::XSpreadsheets> sheets = document->getSheets();
    uno::Reference<container::XIndexAccess> byIndex(sheets, uno::UNO_QUERY_THROW);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        sheets->insertNewByName(ToOUString(tables[i].name), sal_Int16(i));
        fillSheet(uno::Reference<sheet::XSpreadsheet>(byIndex->getByIndex(sal_Int32(i)),
                                                      uno::UNO_QUERY_THROW),
                  tables[i], formats);
    }
    while (byIndex->getCount() > sal_Int32(tables.size())) {
        uno::Reference<container::XNamed> extra(byIndex->getByIndex(sal_Int32(tables.size())),
                                                uno::UNO_QUERY_THROW);
        sheets->removeByName(extra->getName());
    }
}

} // namespace

WorkbookWritten WriteExportWorkbook(const std::vector<ExportTable>& tables, const QString& path) {
    // The office would make a missing folder; the export only writes into one that is there.
    const QDir folder = QFileInfo(path).absoluteDir();
    if (!folder.exists())
        return {false, QStringLiteral("the folder %1 does not exist")
                           .arg(QDir::toNativeSeparators(folder.path()))};
    std::unique_ptr<OfficeSession> office = TakeOffice();
    if (!office)
        return {false, QStringLiteral("the office could not be started")};
    uno::Reference<sheet::XSpreadsheetDocument> document;
    const bool filled = office->Call(
        [&] {
            document = newDocument(*office);
            fill(document, tables);
        },
        OfficeSession::DocumentLimit);
    const bool saved =
        filled && WriteBeside(path, [&](const QString& scratch) {
            return office->Call(
                [&] {
                    uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)
                        ->storeToURL(
                            ToOUString(QUrl::fromLocalFile(scratch).toString()),
                            Properties({Property("FilterName", uno::Any(rtl::OUString("calc8"))),
                                        Property("Overwrite", uno::Any(true))}));
                },
                OfficeSession::DocumentLimit);
        });
    // The document goes whatever happened; an office that cannot close it is not kept.
    const bool closed = !document.is() || office->Call([&] {
        uno::Reference<util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
        document.clear();
    });
    if (closed)
        ReturnOffice(std::move(office));
    if (!filled)
        return {false, QStringLiteral("the office failed while filling it in")};
    if (!saved)
        return {false, QStringLiteral("the office could not save it in %1")
                           .arg(QDir::toNativeSeparators(folder.path()))};
    return {true, QString()};
}
