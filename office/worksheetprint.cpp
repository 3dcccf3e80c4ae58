#include "worksheetprint.h"

#include "onlysheetshown.h"
#include "printers.h"
#include "unovalues.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/view/XPrintJobBroadcaster.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/implbase1.hxx>
#include <mutex>
#include <rtl/ref.hxx>

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
} // namespace

XlsPrint PrintWorksheet(OfficeSession& office,
                        const uno::Reference<sheet::XSpreadsheetDocument>& document,
                        const QString& sheetName, int copies, const QString& device) {
    // The office calls a job spooled before the scheduler may have it; only a job the queue
    // shows that it did not show before is one that prints.
    const std::optional<int> newestBefore = NewestJobId(device);
    if (!newestBefore)
        return XlsPrint::Failed;
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
    if (!done || !printerFound || !outcome->Spooled())
        return XlsPrint::Failed;
    return WaitForJobAfter(device, *newestBefore) ? XlsPrint::Queued : XlsPrint::NotQueued;
}
