#pragma once

#include "invoiceplan.h"

#include <QString>

class QWidget;
struct InvoiceReprint;

// Prints a stored invoice again on the invoice form, from what the book holds. Stores nothing
// in the book and leaves "LastInvoice" alone; the backup copy made when the invoice was
// created stays, and one is made only when it is missing. A printed reprint is logged.
void ReprintInvoice(QWidget* owner, const QString& invoiceNumber);

// What a stored invoice prints, from what the book holds of it.
InvoiceCells CellsForStored(const InvoiceReprint& reprint);
