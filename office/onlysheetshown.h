#pragma once

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <rtl/ustring.hxx>
#include <vector>

// Hides every other sheet while it lives, since the office prints and exports all visible
// sheets. Throws NoSuchElementException when the document has no sheet of that name.
class OnlySheetShown {
  public:
    OnlySheetShown(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document,
                   const rtl::OUString& name);
    ~OnlySheetShown();
    OnlySheetShown(const OnlySheetShown&) = delete;
    OnlySheetShown& operator=(const OnlySheetShown&) = delete;

  private:
    css::uno::Reference<css::beans::XPropertySet> target_;
    std::vector<css::uno::Reference<css::beans::XPropertySet>> hidden_;
};
