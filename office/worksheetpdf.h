#pragma once

#include "officesession.h"

#include <QString>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

// Exports only the worksheet sheetName of document as a PDF file at path, through the office's
// own PDF export, page for page as it prints. The file appears whole or not at all: it is
// written beside path under a temporary name and renamed over it.
bool ExportWorksheetPdf(OfficeSession& office,
                        const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document,
                        const QString& sheetName, const QString& path);
