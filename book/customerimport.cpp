#include "customerimport.h"

#include "accounts.h"
#include "bookwork.h"
#include "columns.h"
#include "formats.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <utility>

using namespace bookwork;

namespace {
// Each field's heading, then other headings that name it, separated by "|".
const std::pair<ImportField, const char*> Headings[] = {
    {ImportField::None, "(not imported)"},
    {ImportField::AccountNumber, "Account Number|Account|Account No"},
    {ImportField::MasterAccount, "Master Account|Master|Master Account Number"},
    {ImportField::CustomerName, "Customer Name|Name"},
    {ImportField::Email, "Email|Email Address"},
    {ImportField::Phone, "Phone|Phone Number|Telephone"},
    {ImportField::Address1, "Address 1|Address"},
    {ImportField::Address2, "Address 2"},
    {ImportField::Address3, "Address 3"},
    {ImportField::Address4, "Address 4"},
    {ImportField::BusinessClass, "Business Class|Class"},
    {ImportField::Comments, "Comments|Comment|Notes"},
    {ImportField::InvoiceType, "Invoice Type"},
    {ImportField::PaymentAmount, "Payment Amount|Payment"},
    {ImportField::UnitPrice, "Unit Price|Price"},
    {ImportField::PayableTo, "Payable To|Check Payable To"},
    {ImportField::BillAddress1, "Bill Address 1|Billing Address 1|Bill Address|Billing Address"},
    {ImportField::BillAddress2, "Bill Address 2|Billing Address 2"},
    {ImportField::BillAddress3, "Bill Address 3|Billing Address 3"},
    {ImportField::BillAddress4, "Bill Address 4|Billing Address 4"},
    {ImportField::BillCycle, "Bill Cycle|Billing Cycle"},
    {ImportField::MonthDay, "Month Day"},
    {ImportField::GraceDays, "Grace Days"},
    {ImportField::RecievingAddress1,
     "Receiving Address 1|Recieving Address 1|Receiving Address|Recieving Address"},
    {ImportField::RecievingAddress2, "Receiving Address 2|Recieving Address 2"},
    {ImportField::RecievingAddress3, "Receiving Address 3|Recieving Address 3"},
    {ImportField::RecievingAddress4, "Receiving Address 4|Recieving Address 4"},
};

// A heading with case, spaces and punctuation set aside.
QString normalized(const QString& heading) {
    QString letters;
    for (const QChar c : heading)
        if (c.isLetterOrNumber())
            letters += c.toLower();
    return letters;
}

QStringList headingsOf(ImportField field) {
    const auto* found = std::find_if(std::begin(Headings), std::end(Headings),
                                     [&](const auto& heading) { return heading.first == field; });
    return QString::fromLatin1(found->second).split('|');
}

// A whole number from 0 to maximum, blank being 0; none for anything else.
std::optional<int> choiceOf(const QString& text, int maximum) {
    if (text.trimmed().isEmpty())
        return 0;
    const auto number = ParseNumber(text);
    if (!number || *number != std::floor(*number) || *number < 0 || *number > maximum)
        return std::nullopt;
    return static_cast<int>(*number);
}

// An amount as stored: formatted when it is a number, otherwise as typed (the column refuses it).
QVariant amountOf(const QString& text) {
    if (text.trimmed().isEmpty())
        return FormatMoney(0.0);
    const auto amount = ParseNumber(text);
    return amount ? QVariant(FormatMoney(*amount)) : QVariant(text);
}

// A row on its way into the book.
struct Candidate {
    int row = 0;
    ProfileRecord profile;
    bool replacing = false;
};
} // namespace

Result<ProfileRecord> ImportedProfile(const QStringList& row, const ImportMapping& mapping) {
    ProfileRecord p;
    QString problem;
    p.MonthDay = QStringLiteral("15");
    QString master;
    const auto choose = [&](int& target, const QString& text, int maximum, const char* name) {
        const auto chosen = choiceOf(text, maximum);
        if (chosen)
            target = *chosen;
        else if (problem.isEmpty())
            problem = QStringLiteral("The %1 must be a whole number from 0 to %2, not \"%3\".")
                          .arg(QLatin1String(name))
                          .arg(maximum)
                          .arg(text);
    };
    for (std::size_t column = 0; column < mapping.size(); ++column) {
        const QString text = row.value(static_cast<qsizetype>(column));
        const auto line = [&](ImportField first) {
            return static_cast<std::size_t>(mapping[column]) - static_cast<std::size_t>(first);
        };
        switch (mapping[column]) {
        case ImportField::None:
            break;
        case ImportField::AccountNumber:
            p.AccountNumber = text;
            break;
        case ImportField::MasterAccount:
            master = text.trimmed();
            break;
        case ImportField::CustomerName:
            p.CustomerName = text;
            break;
        case ImportField::Email:
            p.Email = text;
            break;
        case ImportField::Phone:
            p.Phone = text;
            break;
        case ImportField::Address1:
        case ImportField::Address2:
        case ImportField::Address3:
        case ImportField::Address4:
            p.Address[line(ImportField::Address1)] = text;
            break;
        case ImportField::BusinessClass:
            p.BusinessClass = text;
            break;
        case ImportField::Comments:
            p.Comments = text;
            break;
        case ImportField::InvoiceType:
            choose(p.InvoiceType, text, 2, "Invoice Type");
            break;
        case ImportField::PaymentAmount:
            p.PaymentAmount = amountOf(text);
            break;
        case ImportField::UnitPrice:
            p.UnitPrice = amountOf(text);
            break;
        case ImportField::PayableTo:
            p.PayableTo = text;
            break;
        case ImportField::BillAddress1:
        case ImportField::BillAddress2:
        case ImportField::BillAddress3:
        case ImportField::BillAddress4:
            p.BillAddress[line(ImportField::BillAddress1)] = text;
            break;
        case ImportField::BillCycle:
            choose(p.BillCycle, text, 1, "Bill Cycle");
            break;
        case ImportField::MonthDay:
            if (!text.trimmed().isEmpty())
                p.MonthDay = text;
            break;
        case ImportField::GraceDays:
            choose(p.GraceDays, text, GraceDaysMaximum, "Grace Days");
            break;
        case ImportField::RecievingAddress1:
        case ImportField::RecievingAddress2:
        case ImportField::RecievingAddress3:
        case ImportField::RecievingAddress4:
            p.RecievingAddress[line(ImportField::RecievingAddress1)] = text;
            break;
        }
    }
    if (!p.PaymentAmount.isValid())
        p.PaymentAmount = amountOf(QString());
    if (!p.UnitPrice.isValid())
        p.UnitPrice = amountOf(QString());
    p.MasterAccount = master.isEmpty() ? QString::fromLatin1(MasterMarker) : master;
    if (const auto checked = CheckProfile(p))
        problem = checked->message;
    if (!problem.isEmpty())
        return Refusal(problem);
    p.AccountNumber = p.AccountNumber.trimmed();
    return p;
}

