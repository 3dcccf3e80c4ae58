// The settings store, the settings in force and the start routine.
#include "loggedchange.h"
#include "modCommand.h"
#include "modGUID.h"
#include "modRegEdit.h"
#include "paths.h"
#include "settings.h"
#include "settingvalues.h"
#include "startup.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTimer>
#include <stdexcept>

namespace {
QVariant get(const QString& name, const QVariant& fallback = QVariant()) {
    return regGet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, fallback);
}
qint32 set(const QString& name, const QVariant& value, bool forceText = false) {
    return regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, name, value, forceText);
}
QSettings rawStore() {
    return QSettings(SettingsFilePath(), QSettings::IniFormat);
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { folder = std::make_unique<ProgramFolderFixture>(); }
    void cleanup() { folder.reset(); }

    void storeChoosesKindLikeTheRegistry() {
        QCOMPARE(set("A", 2), 0);
        QCOMPARE(get("A"), QVariant(2));
        QCOMPARE(set("B", "02"), 0);
        QCOMPARE(get("B"), QVariant(2)); // the leading zero is lost, as for a number value
        QCOMPARE(set("C", "02", true), 0);
        QCOMPARE(get("C"), QVariant("02"));
        QCOMPARE(set("D", "Thank you."), 0);
        QCOMPARE(get("D"), QVariant("Thank you."));
        QCOMPARE(set("E", "2.5"), 0);
        QCOMPARE(get("E"), QVariant("2.5"));
        QCOMPARE(set("F", "99999999999"), 0); // beyond 32 bits stays text
        QCOMPARE(get("F"), QVariant("99999999999"));
    }

    void storeReadsDefaultsForWhatItDoesNotHold() {
        QCOMPARE(get("Missing", 7), QVariant(7));
        QVERIFY(!get("Missing").isValid());
        QCOMPARE(get("Missing").toString(), QString());
        QCOMPARE(set("Empty", "", true), 0);
        QCOMPARE(get("Empty", "default"), QVariant(QString("")));
        {
            QSettings raw = rawStore();
            raw.setValue("software/varnaby/pellory/Settings/Bytes", QByteArray("\x01\x02"));
            raw.setValue("software/varnaby/pellory/Settings/List", QStringList{"a", "b"});
        }
        QCOMPARE(get("Bytes", "fallback"), QVariant("fallback"));
        QCOMPARE(get("List", "fallback"), QVariant("fallback"));
    }

    void storeKeepsKeysApartAndCreatesPaths() {
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, EnvelopeSettingsKey, "ReturnAddr1",
                                 "1 High St", true),
                 0);
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, "software\\new\\deep\\path", "V", 5), 0);
        QCOMPARE(regGet_KeyValue(HKEY_LOCAL_MACHINE, "software\\new\\deep\\path", "V"),
                 QVariant(5));
        QVERIFY(!get("ReturnAddr1").isValid());
        QCOMPARE(regGet_KeyValue(HKEY_LOCAL_MACHINE, EnvelopeSettingsKey, "ReturnAddr1"),
                 QVariant("1 High St"));
    }

    void storeRefusesAWriteItCannotMake() {
        // A folder where the file should be cannot be written, even by root.
        QVERIFY(QDir().mkpath(SettingsFilePath()));
        QCOMPARE(set("Refused", 1), -1);
        QCOMPARE(get("Refused", "default"), QVariant("default"));
        QVERIFY(QDir(SettingsFilePath()).removeRecursively());
    }

    void firstStartTakesDefaultsAndCreatesGuidOnce() {
        QCOMPARE(LoadSettings(), QStringList());
        const SettingsInForce& s = Settings();
        QCOMPARE(s.Database, folder->database());
        QCOMPARE(s.Worksheet, folder->file("pellory.xls"));
        QCOMPARE(s.Message0, QString("Please send payment promply on or before due date."));
        QCOMPARE(s.Message1, QString("Thank you."));
        QCOMPARE(s.Copies, qint16(2));
        QCOMPARE(s.TransactionLog, qint16(1));
        static const QRegularExpression shape(
            "^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$");
        QVERIFY2(shape.match(s.GUID).hasMatch(), qPrintable(s.GUID));
        QCOMPARE(get("GUID"), QVariant(s.GUID));
        const QString first = s.GUID;
        LoadSettings();
        QCOMPARE(Settings().GUID, first);
        // Nothing else is written back at start.
        QVERIFY(!get("Database").isValid());
    }

    void anUnwritableSettingsFileIsToldOnceAndKeepsOneGuid() {
        // A folder where the file should be cannot be written, even by root.
        QVERIFY(QDir().mkpath(SettingsFilePath()));
        const auto removeFolder = qScopeGuard([] { QDir(SettingsFilePath()).removeRecursively(); });
        Settings() = SettingsInForce(); // a new run
        QCOMPARE(LoadSettings(),
                 QStringList("The settings file " + SettingsFilePath() +
                             " cannot be written, so no setting can be saved: the installation "
                             "identifier (GUID) made at this start and any change made in "
                             "Settings are lost when Pellory ends."));
        const QString guid = Settings().GUID;
        QCOMPARE(guid.size(), 38);
        // Loaded again after the settings window saves: neither a second notice nor a new GUID.
        QCOMPARE(LoadSettings(), QStringList());
        QCOMPARE(Settings().GUID, guid);
    }

    void guidTextIsAlways38Characters() {
        for (int i = 0; i < 200; ++i)
            QCOMPARE(NewGUIDString().size(), 38);
        QCOMPARE(ZeroPad("1F", 4), QString("001F"));
        QCOMPARE(ZeroPad("ABCDE", 4), QString("BCDE"));
    }

    void vanishedPathsFallBackToTheProgramFolder() {
        set("Database", folder->file("gone.mdb"), true);
        // The user learns that entries now go to another book.
        QCOMPARE(LoadSettings(),
                 QStringList("The book " + folder->file("gone.mdb") +
                             " was not found. Pellory has opened the book " + folder->database() +
                             " instead; what you enter now is stored there."));
        QCOMPARE(Settings().Database, folder->database());
        QCOMPARE(get("Database").toString(), folder->file("gone.mdb"));
        // A book on a server is no file: it stays the book, and opening it says what is wrong.
        const QString server = "postgresql://clerk@books.example:5432/office";
        set("Database", server, true);
        QCOMPARE(LoadSettings(), QStringList());
        QCOMPARE(Settings().Database, server);
        set("Database", folder->file("gone.mdb"), true);

        QFile::remove(folder->database());
        QCOMPARE(LoadSettings(), QStringList());
        QCOMPARE(Settings().Database, folder->file("gone.mdb"));
        // The workbook follows the same rule: with no default either, the configured path stays.
        set("Worksheet", "/nowhere/book.xls", true);
        LoadSettings();
        QCOMPARE(Settings().Worksheet, QString("/nowhere/book.xls"));
    }

    void numberSettingsConvertOrFail() {
        set("Copies", "3.6", true);
        set("TransactionLog", 0);
        set("Message0", 123);
        LoadSettings();
        QCOMPARE(Settings().Copies, qint16(4));
        QCOMPARE(Settings().TransactionLog, qint16(0));
        QCOMPARE(Settings().Message0, QString("123"));
        // A value that cannot be read takes its default, and the user is told which and where.
        set("Copies", "many", true);
        QCOMPARE(LoadSettings(), QStringList("The setting Copies=many in " + SettingsFilePath() +
                                             " cannot be read (Type mismatch); Pellory uses 2 "
                                             "instead."));
        QCOMPARE(Settings().Copies, qint16(2));
        QCOMPARE(Settings().TransactionLog, qint16(0));
        set("Copies", 2);
        set("TransactionLog", 99999);
        const QStringList overflow = LoadSettings();
        QCOMPARE(overflow.size(), 1);
        QVERIFY2(overflow[0].startsWith("The setting TransactionLog=99999 in " +
                                        SettingsFilePath() + " cannot be read (Overflow)"),
                 qPrintable(overflow[0]));
        QCOMPARE(Settings().TransactionLog, qint16(1));
        QCOMPARE(get("TransactionLog"), QVariant(99999)); // the store keeps what it holds
        // A number beyond every integer kind is kept as text, never cast out of range.
        QCOMPARE(set("Copies", 1e20), 0);
        QCOMPARE(get("Copies"), QVariant("1e+20"));
        QCOMPARE(LoadSettings().size(), 2);
        QCOMPARE(Settings().Copies, qint16(2));
    }

    void unreadableSettingsAreToldOnceAndTheProgramStarts() {
        PromptRecorder prompts;
        qputenv("CUPS_SERVER", QByteArray("/nonexistent/cups.sock"));
        set("Copies", "many", true);
        set("Database", folder->file("gone.mdb"), true);
        QWidget* window = nullptr;
        const int exitCode =
            StartRoutine(*qApp, {[&] {
                                     window = new QWidget;
                                     QTimer::singleShot(0, window, &QWidget::close);
                                     return window;
                                 },
                                 {}});
        QCOMPARE(exitCode, 0);
        QCOMPARE(Settings().Copies, qint16(2));
        QCOMPARE(prompts.messages.size(), std::size_t(2)); // the printer warning, then one notice
        const MessageRequest& notice = prompts.messages[1];
        QCOMPARE(notice.icon, QMessageBox::Warning);
        QVERIFY2(notice.text.contains("Copies=many in " + SettingsFilePath()),
                 qPrintable(notice.text));
        QVERIFY2(notice.text.contains("The book " + folder->file("gone.mdb") + " was not found"),
                 qPrintable(notice.text));

        // What still ends the program is a main window that cannot be made.
        prompts.messages.clear();
        QCOMPARE(
            StartRoutine(*qApp, {[]() -> QWidget* { throw std::runtime_error("no memory"); }, {}}),
            1);
        qunsetenv("CUPS_SERVER");
        QCOMPARE(prompts.lastMessage(), QString("Error loading main form, no memory"));
    }

    void theStartLogsWhatTheLastRunStoredButDidNotLog() {
        LoadSettings();
        // A change whose program ended before settling it: account 1001 is not in the book.
        { const LoggedChange unsettled = LoggedChange::AccountDeleted("1001"); }
        QVERIFY(QFile::exists(LogFilePath() + ".pending"));
        PromptRecorder prompts;
        qputenv("CUPS_SERVER", QByteArray("/nonexistent/cups.sock"));
        StartRoutine(*qApp, {[] {
                                 auto* window = new QWidget;
                                 QTimer::singleShot(0, window, &QWidget::close);
                                 return window;
                             },
                             {}});
        qunsetenv("CUPS_SERVER");
        QFile log(LogFilePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().endsWith(", Deleted account# 1001\r\n"));
        QVERIFY(!QFile::exists(LogFilePath() + ".pending"));
    }

    void tipsFollowNoShow() {
        qputenv("CUPS_SERVER", QByteArray("/nonexistent/cups.sock"));
        for (const auto& [stored, shown] : {std::pair{QVariant(), true},
                                            {QVariant(0), true},
                                            {QVariant(1), false},
                                            {QVariant(5), false}}) {
            ClearSettingsStore();
            if (stored.isValid())
                set("NoShow", stored);
            PromptRecorder prompts;
            bool tipsShown = false;
            QWidget* window = nullptr;
            StartupWindows windows{[&] {
                                       window = new QWidget;
                                       if (!shown) // ends the program once it runs
                                           QTimer::singleShot(0, window, &QWidget::close);
                                       return window;
                                   },
                                   [&] {
                                       tipsShown = true;
                                       window->close(); // ends the program at once
                                   }};
            QCOMPARE(StartRoutine(*qApp, windows), 0);
            QCOMPARE(tipsShown, shown);
        }
        qunsetenv("CUPS_SERVER");
    }

    void fileNameAfterLastSeparator() {
        QCOMPARE(ExtractFileName("C:\\app\\backup\\pellory.log"),
                 std::optional<QString>("pellory.log"));
        QCOMPARE(ExtractFileName("/home/a/backup/pellory.log"),
                 std::optional<QString>("pellory.log"));
        QCOMPARE(ExtractFileName("pellory.log"), std::nullopt);
    }

  private:
    std::unique_ptr<ProgramFolderFixture> folder;
};

PELLORY_TEST_MAIN(SettingsTest)
#include "test_settings.moc"
