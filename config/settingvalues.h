#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// Names and defaults of the values both programs read from the main settings key.
namespace setting {
inline const QString Database = QStringLiteral("Database");
inline const QString Worksheet = QStringLiteral("Worksheet");
inline const QString Message0 = QStringLiteral("Message0");
inline const QString Message1 = QStringLiteral("Message1");
inline const QString Copies = QStringLiteral("Copies");
inline const QString GUID = QStringLiteral("GUID");
inline const QString TransactionLog = QStringLiteral("TransactionLog");
inline const QString NoShow = QStringLiteral("NoShow");
inline const QString Description = QStringLiteral("Description");
inline const QString LastInvoice = QStringLiteral("LastInvoice");
inline const QString MainWindowSize = QStringLiteral("MainWindowSize");
inline const QString TaxRounding = QStringLiteral("TaxRounding");

inline const QString DefaultDatabaseName = QStringLiteral("pellory.mdb");
inline const QString DefaultWorksheetName = QStringLiteral("pellory.xls");
inline const QString DefaultMessage0 =
    QStringLiteral("Please send payment promply on or before due date.");
inline const QString DefaultMessage1 = QStringLiteral("Thank you.");
inline constexpr qint16 DefaultCopies = 2;
inline constexpr qint16 DefaultTransactionLog = 1;
} // namespace setting

// A path value of the main key, with its default in the program folder: when the configured
// file has vanished and the default exists, the default is used, and the configured path is
// handed back in `vanished` when it is given.
QString ReadPathSetting(const QString& valueName, const QString& defaultFileName,
                        QString* vanished = nullptr);

// What both programs tell the user once ReadPathSetting has fallen back from the vanished book
// to `used`; each adds what that means for its own work.
QString VanishedBookNotice(const QString& vanished, const QString& used);

// A number value of the main key as a 16-bit integer (a fraction is rounded). None when the
// stored text is not such a number, with error set to "Type mismatch" or "Overflow".
std::optional<qint16> ReadInt16Setting(const QString& valueName, qint16 defaultValue,
                                       QString& error);

// Text read from the main key; a stored number reads as its decimal text.
QString ReadTextSetting(const QString& valueName, const QString& defaultValue = QString());
