#pragma once

#include <QDialog>

// Product information: name, version, the database and settings file in use, and the versions
// of Qt and SQLite.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);
};
