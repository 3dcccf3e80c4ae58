#include "testsupport.h"

#include <QDialog>

PromptRecorder::PromptRecorder() {
    PromptSeam& seam = Prompts();
    seam.message = [this](QWidget*, const MessageRequest& request) {
        messages.push_back(request);
        if (answers.empty())
            return QMessageBox::Ok;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    };
    seam.input = [this](QWidget*, const InputRequest&) -> std::optional<QString> {
        std::optional<QString> answer;
        if (!inputs.empty()) {
            answer.swap(inputs.front());
            inputs.pop_front();
        }
        return answer;
    };
    seam.openFile = [this](QWidget*, const FileRequest&) {
        if (files.empty())
            return QString();
        const QString answer = files.front();
        files.pop_front();
        return answer;
    };
    seam.printer = [this](QWidget*, int copies) {
        printDialogCopies.push_back(copies);
        if (printers.empty())
            return PrinterChoice{};
        const PrinterChoice answer = printers.front();
        printers.pop_front();
        return answer;
    };
    seam.showModal = [this](QDialog* dialog) {
        modalWindows.push_back(dialog->objectName());
        if (onModal)
            return onModal(dialog);
        return static_cast<int>(QDialog::Rejected);
    };
}

PromptRecorder::~PromptRecorder() {
    ResetPromptSeam();
}
