#pragma once

#include <QString>

// The tags the main window's commands are dispatched on.
namespace command {
inline const QString New = QStringLiteral("New");
inline const QString Enter = QStringLiteral("Enter");
inline const QString Import = QStringLiteral("Import");
inline const QString Export = QStringLiteral("Export");
inline const QString Invoice = QStringLiteral("Invoice");
inline const QString Balance = QStringLiteral("Balance");
inline const QString Report = QStringLiteral("Report");
inline const QString Schedule = QStringLiteral("Schedule");
inline const QString Refresh = QStringLiteral("Refresh");
inline const QString Settings = QStringLiteral("Settings");
inline const QString EditAccount = QStringLiteral("EditAccount");
inline const QString CreateInvoice = QStringLiteral("CreateInvoice");
inline const QString EditInvoice = QStringLiteral("EditInvoice");
inline const QString ReprintInvoice = QStringLiteral("ReprintInvoice");
inline const QString Statements = QStringLiteral("Statements");
inline const QString PrintStatement = QStringLiteral("PrintStatement");
inline const QString SaveStatementPdf = QStringLiteral("SaveStatementPdf");
inline const QString EmailStatement = QStringLiteral("EmailStatement");
inline const QString EmailInvoice = QStringLiteral("EmailInvoice");
} // namespace command
