#include "printers.h"

#include <cups/cups.h>

namespace {
// The destinations as CUPS lists them, freed when done.
class Destinations {
  public:
    Destinations() : count_(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Destinations() { cupsFreeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    int count() const { return count_; }
    const cups_dest_t& operator[](int i) const { return dests_[i]; }

  private:
    cups_dest_t* dests_ = nullptr;
    int count_ = 0;
};
} // namespace

bool IsPrinterInstalled() {
    return Destinations().count() > 0;
}

QString GetPrinterPort(QString& deviceName) {
    const Destinations dests;
    for (int i = 0; i < dests.count(); ++i) {
        const cups_dest_t& dest = dests[i];
        const QString name = QString::fromUtf8(dest.name);
        if (!name.contains(deviceName, Qt::CaseSensitive))
            continue;
        deviceName = name;
        return QString::fromUtf8(cupsGetOption("device-uri", dest.num_options, dest.options));
    }
    return {};
}
