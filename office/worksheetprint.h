#pragma once

#include "modExcel.h"
#include "officesession.h"

#include <QString>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

// Prints only the worksheet sheetName of document, copies times in one job, on the CUPS
// queue device. Queued once that queue holds the new job.
XlsPrint PrintWorksheet(OfficeSession& office,
                        const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document,
                        const QString& sheetName, int copies, const QString& device);
