// How an installed program's data folder is started from the shared files: what a first start
// copies, and that the user's own book and workbooks are never replaced.
#include "booktesting.h"
#include "paths.h"
#include "records.h"
#include "testbook.h"

#include <QDir>
#include <QFile>

namespace {
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Stores one account in the book at path, so the book differs from the blank one.
void changeBook(const QString& path) {
    QVERIFY(TestBook(path).addProfile("1001", MasterMarker, "Abbott"));
}
} // namespace

class SeedingTest : public QObject {
    Q_OBJECT
  private slots:
    // The shared folder as installed: read-only copies of the built files.
    void init() {
        shared = std::make_unique<QTemporaryDir>();
        home = std::make_unique<QTemporaryDir>();
        for (const QString& name : SeededFileNames()) {
            QVERIFY(QFile::copy(QStringLiteral(PELLORY_BUILT_PROGRAM_FOLDER "/") + name,
                                sharedFile(name)));
            QFile::setPermissions(sharedFile(name), QFile::ReadOwner | QFile::ReadOther);
        }
    }

    void firstStartCopiesAndLaterStartsKeepTheUsersFiles() {
        QCOMPARE(SeedProgramFolder(shared->path(), data()), QString());
        QVERIFY(QDir(data() + "/backup").exists());
        for (const QString& name : SeededFileNames()) {
            QCOMPARE(contents(dataFile(name)), contents(sharedFile(name)));
            QVERIFY(QFileInfo(dataFile(name)).isWritable());
        }
        changeBook(dataFile("pellory.mdb"));
        const QByteArray changedBook = contents(dataFile("pellory.mdb"));
        write(dataFile("pellory.xls"), "the user's own invoice form");
        write(dataFile("backup/Inv0000001.xls"), "a kept invoice");

        QCOMPARE(SeedProgramFolder(shared->path(), data()), QString());
        QCOMPARE(contents(dataFile("pellory.mdb")), changedBook);
        QCOMPARE(contents(dataFile("pellory.xls")), QByteArray("the user's own invoice form"));
        QCOMPARE(contents(dataFile("backup/Inv0000001.xls")), QByteArray("a kept invoice"));
    }

    void aMissingWorkbookIsRestoredWithoutTouchingTheBook() {
        QCOMPARE(SeedProgramFolder(shared->path(), data()), QString());
        changeBook(dataFile("pellory.mdb"));
        const QByteArray changedBook = contents(dataFile("pellory.mdb"));
        QVERIFY(QFile::remove(dataFile("pelloryenv.xls")));

        QCOMPARE(SeedProgramFolder(shared->path(), data()), QString());
        QCOMPARE(contents(dataFile("pelloryenv.xls")), contents(sharedFile("pelloryenv.xls")));
        QCOMPARE(contents(dataFile("pellory.mdb")), changedBook);
    }

    // A file that could not be copied is named, with what was copied, and leaves no part behind
    // that a later start would keep as the user's.
    void aFailedCopySaysWhatWasCopiedAndLeavesNoPart() {
        QVERIFY(QFile::remove(sharedFile("pelloryenv.xls")));
        const QString error = SeedProgramFolder(shared->path(), data());
        QCOMPARE(error, "Could not copy " + sharedFile("pelloryenv.xls") + " to " +
                            dataFile("pelloryenv.xls") + "; copied to " + data() +
                            ": pellory.mdb, pellory.xls");
        QCOMPARE(QDir(data()).entryList(QDir::Files), QStringList({"pellory.mdb", "pellory.xls"}));
    }

    // Run from the build folder, the program keeps its files beside itself and seeds nothing.
    void fromTheBuildFolderTheProgramFolderIsItsOwn() {
        QCOMPARE(InstalledSharedFolder(), QString());
        QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
        QCOMPARE(SharedFile("pellory.htm"),
                 QCoreApplication::applicationDirPath() + "/pellory.htm");
        QCOMPARE(PrepareProgramFolder(), QString());
    }

  private:
    QString sharedFile(const QString& name) const { return shared->filePath(name); }
    QString data() const { return home->filePath("varnaby/pellory"); }
    QString dataFile(const QString& name) const { return data() + '/' + name; }

    std::unique_ptr<QTemporaryDir> shared;
    std::unique_ptr<QTemporaryDir> home;
};

PELLORY_BOOK_TEST_MAIN(SeedingTest)
#include "test_seeding.moc"
