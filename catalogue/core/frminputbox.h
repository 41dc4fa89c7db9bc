#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

// The input box: asks for one line of text. The caller sets the public fields, shows it
// modally and reads InputString afterwards (the confirmed text; empty after Cancel; the
// default when the window was closed another way). Title and Hint are shown as given.
class frmInputBox : public QDialog {
    Q_OBJECT
public:
    explicit frmInputBox(QWidget* parent = nullptr);

    QString Title;       // caption
    QString Hint;        // prompt, shown in lblMsg
    QString InputString; // default answer on the way in, the answer on the way out

    void setVisible(bool visible) override;
    void done(int result) override;

private:
    QLabel* lblMsg;
    QLineEdit* txtInput;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    bool loaded_ = false;
};

// Asks the user for one line of text. Returns the confirmed text, empty text on Cancel,
// and the default text when the window was closed another way. Prompt and title are shown
// as given: callers translate them first.
QString InputText(const QString& prompt, const QString& title, const QString& defaultText = QString());

// Tests answer the input box through this hook instead of showing it.
using InputTextHook = std::function<QString(const QString& prompt, const QString& title,
                                            const QString& defaultText)>;
void SetInputTextHook(InputTextHook hook);

} // namespace tv
