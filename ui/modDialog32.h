#pragma once

#include "prompts.h"

// The system print dialog: no selection, no printing to a file, no page range, starting at
// `copies`. Returns the chosen device name and copies, an empty name when cancelled.
PrinterChoice dlgShow_Printer(QWidget* owner, int copies);

// The real dialog behind the prompt seam.
PrinterChoice RunPrintDialog(QWidget* owner, int initialCopies);
