#pragma once

#include <QDialog>

class QLineEdit;

namespace tv {

// The about window: version, program folder and the open catalogue's path. Shown modally;
// closes on its button or Escape. Restores its placement but never stores it.
class frmLogo : public QDialog {
    Q_OBJECT
public:
    explicit frmLogo(QWidget* parent = nullptr);

    void setVisible(bool visible) override;
    void done(int result) override;

private:
    QLineEdit* txtPrg;
    QLineEdit* txtPfad;
    bool loaded_ = false;
};

} // namespace tv
