#include "csvfile.h"

#include <QFile>
#include <QStringDecoder>

namespace {
// Splits text into records of fields; none when a quoted field is never closed.
std::optional<std::vector<QStringList>> splitRecords(const QString& text) {
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoting = false; // inside a quoted field
    bool quoted = false;  // the field began with a quote
    const auto endField = [&] {
        record << field;
        field.clear();
        quoted = false;
    };
    const auto endRecord = [&] {
        const bool blankLine = record.isEmpty() && field.isEmpty() && !quoted;
        endField();
        if (!blankLine)
            records.push_back(record);
        record.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool last = i + 1 == text.size();
        if (quoting) {
            if (c != '"')
                field += c;
            else if (!last && text.at(i + 1) == '"')
                field += text.at(++i);
            else
                quoting = false;
        } else if (c == '"' && field.isEmpty() && !quoted) {
            quoting = quoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && !last && text.at(i + 1) == '\n')
                ++i;
            endRecord();
        } else {
            field += c; // a stray quote inside an unquoted field is kept as it stands
        }
    }
    if (quoting)
        return std::nullopt;
    if (!record.isEmpty() || !field.isEmpty() || quoted)
        endRecord();
    return records;
}
} // namespace

Result<CsvTable> ParseCsv(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray bom("\xEF\xBB\xBF");
    const QString text = decoder(bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes);
    if (decoder.hasError())
        return Refusal(QStringLiteral("The file is not UTF-8 text. Save it from the spreadsheet "
                                      "as \"CSV UTF-8\" and import it again."));
    auto records = splitRecords(text);
    if (!records)
        return Refusal(QStringLiteral("The file ends inside a quoted field: a closing quote is "
                                      "missing."));
    if (records->empty())
        return Refusal(QStringLiteral("The file is empty: a first row naming the columns is "
                                      "needed."));
    CsvTable table;
    table.header = records->front();
    table.rows.assign(std::make_move_iterator(records->begin() + 1),
                      std::make_move_iterator(records->end()));
    return table;
}

Result<CsvTable> ReadCsvFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refusal(
            QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()));
    return ParseCsv(file.readAll());
}
