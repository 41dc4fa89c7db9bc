#pragma once

#include <QMainWindow>

namespace tv {

// The main window. Owned by the program's start-up; lives until the program ends.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace tv
