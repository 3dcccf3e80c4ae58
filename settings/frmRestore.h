#pragma once

#include "restore.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTableWidget;

// The copies of the book in the backup folder, each checked; a whole one can be restored over the
// book in use, which is first kept beside itself.
class frmRestore : public QDialog {
    Q_OBJECT
  public:
    explicit frmRestore(QWidget* parent = nullptr);

    QTableWidget* TABLE_Copies = nullptr;
    QPushButton* CMD_Restore = nullptr;
    QPushButton* CMD_Cancel = nullptr;

  private:
    void Restore();

    std::vector<BackupCopy> copies_;
};