const std::vector<ImportField>& ImportFields() {
    static const std::vector<ImportField> fields = [] {
        std::vector<ImportField> all;
        for (const auto& heading : Headings)
            all.push_back(heading.first);
        return all;
    }();
    return fields;
}

QString ImportFieldName(ImportField field) {
    return headingsOf(field).front();
}

ImportMapping DefaultMapping(const QStringList& header) {
    QHash<QString, ImportField> named;
    for (const ImportField field : ImportFields())
        if (field != ImportField::None)
            for (const QString& heading : headingsOf(field))
                named.insert(normalized(heading), field);
    ImportMapping mapping;
    QSet<ImportField> taken;
    for (const QString& heading : header) {
        const ImportField field = named.value(normalized(heading), ImportField::None);
        mapping.push_back(taken.contains(field) ? ImportField::None : field);
        if (field != ImportField::None)
            taken.insert(field);
    }
    return mapping;
}

Result<ImportSummary> ImportCustomers(const std::vector<QStringList>& rows,
                                      const ImportMapping& mapping, bool replaceDuplicates) {
    ImportSummary summary;
    std::vector<std::pair<int, QString>> skipped;
    const Outcome imported = InTransaction([&]() -> Outcome {
        std::vector<Candidate> masters;
        std::vector<Candidate> linked;
        QSet<QString> earlier;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int number = static_cast<int>(i) + 2;
            auto profile = ImportedProfile(rows[i], mapping);
            if (!profile) {
                skipped.emplace_back(number, profile.error());
                continue;
            }
            Candidate candidate{number, std::move(profile).value()};
            const ProfileRecord& p = candidate.profile;
            if (earlier.contains(p.AccountNumber)) {
                skipped.emplace_back(candidate.row, QStringLiteral("Account %1 is in an earlier "
                                                                   "row of the file.")
                                                        .arg(p.AccountNumber));
                continue;
            }
            const auto exists = AccountExists(p.AccountNumber);
            if (!exists)
                return exists.failure();
            if (*exists && !replaceDuplicates) {
                skipped.emplace_back(
                    candidate.row,
                    QStringLiteral("Account %1 already exists.").arg(p.AccountNumber));
                continue;
            }
            earlier.insert(p.AccountNumber);
            candidate.replacing = *exists;
            (p.IsMaster() ? masters : linked).push_back(std::move(candidate));
        }

        // A linked account needs its master stored first: one of the book's or of this file's.
        QSet<QString> knownMasters;
        for (const Candidate& master : masters)
            knownMasters.insert(master.profile.AccountNumber);
        std::vector<Candidate> accepted = std::move(masters);
        for (Candidate& candidate : linked) {
            const QString& master = candidate.profile.MasterAccount;
            if (!knownMasters.contains(master)) {
                const auto stored = ReadProfile(master);
                if (!stored)
                    return stored.failure();
                if (stored->has_value() && (*stored)->IsMaster())
                    knownMasters.insert(master);
            }
            if (knownMasters.contains(master))
                accepted.push_back(std::move(candidate));
            else
                skipped.emplace_back(candidate.row,
                                     QStringLiteral("The master account %1 is neither a master "
                                                    "account in the book nor one in the file.")
                                         .arg(master));
        }

        for (const Candidate& candidate : accepted) {
            const ProfileRecord& p = candidate.profile;
            const auto stored = StoreAccount(p, candidate.replacing ? p.AccountNumber : QString());
            const QString where =
                QStringLiteral("Row %1 (account %2): ").arg(candidate.row).arg(p.AccountNumber);
            if (!stored)
                return BookFailure{stored.code(), where + stored.error()};
            if (*stored == AccountSave::Duplicate)
                return Refusal(where + QStringLiteral("another desk took the account number "
                                                      "meanwhile."));
            summary.stored << p.AccountNumber;
            if (candidate.replacing)
                summary.replaced << p.AccountNumber;
        }
        return Done{};
    });
    if (!imported)
        return BookFailure{imported.code(),
                           QStringLiteral("Nothing was imported.\n\n") + imported.error()};
    std::stable_sort(skipped.begin(), skipped.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [row, reason] : skipped)
        summary.skipped << QStringLiteral("Row %1: %2").arg(row).arg(reason);
    return summary;
}
