// Dates under the C locale, whose short form names the month: a date the program shows reads
// back as the same date, so windows that check their own default dates accept them.
#include "formats.h"

#include <QCoreApplication>
#include <QTest>

class CLocaleTest : public QObject {
    Q_OBJECT
  private slots:
    void shownDatesReadBack() {
        QCOMPARE(QLocale::system().name(), QString("C"));
        for (const QDate& day : {QDate(2026, 12, 8), QDate(1999, 1, 31), QDate(2049, 2, 28)}) {
            QVERIFY(IsDate(FormatShortDate(day)));
            QCOMPARE(ParseDate(FormatShortDate(day)), std::optional(day));
        }
        QCOMPARE(ParseDate("2026-12-08"), std::optional(QDate(2026, 12, 8)));
        QCOMPARE(ParseDate("31 Feb 2026"), std::nullopt);
    }
};

int main(int argc, char** argv) {
    qputenv("LC_ALL", "C.UTF-8"); // before anything reads the system locale
    QCoreApplication app(argc, argv);
    CLocaleTest tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "test_clocale.moc"
