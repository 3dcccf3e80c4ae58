// What the envelope printer reads from the settings and the book, and what it remembers.
#include "books.h"
#include "envelopebook.h"
#include "modRegEdit.h"
#include "settingvalues.h"
#include "testsupport.h"

#include <QFile>
#include <QSettings>

class EnvelopeBookTest : public QObject {
    Q_OBJECT

  private slots:
    void startUpReadsTheMainSettingsAndWritesNone() {
        const ProgramFolderFixture folder;
        EnvelopeSettings read = ReadEnvelopeSettings();
        QCOMPARE(read.database, folder.database());
        QCOMPARE(read.copies, qint16(2));

        // A configured book that vanished falls back to the program folder's; one that
        // exists is used as configured.
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database,
                        folder.file("gone.mdb"));
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Copies, 3);
        read = ReadEnvelopeSettings();
        QCOMPARE(read.database, folder.database());
        QCOMPARE(read.copies, qint16(3));
        QVERIFY(QFile::copy(folder.database(), folder.file("other.mdb")));
        regSet_KeyValue(HKEY_LOCAL_MACHINE, MainSettingsKey, setting::Database,
                        folder.file("other.mdb"));
        QCOMPARE(ReadEnvelopeSettings().database, folder.file("other.mdb"));

        ClearSettingsStore();
        ReadEnvelopeSettings();
        ReadReturnAddress();
        QVERIFY(QSettings(SettingsFilePath(), QSettings::IniFormat).allKeys().isEmpty());
    }

    void returnAddressComesBackAsTyped() {
        const ProgramFolderFixture folder;
        const AddressLines typed = {"02134", "  Suite 5, \"Rear\"", "", "=1+1"};
        QVERIFY(SaveReturnAddress(typed));
        QCOMPARE(ReadReturnAddress(), typed);
    }

    void readsNamesAndBillingAddresses() {
        const ProgramFolderFixture folder;
        AddAccount(folder.database(), {.account = "B-2", .name = "Beta Bakery"});
        AddAccount(folder.database(), {.account = "A-1", .name = "Acme Tools"});
        QStringList accounts;
        QVERIFY(ReadAccountNumbers(folder.database(), [&](const QString& account) {
                    accounts << account;
                }).opened());
        QCOMPARE(accounts, QStringList({"B-2", "A-1"}));

        std::optional<Addressee> found;
        QVERIFY(ReadAddressee(folder.database(), "A-1", found).opened());
        QVERIFY(found);
        QCOMPARE(found->name, QString("Acme Tools"));
        QCOMPARE(found->billAddress,
                 AddressLines({"Acme Tools", "12 Mill Lane", "Springfield", ""}));
        QVERIFY(ReadAddressee(folder.database(), "\" OR 1=1 --", found).opened());
        QVERIFY(!found);

        QFile broken(folder.file("broken.mdb"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a book") > 0);
        broken.close();
        const BookRead failed = ReadAddressee(folder.file("broken.mdb"), "A-1", found);
        QVERIFY2(failed.openError.startsWith("Open connection to " + folder.file("broken.mdb")),
                 qPrintable(failed.openError));
    }
};

PELLORY_TEST_MAIN(EnvelopeBookTest)
#include "test_envelopebook.moc"
