#pragma once

#include <QString>

// The installed printers are the CUPS destinations: device name = destination name, port =
// its device-uri.

bool IsPrinterInstalled();

// Finds the first printer, in the system's order, whose name contains deviceName
// (case-sensitive). On a match deviceName becomes the full name and the port is returned;
// otherwise empty text, and deviceName is left alone.
QString GetPrinterPort(QString& deviceName);
