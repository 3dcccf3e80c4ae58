// Build step: makes the blank database shipped in the program folder, replacing the previous one.
#include "blankbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: makeblankdb output.mdb\n";
        return 2;
    }
    const QString target = QString::fromLocal8Bit(argv[1]);
    QFile::remove(target);
    if (const QString error = WriteBlankBook(target); !error.isEmpty()) {
        QTextStream(stderr) << error << "\n";
        return 1;
    }
    return 0;
}
