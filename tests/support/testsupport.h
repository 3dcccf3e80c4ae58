#pragma once

#include "prompts.h"

#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <vector>

// A program folder of its own for one test: a copy of the blank database, an empty backup
// folder, and a settings store that starts empty.
class ProgramFolderFixture {
  public:
    ProgramFolderFixture();
    ~ProgramFolderFixture();
    QString path() const { return folder_.path(); }
    QString file(const QString& name) const { return folder_.filePath(name); }
    QString database() const { return file(QStringLiteral("pellory.mdb")); }

  private:
    QTemporaryDir folder_;
};

// Empties the shared settings store.
void ClearSettingsStore();

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

// Environment every suite shares: offscreen windows, en_US, a private settings folder.
void PrepareTestEnvironment();

#define PELLORY_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv) {                                                              \
        PrepareTestEnvironment();                                                                  \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
