#pragma once

// Rows put into a test book straight through the data layer, as the windows store them, and
// read back to see what a window stored.

#include "columns.h"
#include "modDAO.h"
#include "statements.h"

#include <QDate>
#include <QVariantMap>
#include <vector>

class TestBook {
  public:
    explicit TestBook(QString path) : path_(std::move(path)) {}

    // A profile with the fields a test cares about; the rest filled as the editor would.
    [[nodiscard]] bool addProfile(const QString& account, const QString& master,
                                  const QString& name, const QVariantMap& fields = {}) const {
        QVariantList row(col::ProfileColumnCount, QString());
        row[col::AccountNumber] = account;
        row[col::MasterAccount] = master;
        row[col::CustomerName] = name;
        row[col::InvoiceType] = 0;
        row[col::PaymentAmount] = 0.0;
        row[col::UnitPrice] = 0.0;
        row[col::BillCycle] = 0;
        row[col::Reserved] = 0;
        row[col::GraceDays] = 0;
        row[col::PayableTo] = QStringLiteral("Varnaby Services");
        row[col::BillAddress1] = QStringLiteral("1 Mill Lane");
        row[col::RecievingAddress1] = QStringLiteral("PO Box 17");
        for (auto field = fields.begin(); field != fields.end(); ++field)
            row[field.key().toInt()] = field.value();
        return append(tables::CustomerProfile, row) &&
               append(tables::Logs,
                      {account, 0.0, QString(), QDate(2026, 1, 1), QDate(2026, 1, 1)});
    }

    [[nodiscard]] bool addInvoice(const QString& invoice, const QString& account,
                                  const QVariant& received,
                                  const QVariant& check = QVariant()) const {
        return append(tables::Invoices,
                      {invoice, account, QDate(2026, 3, 5), check, QDate(2026, 3, 20), received,
                       10.0, 110.5, received.isNull() ? 0.0 : 110.5});
    }

    // False, with the reason in the test log, when the row could not be stored.
    [[nodiscard]] bool append(const char* table, const QVariantList& row) const {
        QString error;
        qint32 result = daoOpen_DBConnection(path_, error);
        if (result == 0) {
            RecordBuffer() = row;
            result = daoWrite_DBTableRecord(QLatin1String(table), error);
            daoClose_DBConnection();
        }
        if (result != 0)
            qWarning("%s", qPrintable(error));
        return result == 0;
    }

    // The rows a statement finds.
    std::vector<QVariantList> rows(const char* statement, const QVariantList& values = {}) const {
        QString error;
        std::vector<QVariantList> found;
        if (daoOpen_DBConnection(path_, error) != 0)
            return found;
        Recordset& result = SharedRecordset();
        if (daoGet_DBTableRecord(QLatin1String(statement), error, values) == 0) {
            for (result.MoveFirst(); !result.EndOfFile(); result.MoveNext()) {
                QVariantList row; // every position a row can have; past its end invalid
                for (int i = 0; i < col::ProfileColumnCount; ++i)
                    row << result.Fields(i);
                found.push_back(row);
            }
        }
        daoClose_DBConnection();
        return found;
    }

    QVariantList profile(const QString& account) const {
        const auto found = rows(sql::SelectProfile, {account});
        return found.empty() ? QVariantList() : found.front();
    }
    int profiles() const { return int(rows(sql::SelectAllProfiles).size()); }
    int invoices() const { return int(rows(sql::SelectAllInvoices).size()); }
    int balanceRows(const QString& account) const {
        return int(rows(sql::SelectBalance, {account}).size());
    }
    int invoicesOf(const QString& account) const {
        return int(rows(sql::SelectInvoicesOfAccount, {account}).size());
    }

  private:
    QString path_;
};
