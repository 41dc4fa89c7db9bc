#pragma once

#include "mainsettings.h"

#include <QMainWindow>

namespace tv {

// The main window. Owned by the program's start-up; lives until the program ends. It reads
// the settings file when it is made and rewrites it when it closes, once its first
// activation has run.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void EndFirstActivation();

    MainSettings mSettings;
    // Set until the first activation has run; while set, closing stores nothing, so a start
    // that failed early leaves the settings file as it was.
    bool FirstActivation = true;
};

} // namespace tv
