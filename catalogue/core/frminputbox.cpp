#include "frminputbox.h"

#include "formlayout.h"
#include "modlang.h"
#include "modsettings.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {
InputTextHook& hookRef()
{
    static InputTextHook hook;
    return hook;
}
} // namespace

frmInputBox::frmInputBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInputBox"));
    setWindowTitle(QStringLiteral("Eingabe"));
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setWordWrap(true);
    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    MakeOkCancelButtons(this, cmdOk, cmdCancel);

    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMsg);
    layout->addWidget(txtInput);
    layout->addLayout(buttons);
    resize(380, 130);

    connect(cmdOk, &QPushButton::clicked, this, [this] {
        InputString = txtInput->text();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        InputString.clear();
        reject();
    });
}

void frmInputBox::setVisible(bool visible)
{
    if (visible && !loaded_) {
        // Load: placement, translation of the designed texts, then the caller's texts.
        loaded_ = true;
        LoadFormPos(this);
        TranslateForm(this, true, false);
        setWindowTitle(Title);
        lblMsg->setText(Hint);
        txtInput->setText(InputString);
        txtInput->selectAll();
    }
    QDialog::setVisible(visible);
}

void frmInputBox::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        SaveFormPos(this);
        ResetLangContext();
    }
    QDialog::done(result);
}

void SetInputTextHook(InputTextHook hook) { hookRef() = std::move(hook); }

QString InputText(const QString& prompt, const QString& title, const QString& defaultText)
{
    if (hookRef()) return hookRef()(prompt, title, defaultText);
    // A fresh window for every call.
    frmInputBox box(QApplication::activeWindow());
    box.Title = title;
    box.Hint = prompt;
    box.InputString = defaultText;
    box.exec();
    return box.InputString;
}

} // namespace tv
