#pragma once

#include "booktesting.h"
#include "prompts.h"

#include <QString>
#include <QTest>
#include <deque>
#include <vector>

// Answers prompts in place of the real dialogs and keeps what was shown.
class PromptRecorder {
  public:
    PromptRecorder();
    ~PromptRecorder();

    std::vector<MessageRequest> messages;
    std::deque<QMessageBox::StandardButton> answers; // next answers to message boxes
    std::deque<std::optional<QString>> inputs;       // next answers to input boxes
    std::deque<QString> files;                       // next answers to file dialogs
    std::deque<PrinterChoice> printers;              // next answers to print dialogs
    std::vector<int> printDialogCopies;              // copies each print dialog offered
    std::vector<QString> modalWindows;               // object names of windows shown modally
    std::function<int(QDialog*)> onModal;            // drives a modal window, if set

    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }
};

#define PELLORY_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv) {                                                              \
        PrepareTestEnvironment();                                                                  \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
