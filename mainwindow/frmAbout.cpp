#include "frmAbout.h"

#include "booksession.h"
#include "modRegEdit.h"
#include "prompts.h"
#include "settings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + ProgramTitle);
    auto* name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(ProgramTitle), this);
    auto* purpose = new QLabel(
        QStringLiteral("Accounts, invoices, payments, balances, schedules and reports."), this);
    auto* facts = new QFormLayout;
    const auto addFact = [&](const QString& label, const QString& value) {
        auto* text = new QLabel(value, this);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        facts->addRow(label, text);
    };
    addFact(QStringLiteral("Version:"), QStringLiteral(PELLORY_VERSION));
    addFact(QStringLiteral("Database:"), Settings().Database);
    addFact(QStringLiteral("Settings file:"), SettingsFilePath());
    addFact(QStringLiteral("Qt version:"), QString::fromLatin1(qVersion()));
    addFact(QStringLiteral("SQLite version:"), EngineVersion(Settings().Database));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BUTTON_OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* column = new QVBoxLayout(this);
    column->addWidget(name);
    column->addWidget(purpose);
    column->addLayout(facts);
    column->addWidget(buttons);
}
