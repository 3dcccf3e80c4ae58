// What the envelope printer reads from the main program's settings and from the book.
#include "books.h"
#include "booktesting.h"
#include "envelopebook.h"
#include "modDAO.h"
#include "modRegEdit.h"
#include "settingvalues.h"
#include "statements.h"

#include <QFile>
#include <QSettings>

class EnvelopeSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void startUpReadsTheMainSettingsAndWritesNone() {
        if (OnServerBook())
            QSKIP("the fallback to the program folder's book is about files");
        const ProgramFolderFixture folder;
        EnvelopeSettings read = ReadEnvelopeSettings();
        QCOMPARE(read.database, folder.database());
        QCOMPARE(read.copies, qint16(2));

        // A configured book that vanished falls back to the program folder's; one that
        // exists is used as configured.
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database,
                                 folder.file("gone.mdb")),
                 0);
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Copies, 3), 0);
        read = ReadEnvelopeSettings();
        QCOMPARE(read.database, folder.database());
        QCOMPARE(read.notice, "The book " + folder.file("gone.mdb") +
                                  " was not found. Pellory has opened the book " +
                                  folder.database() +
                                  " instead; the envelopes are addressed from its accounts.");
        QCOMPARE(read.copies, qint16(3));
        QVERIFY(QFile::copy(folder.database(), folder.file("other.mdb")));
        QCOMPARE(regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database,
                                 folder.file("other.mdb")),
                 0);
        read = ReadEnvelopeSettings();
        QCOMPARE(read.database, folder.file("other.mdb"));
        QCOMPARE(read.notice, QString());

        ClearSettingsStore();
        ReadEnvelopeSettings();
        ReadReturnAddress();
        QVERIFY(QSettings(SettingsFilePath(), QSettings::IniFormat).allKeys().isEmpty());
    }

    void readsCannotChangeTheBook() {
        const ProgramFolderFixture folder;
        QVERIFY(AddAccount(folder.database(), {.account = "A-1"}));
        QString refused;
        QVERIFY(ReadAccountNumbers(folder.database(), [&](const QString& account) {
                    QVERIFY(daoIssue_EXEStatement(QLatin1String(sql::DeleteProfile), refused,
                                                  {account}) != 0);
                }).opened());
        QVERIFY2(refused.contains("readonly") || refused.contains("read-only"),
                 qPrintable(refused));
        QCOMPARE(CountRows(folder.database(), sql::SelectAllProfiles), 1);
    }
};

PELLORY_BOOK_TEST_MAIN(EnvelopeSettingsTest)
#include "test_envelopebook.moc"
