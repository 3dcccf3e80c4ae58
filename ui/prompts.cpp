#include "prompts.h"

#include "busypointer.h"
#include "modDialog32.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>

namespace {
PromptSeam realDialogs() {
    PromptSeam seam;
    seam.message = [](QWidget* owner, const MessageRequest& request) {
        QMessageBox box(request.icon, request.title, request.text, request.buttons, owner);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    };
    seam.input = [](QWidget* owner, const InputRequest& request) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(owner, request.title, request.prompt,
                                                   QLineEdit::Normal, request.defaultText, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    };
    seam.openFile = [](QWidget* owner, const FileRequest& request) {
        if (request.folderOnly)
            return QFileDialog::getExistingDirectory(owner, request.title, request.folder);
        if (request.toWrite)
            return QFileDialog::getSaveFileName(owner, request.title, request.folder,
                                                request.filter);
        return QFileDialog::getOpenFileName(owner, request.title, request.folder, request.filter);
    };
    seam.printer = [](QWidget* owner, int initialCopies) {
        return RunPrintDialog(owner, initialCopies);
    };
    seam.showModal = [](QDialog* dialog) { return dialog->exec(); };
    return seam;
}
} // namespace

PromptSeam& Prompts() {
    static PromptSeam seam = realDialogs();
    return seam;
}

void ResetPromptSeam() {
    Prompts() = realDialogs();
}

QMessageBox::StandardButton ShowMessage(QWidget* owner, const QString& text, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons,
                                        const QString& title) {
    // A message of a failure path never appears under the busy pointer.
    std::optional<OverridePointer> arrow;
    if (QApplication::overrideCursor())
        arrow.emplace(Qt::ArrowCursor);
    return Prompts().message(owner, {text, icon, buttons, title});
}

std::optional<QString> AskInput(QWidget* owner, const InputRequest& request) {
    return Prompts().input(owner, request);
}

QString AskOpenFile(QWidget* owner, const FileRequest& request) {
    return Prompts().openFile(owner, request);
}

QString AskSaveFile(QWidget* owner, FileRequest request) {
    request.toWrite = true;
    return Prompts().openFile(owner, request);
}

int ShowModal(QDialog* dialog) {
    return Prompts().showModal(dialog);
}
