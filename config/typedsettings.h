#pragma once

#include <QString>
#include <optional>

// Values of the main settings key that the windows read and write as numbers, each parsed in
// one place. Their names and stored forms stay as both programs have always kept them.

// The highest invoice number stored so far; 0 when absent or not a number.
qlonglong ReadLastInvoice();
// Raises "LastInvoice" to number when it is higher. False when the store could not keep it.
[[nodiscard]] bool RaiseLastInvoice(double number);

// "NoShow" as stored: none when it is not a whole number.
std::optional<int> ReadNoShow();
// Whether the tips window is marked not to show at start.
bool TipsHidden();
[[nodiscard]] bool StoreTipsHidden(bool hidden);

// How the main window was left: its stored state, maximized when absent or unknown.
enum class MainWindowState { Normal = 0, Minimized = 1, Maximized = 2 };
MainWindowState ReadMainWindowState();
[[nodiscard]] bool StoreMainWindowState(MainWindowState state);

// Where invoices round their tax to the cent (book/invoicelines.h): "TaxRounding" 0 on each line,
// 1 once per rate on the invoice's total. On each line when absent or unknown.
enum class TaxRounding;
TaxRounding ReadTaxRounding();
[[nodiscard]] bool StoreTaxRounding(TaxRounding rounding);
