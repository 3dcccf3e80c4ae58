#include "filedialog.h"

#include "prompts.h"

#include <QFileInfo>

QString ShowFileDialog(QWidget* owner, const QString& title, const QString& filter) {
    const QString chosen = AskOpenFile(owner, {title, QString(), filter});
    // A name typed into the dialog may still point nowhere; that is no choice.
    if (chosen.isEmpty() || !QFileInfo(chosen).isFile())
        return QString();
    return QFileInfo(chosen).absoluteFilePath();
}
