#include "onlysheetshown.h"

#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>

using namespace css;

OnlySheetShown::OnlySheetShown(const uno::Reference<sheet::XSpreadsheetDocument>& document,
                               const rtl::OUString& name) {
    uno::Reference<container::XIndexAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
        uno::Reference<beans::XPropertySet> sheet(sheets->getByIndex(i), uno::UNO_QUERY_THROW);
        if (uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName() == name)
            target_ = sheet;
        else if (sheet->getPropertyValue("IsVisible") == uno::Any(true))
            hidden_.push_back(sheet);
    }
    if (!target_.is())
        throw container::NoSuchElementException(name);
    target_->setPropertyValue("IsVisible", uno::Any(true));
    for (const auto& sheet : hidden_)
        sheet->setPropertyValue("IsVisible", uno::Any(false));
}

OnlySheetShown::~OnlySheetShown() {
    try {
        for (const auto& sheet : hidden_)
            sheet->setPropertyValue("IsVisible", uno::Any(true));
    } catch (const uno::Exception&) {
        // The office is gone; there is nothing left to restore.
    }
}
