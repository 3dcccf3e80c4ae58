#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

// Every message box, input box, file dialog, print dialog and modal window goes through
// this seam, so that tests can answer prompts and see what was shown.

inline const QString ProgramTitle = QStringLiteral("Pellory");

struct MessageRequest {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QString title = ProgramTitle;
};

struct InputRequest {
    QString prompt;
    QString title = ProgramTitle;
    QString defaultText;
};

struct FileRequest {
    QString title;
    QString folder;
    QString filter;
    bool folderOnly = false; // a folder is chosen, not a file
    bool toWrite = false; // a file to write, which may not exist yet; folder holds the name offered
};

// The device name chosen in the print dialog (empty when cancelled) and the copies.
struct PrinterChoice {
    QString deviceName;
    int copies = 0;
};

struct PromptSeam {
    std::function<QMessageBox::StandardButton(QWidget*, const MessageRequest&)> message;
    // No value when the user cancels.
    std::function<std::optional<QString>(QWidget*, const InputRequest&)> input;
    // Empty text when the user cancels.
    std::function<QString(QWidget*, const FileRequest&)> openFile;
    std::function<PrinterChoice(QWidget*, int initialCopies)> printer;
    std::function<int(QDialog*)> showModal;
};

// The seam in force; tests replace its members, ResetPromptSeam() puts the real dialogs back.
PromptSeam& Prompts();
void ResetPromptSeam();

QMessageBox::StandardButton ShowMessage(QWidget* owner, const QString& text, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        const QString& title = ProgramTitle);
std::optional<QString> AskInput(QWidget* owner, const InputRequest& request);
QString AskOpenFile(QWidget* owner, const FileRequest& request);
// The file to write, chosen in the same seam as AskOpenFile; the dialog asks before replacing one.
QString AskSaveFile(QWidget* owner, FileRequest request);
int ShowModal(QDialog* dialog);
