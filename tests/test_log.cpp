// The transaction log, the unit-description list, and how money and dates are shown and read.
#include "announcer.h"
#include "booktesting.h"
#include "formats.h"
#include "modCommand.h"
#include "modDAO.h"
#include "prompts.h"
#include "settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace {
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray digest(const QString& path) {
    return QCryptographicHash::hash(contents(path), QCryptographicHash::Sha256);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class LogTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        folder = std::make_unique<ProgramFolderFixture>();
        QVERIFY(LoadSettings().isEmpty());
        // What a listening window would show: lines as announced, replaced on a reload.
        list.clear();
        Announcer& announcer = Announcements();
        connect(&announcer, &Announcer::lineLogged, this,
                [this](const QString& line) { list << line; });
        connect(&announcer, &Announcer::logReloaded, this,
                [this](const QStringList& lines) { list = lines; });
        warnings.clear();
        Prompts().message = [this](QWidget*, const MessageRequest& request) {
            warnings << request.text;
            return QMessageBox::Ok;
        };
    }
    void cleanup() {
        ResetPromptSeam();
        Announcements().disconnect(this);
        folder.reset();
    }

    void logLinesGoToListAndFile() {
        QCOMPARE(LogFilePath(), folder->file("pellory.log"));
        LogTransaction("Added account# 1001");
        LogTransaction("Created invoice# 0000001, billed$ 125.00");
        QCOMPARE(list.size(), 2);
        QVERIFY(list[0].endsWith(", Added account# 1001"));
        QVERIFY(list[0].startsWith(FormatShortDate(QDate::currentDate()) + ' '));
        const QList<QByteArray> lines = contents(LogFilePath()).split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(", Added account# 1001\r"));
        QVERIFY(lines[1].endsWith(", Created invoice# 0000001, billed$ 125.00\r"));
    }

    void loggingOffWritesNothing() {
        Settings().TransactionLog = 0;
        LogTransaction("Added account# 1001");
        QCOMPARE(list.size(), 0);
        QVERIFY(!QFile::exists(LogFilePath()));
    }

    void reloadSkipsEmptyLinesAndSelectsTheLast() {
        list << "stale";
        LogTransaction(QString());
        QCOMPARE(list.size(), 0); // no log yet
        QVERIFY(writeFile(LogFilePath(), "one\r\n\r\ntwo\r\n\r\n"));
        LogTransaction(QString());
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[1], QString("two"));
    }

    void unwritableLogIsToldOnceAndNothingShownAsLogged() {
        QVERIFY(QDir().mkpath(LogFilePath())); // a folder where the file should be
        LogTransaction("Deleted account# 7");
        LogTransaction("Deleted account# 8");
        QCOMPARE(list.size(), 0);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith("WARNING: The transaction log " + LogFilePath() +
                                        " cannot be written"),
                 qPrintable(warnings[0]));
        QVERIFY(warnings[0].contains(", Deleted account# 7"));

        // A full disk takes the line at open and refuses it when it is flushed.
        Settings().Database = folder->file("full.mdb");
        QVERIFY(QFile::link("/dev/full", folder->file("full.log")));
        LogTransaction("Deleted account# 9");
        QCOMPARE(list.size(), 0);
        QCOMPARE(warnings.size(), 2);
        QVERIFY(warnings[1].contains(folder->file("full.log")));
    }

    void logFollowsTheDatabaseAndNeverWritesIntoIt() {
        Settings().Database = folder->file("other.mdb");
        LogTransaction("Added account# 2");
        QVERIFY(QFile::exists(folder->file("other.log")));

        QVERIFY(QDir().mkpath(folder->file("books.2026")));
        for (const auto& [book, log] : {std::pair{"books.2026/ledger", "books.2026/ledger.log"},
                                        {"books.2026/ledger.sqlite", "books.2026/ledger.log"},
                                        {"books.2026/.ledger", "books.2026/.ledger.log"}}) {
            Settings().Database = folder->file(book);
            QCOMPARE(LogFilePath(), folder->file(log));
        }

        // A book named like a log keeps its log lines out of the database file.
        const QString book = folder->file("x.log");
        QVERIFY(QFile::copy(folder->database(), book));
        const QByteArray before = digest(book);
        Settings().Database = book;
        QCOMPARE(LogFilePath(), book + ".log");
        LogTransaction("Added account# 3");
        QCOMPARE(digest(book), before);
        QString error;
        QCOMPARE(daoOpen_DBConnection(book, error), 0);
        daoClose_DBConnection();
    }

    void aLineBreakCannotForgeAnEntry() {
        LogTransaction("Added account# 1\r\n1/1/2026 9:00:00 AM, Deleted account# 9\nX\u2028Y");
        QCOMPARE(list.size(), 1);
        QVERIFY2(list[0].endsWith(", Added account# 1 1/1/2026 9:00:00 AM, Deleted account# 9 X Y"),
                 qPrintable(list[0]));
        QCOMPARE(contents(LogFilePath()).count('\n'), 1);
        LogTransaction(QString());
        QCOMPARE(list.size(), 1);
    }

    void unitDescriptionsRoundTrip() {
        QVERIFY(SaveUnitDescriptions({"Hours", "Visits, on site", "Days"}));
        QCOMPARE(contents(folder->file("pellory.des")),
                 QByteArray("Hours\r\nVisits, on site\r\nDays\r\n"));
        QCOMPARE(LoadUnitDescriptions(), QStringList({"Hours", "Visits, on site", "Days"}));

        QVERIFY(SaveUnitDescriptions({}));
        QVERIFY(!QFile::exists(folder->file("pellory.des")));
        QCOMPARE(LoadUnitDescriptions(), std::nullopt);

        // A list that cannot be written says so.
        QVERIFY(QDir().mkpath(folder->file("pellory.des")));
        QVERIFY(!SaveUnitDescriptions({"Hours"}));
    }

    void moneyIsShownInCents() {
        QCOMPARE(FormatMoney(125), QString("125.00"));
        QCOMPARE(FormatMoney(1234567.5), QString("1234567.50"));
        QCOMPARE(FormatMoney(-3.456), QString("-3.46"));
        QCOMPARE(FormatMoney(0.125), QString("0.13"));
        QCOMPARE(FormatMoney(-0.004), QString("0.00"));
        QCOMPARE(RoundCents(25.0 + 100.0), 125.0);
        QCOMPARE(RoundCents(0.1 + 0.2), 0.3);
        QVERIFY(IsNumeric(" 1,234.50 "));
        QVERIFY(IsNumeric("-2"));
        QVERIFY(!IsNumeric("12abc"));
        QVERIFY(!IsNumeric(""));
        QCOMPARE(ParseMoney("40"), std::optional<double>(40.0));
        QCOMPARE(ParseMoney(QVariant()), std::nullopt);
    }

    void datesReadBothYearFormsAndIso() {
        QCOMPARE(ShortDateFormat(), QString("M/d/yyyy"));
        QCOMPARE(FormatShortDate(QDate(2026, 12, 8)), QString("12/8/2026"));
        QCOMPARE(ParseDate("12/8/2026"), std::optional(QDate(2026, 12, 8)));
        QCOMPARE(ParseDate("12/08/26"), std::optional(QDate(2026, 12, 8)));
        QCOMPARE(ParseDate("1/2/49"), std::optional(QDate(2049, 1, 2)));
        QCOMPARE(ParseDate("1/2/50"), std::optional(QDate(1950, 1, 2)));
        QCOMPARE(ParseDate("2026-12-08"), std::optional(QDate(2026, 12, 8)));
        QCOMPARE(ParseDate("2/30/2026"), std::nullopt);
        QCOMPARE(ParseDate("13/1/2026"), std::nullopt);
        QCOMPARE(ParseDate("1/2/026"), std::nullopt);
        QCOMPARE(ParseDate("soon"), std::nullopt);
        QCOMPARE(ShowStoredDate("2026-01-02"), QString("1/2/2026"));
        QCOMPARE(ShowStoredDate(QVariant()), QString());
        QCOMPARE(FormatGeneralDate(QDateTime(QDate(2026, 12, 8), QTime(0, 0))),
                 QString("12/8/2026"));
        QCOMPARE(FormatGeneralDate(QDateTime(QDate(2026, 12, 8), QTime(16, 37, 12))),
                 QString("12/8/2026 4:37:12 PM"));
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
    QStringList list;
    QStringList warnings; // messages shown to the user
};

PELLORY_BOOK_TEST_MAIN(LogTest)
#include "test_log.moc"
