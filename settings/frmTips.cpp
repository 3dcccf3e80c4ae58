#include "frmTips.h"

#include "paths.h"
#include "prompts.h"
#include "typedsettings.h"
#include "windowparts.h"
#include "windowtoolbar.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {
// The third names the backup folder of this installation: the program folder's, or the data
// folder's once installed.
std::array<QString, 4> tips() {
    return {
        QStringLiteral("Thank you for using Pellory."),
        QStringLiteral("Pellory uses an SQLite database to store all information relating to "
                       "accounts and invoices. If the account report form included with Pellory is "
                       "insufficient, you can open the database in LibreOffice Base or any SQLite "
                       "browser to generate your own custom reports."),
        QStringLiteral("Pellory automatically saves a electronic backup copy of each invoice "
                       "created. Open the \"") +
            ProgramFile(QStringLiteral("backup")) + QStringLiteral("\" folder to view the files."),
        QStringLiteral("Pellory is a simple billing program, recommended for service billing, that "
                       "invoices and reports account activity. Use it to bill your customers for "
                       "services rendered and to manage account balances.")};
}
} // namespace

frmTips::frmTips(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTips"));
    setWindowTitle(QStringLiteral("Tips"));
    Toolbar1 = BuildDialogToolbar(this);
    connect(Toolbar1, &WindowToolbar::commandTriggered, this, &QDialog::reject);
    const std::array<QString, 4> Tips = tips();
    auto* column = new QVBoxLayout(this);
    column->addWidget(Toolbar1);
    LABEL_Help[0] = BuildHelpStrip(this, Tips[0]);
    column->addWidget(LABEL_Help[0]->parentWidget());
    for (std::size_t i = 1; i < Tips.size(); ++i) {
        LABEL_Help[i] = new QLabel(Tips[i], this);
        LABEL_Help[i]->setWordWrap(true);
        column->addWidget(LABEL_Help[i]);
    }
    for (std::size_t i = 0; i < Tips.size(); ++i)
        LABEL_Help[i]->setObjectName(QStringLiteral("LABEL_Help(%1)").arg(i));
    CHECK_NoShow =
        new QCheckBox(QStringLiteral("Don't show this window at startup anymore."), this);
    CHECK_NoShow->setObjectName(QStringLiteral("CHECK_NoShow"));
    column->addStretch();
    column->addWidget(CHECK_NoShow);
    CHECK_NoShow->setChecked(TipsHidden());
    resize(460, 330);
}

// Every way of closing a dialog ends here: the toolbar, Esc, Alt+E and the close box.
void frmTips::done(int result) {
    // A store that cannot be written is told once, at start.
    (void)StoreTipsHidden(CHECK_NoShow->isChecked());
    QDialog::done(result);
}

void ShowTips() {
    frmTips tips;
    ShowModal(&tips);
}
