#include "worksheetpdf.h"

#include "filewrites.h"
#include "onlysheetshown.h"
#include "unovalues.h"

#include <QUrl>
#include <com/sun/star/frame/XStorable.hpp>

using namespace css;

bool ExportWorksheetPdf(OfficeSession& office,
                        const uno::Reference<sheet::XSpreadsheetDocument>& document,
                        const QString& sheetName, const QString& path) {
    return WriteBeside(path, [&](const QString& scratch) {
        return office.Call(
            [&] {
                const OnlySheetShown shown(document, ToOUString(sheetName));
                uno::Reference<frame::XStorable> storable(document, uno::UNO_QUERY_THROW);
                storable->storeToURL(
                    ToOUString(QUrl::fromLocalFile(scratch).toString()),
                    Properties({Property("FilterName", uno::Any(rtl::OUString("calc_pdf_Export"))),
                                Property("Overwrite", uno::Any(true))}));
            },
            OfficeSession::DocumentLimit);
    });
}
