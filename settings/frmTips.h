#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class WindowToolbar;

// The tips shown at start-up. Its check box is stored as NoShow however the window closes.
class frmTips : public QDialog {
    Q_OBJECT
  public:
    explicit frmTips(QWidget* parent = nullptr);

    void done(int result) override;

    WindowToolbar* Toolbar1 = nullptr;
    std::array<QLabel*, 4> LABEL_Help{};
    QCheckBox* CHECK_NoShow = nullptr;
};

// Shows the tips window modally, as the start routine does.
void ShowTips();
