#include "worksheetprint.h"

#include "unovalues.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/view/XPrintJobBroadcaster.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/implbase1.hxx>
#include <mutex>
#include <rtl/ref.hxx>
#include <vector>

using namespace css;

namespace {
// Hears how the office's print job ends.
class JobOutcome : public cppu::WeakImplHelper1<view::XPrintJobListener> {
  public:
    void SAL_CALL printJobEvent(const view::PrintJobEvent& event) override {
        const std::lock_guard lock(mutex_);
        if (event.State == view::PrintableState_JOB_SPOOLED)
            spooled_ = true;
        if (event.State == view::PrintableState_JOB_ABORTED ||
            event.State == view::PrintableState_JOB_FAILED ||
            event.State == view::PrintableState_JOB_SPOOLING_FAILED)
            failed_ = true;
    }
    void SAL_CALL disposing(const lang::EventObject&) override {}

    bool Spooled() {
        const std::lock_guard lock(mutex_);
        return spooled_ && !failed_;
    }

  private:
    std::mutex mutex_;
    bool spooled_ = false;
    bool failed_ = false;
};

// The office falls back to another printer when it does not know the one asked for.
bool PrinterIs(const uno::Reference<view::XPrintable>& printable, const rtl::OUString& device) {
    for (const beans::PropertyValue& property : printable->getPrinter()) {
        if (property.Name == "Name")
            return property.Value == uno::Any(device);
    }
    return false;
}

// Hides every other sheet while it lives, since the office prints all visible sheets.
class OnlySheetShown {
  public:
    OnlySheetShown(const uno::Reference<sheet::XSpreadsheetDocument>& document,
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
    ~OnlySheetShown() {
        try {
            for (const auto& sheet : hidden_)
                sheet->setPropertyValue("IsVisible", uno::Any(true));
        } catch (const uno::Exception&) {
            // The office is gone; there is nothing left to restore.
        }
    }
    OnlySheetShown(const OnlySheetShown&) = delete;
    OnlySheetShown& operator=(const OnlySheetShown&) = delete;

  private:
    uno::Reference<beans::XPropertySet> target_;
    std::vector<uno::Reference<beans::XPropertySet>> hidden_;
};
} // namespace

bool PrintWorksheet(OfficeSession& office,
                    const uno::Reference<sheet::XSpreadsheetDocument>& document,
                    const QString& sheetName, int copies, const QString& device) {
    const rtl::OUString deviceName = ToOUString(device);
    const rtl::Reference<JobOutcome> outcome(new JobOutcome);
    const uno::Reference<view::XPrintJobListener> listener(outcome.get());
    bool printerFound = false;
    const bool done = office.Call(
        [&] {
            uno::Reference<view::XPrintable> printable(document, uno::UNO_QUERY_THROW);
            printable->setPrinter(Properties({Property("Name", uno::Any(deviceName))}));
            printerFound = PrinterIs(printable, deviceName);
            if (!printerFound)
                return;
            const OnlySheetShown shown(document, ToOUString(sheetName));
            uno::Reference<view::XPrintJobBroadcaster> jobs(document, uno::UNO_QUERY_THROW);
            jobs->addPrintJobListener(listener);
            printable->print(
                Properties({Property("CopyCount", uno::Any(static_cast<sal_Int16>(copies))),
                            Property("Wait", uno::Any(true))}));
            jobs->removePrintJobListener(listener);
        },
        OfficeSession::DocumentLimit);
    return done && printerFound && outcome->Spooled();
}
