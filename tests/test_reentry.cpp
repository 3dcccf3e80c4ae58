// Input that arrives while the program works: keys typed or pressed again during a load or a
// save wait until the work is done, so no operation ever runs inside another.
#include "bookrows.h"
#include "frmCustomer.h"
#include "frmInvoice.h"
#include "windowtoolbar.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <qpa/qwindowsysteminterface.h>

namespace {
// A key as the window system delivers it: queued, to be handled when events next run.
void queueKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    using Delivery = QWindowSystemInterface::AsynchronousDelivery;
    QWindow* handle = window->windowHandle();
    QWindowSystemInterface::handleKeyEvent<Delivery>(handle, QEvent::KeyPress, key, modifiers,
                                                     text);
    QWindowSystemInterface::handleKeyEvent<Delivery>(handle, QEvent::KeyRelease, key, modifiers,
                                                     text);
}

bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Queues Alt+letter once the first confirmation is answered, as a user pressing it again.
void pressAgainOnConfirmation(QWidget& window, int key, const QString& letter) {
    const auto answer = Prompts().message;
    Prompts().message = [answer, &window, key, letter,
                         pressed = false](QWidget* owner, const MessageRequest& request) mutable {
        if (request.title == QLatin1String("Please Confirm") && !pressed) {
            queueKey(&window, key, Qt::AltModifier, letter);
            pressed = true;
        }
        return answer(owner, request);
    };
}

int confirmations(const PromptRecorder& prompts) {
    return int(std::count_if(prompts.messages.begin(), prompts.messages.end(),
                             [](const MessageRequest& m) { return m.title == "Please Confirm"; }));
}
} // namespace

class ReentryTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { fixture = std::make_unique<BookFixture>(); }
    void cleanup() { fixture.reset(); }

    void accountNumberTypedQuicklyLoadsThatAccount() {
        // Fixed charges: loading an account leaves the focus in the account box.
        const QVariantMap fixed = {{QString::number(col::InvoiceType), 1}};
        const TestBook book = fixture->book();
        QVERIFY(book.addProfile("1001", MasterMarker, "Abbott Plumbing", fixed));
        QVERIFY(book.addProfile("1002", MasterMarker, "Barnes Bakery", fixed));
        frmInvoice window;
        QVERIFY(showActive(window));
        QTRY_COMPARE(window.COMBO_AccountNumber->count(), 2);
        window.COMBO_AccountNumber->lineEdit()->setFocus();
        for (const QChar digit : QStringLiteral("1002"))
            queueKey(&window, Qt::Key_0 + digit.digitValue(), Qt::NoModifier, digit);
        QTRY_COMPARE(window.COMBO_AccountNumber->currentText(), QString("1002"));
        QTRY_COMPARE(window.LABEL_Name->text(), QString("< Barnes Bakery"));
        QTest::qWait(50);
        QCOMPARE(window.COMBO_AccountNumber->currentText(), QString("1002"));
        QVERIFY(window.Toolbar1->button("OK")->isEnabled());
        QVERIFY(window.Toolbar1->button("Blank")->isEnabled());
        QVERIFY(fixture->prompts.messages.empty());
    }

    void saveKeyPressedAgainDuringASaveSavesOnce() {
        QVERIFY(fixture->book().addProfile(
            "A1", MasterMarker, "Ann Smith",
            {{QString::number(col::InvoiceType), 1}, {QString::number(col::PaymentAmount), 55.0}}));
        Settings().Worksheet = fixture->folder.file("missing.xls"); // printing fails at once
        fixture->prompts.answers = {QMessageBox::Yes, QMessageBox::Yes};
        frmInvoice window;
        window.Tag = "A1";
        QVERIFY(showActive(window));
        QTRY_COMPARE(window.TEXT_Invoice->text(), QString("0000001"));
        window.COMBO_Description->setCurrentText("Hours");
        pressAgainOnConfirmation(window, Qt::Key_S, "s");
        window.Toolbar1->button("OK")->trigger();
        QTest::qWait(100);
        QCOMPARE(confirmations(fixture->prompts), 1);
        QCOMPARE(fixture->book().invoices(), 1);
        for (const MessageRequest& message : fixture->prompts.messages)
            QVERIFY2(!message.text.startsWith("Error saving"), qPrintable(message.text));
    }

    void deleteKeyPressedAgainDuringADeleteDeletesOnce() {
        QVERIFY(fixture->book().addProfile("1001", MasterMarker, "Abbott Plumbing"));
        QVERIFY(fixture->book().addProfile("2001", "1001", "Barnes Bakery"));
        fixture->prompts.answers = {QMessageBox::Yes, QMessageBox::Yes};
        frmCustomer editor;
        editor.Tag = "1001";
        QVERIFY(showActive(editor));
        QTRY_VERIFY(editor.Toolbar1->button("Delete")->isEnabled());
        pressAgainOnConfirmation(editor, Qt::Key_D, "d");
        editor.Toolbar1->button("Delete")->trigger();
        QTest::qWait(100);
        QCOMPARE(confirmations(fixture->prompts), 1);
        QCOMPARE(fixture->book().profiles(), 0);
        QCOMPARE(fixture->prompts.messages.size(), std::size_t(1));
    }

  private:
    std::unique_ptr<BookFixture> fixture;
};

PELLORY_TEST_MAIN(ReentryTest)
#include "test_reentry.moc"
