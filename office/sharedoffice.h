#pragma once

#include "officesession.h"

#include <memory>

// The office the spreadsheet layer keeps warm between jobs, lent to a job that makes a document
// of its own rather than opening a workbook.

// The warm office when it still answers, otherwise a fresh one; null when none can be started.
std::unique_ptr<OfficeSession> TakeOffice();

// Takes back an office after a job: kept warm when it did every call and holds no document,
// otherwise ended.
void ReturnOffice(std::unique_ptr<OfficeSession> office);
