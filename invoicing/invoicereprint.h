#pragma once

#include <QString>

class QWidget;

// Prints a stored invoice again on the invoice form, from what the book holds. Stores nothing
// in the book and leaves "LastInvoice" alone; the backup copy made when the invoice was
// created stays, and one is made only when it is missing. A printed reprint is logged.
void ReprintInvoice(QWidget* owner, const QString& invoiceNumber);
