// Build step: turns the table definitions into the blank database shipped in the program folder.
#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: makeblankdb tables.sql output.mdb\n";
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << source.fileName() << "\n";
        return 1;
    }
    QString script;
    for (const QString& line : QString::fromUtf8(source.readAll()).split('\n'))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            script += line + '\n';
    const QString target = QString::fromLocal8Bit(argv[2]);
    const QString scratch = target + ".new";
    QFile::remove(scratch);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "blank");
        db.setDatabaseName(scratch);
        ok = db.open();
        QSqlQuery query(db);
        for (const QString& statement : script.split(';')) {
            if (!ok || statement.trimmed().isEmpty())
                continue;
            if (!query.exec(statement)) {
                QTextStream(stderr) << query.lastError().text() << "\n" << statement << "\n";
                ok = false;
            }
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("blank");
    if (!ok) {
        QFile::remove(scratch);
        return 1;
    }
    QFile::remove(target);
    return QFile::rename(scratch, target) ? 0 : 1;
}
