#include "frmfile.h"

#include "frmparameter.h"
#include "modstart.h"
#include "catalogue/core/formlayout.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/import/modcategory.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/msgbox.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {
namespace {

constexpr int kTwips = 15;          // twips per pixel
constexpr int kFirstViewedType = 18; // text, PDF and picture files have no emulator settings

// A path label: long paths break inside their words, as in an edit control, and the label is
// as high as its lines need, so the file name at the end is never cut off.
class PathLabel : public QLabel {
public:
    explicit PathLabel(QWidget* parent) : QLabel(parent) { setMinimumSize(kWidth, kHeight); }
    // A long path widens nothing: it takes more lines.
    QSize sizeHint() const override { return {kWidth, minimumHeight()}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.translate(-geometry().topLeft());
        AutoSizeLabel(painter, this, text());
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Fit();
    }
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) Fit();
    }
    bool event(QEvent* event) override
    {
        // A new text arrives without an event of its own; the layout asks again before showing.
        if (event->type() == QEvent::Polish || event->type() == QEvent::Show) Fit();
        return QLabel::event(event);
    }

private:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 34;
    void Fit()
    {
        const int needed = qMax(kHeight, AutoSizeLabelHeight(font(), qMax(width(), kWidth), text()));
        if (needed != minimumHeight()) {
            setMinimumHeight(needed);
            updateGeometry();
        }
    }
};

// The item the user chose: the current one while the text still is its text; -1 once the
// text was cleared or overtyped.
int ChosenIndex(const QComboBox* box)
{
    const int index = box->currentIndex();
    return index >= 0 && box->itemText(index) == box->currentText() ? index : -1;
}

int ChosenCode(const QComboBox* box)
{
    const int index = ChosenIndex(box);
    return index < 0 ? 0 : box->itemData(index).toInt();
}

QComboBox* MakeCombo(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    ReturnTakesCompletion(box);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

Variant NullIfZero(int32_t value) { return value == 0 ? Variant::null() : Variant(value); }
Variant NullIfEmpty(const QString& text) { return text.isEmpty() ? Variant::null() : Variant(text); }

} // namespace

frmFile::frmFile(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFile"));
    setWindowTitle(QStringLiteral("Datei"));
    StartFileFn = [](qint32 id, QString& key, std::shared_ptr<clsFileInfo>& file) { return StartFile(id, key, file); };
    PickParameterFn = [](QWidget* owner) { return PickParameter(owner); };

    Frame1 = new QGroupBox(QStringLiteral("Datei"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtNew = new QLineEdit(Frame1);
    txtNew->setObjectName(QStringLiteral("txtNew"));
    lblExtension = MakeLabel(Frame1, "lblExtension");
    lblPath = new PathLabel(Frame1);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    imgTyp = MakeLabel(Frame1, "imgTyp");
    imgZipped = MakeLabel(Frame1, "imgZipped", QStringLiteral("ZIP"));
    imgZipped->hide();
    lblDate = MakeLabel(Frame1, "lblDate");
    lblSize = MakeLabel(Frame1, "lblSize");
    cboCategory = MakeCombo(Frame1, "cboCategory");
    txtMemo = new QLineEdit(Frame1);
    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    txtMemo->setMaxLength(255);

    auto* grid = new QGridLayout(Frame1);
    const char* captions[] = {"Dateiname:", "Dateipfad:", "Typ:", "Erstellt:", "Größe:", "Kategorie:", "Bemerkung:"};
    for (int row = 0; row < 7; ++row) grid->addWidget(new QLabel(QString::fromUtf8(captions[row]), Frame1), row, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(txtNew, 1);
    nameRow->addWidget(lblExtension);
    grid->addLayout(nameRow, 0, 1);
    grid->addWidget(lblPath, 1, 1);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(imgTyp);
    typeRow->addWidget(imgZipped);
    typeRow->addStretch();
    grid->addLayout(typeRow, 2, 1);
    grid->addWidget(lblDate, 3, 1);
    grid->addWidget(lblSize, 4, 1);
    grid->addWidget(cboCategory, 5, 1);
    grid->addWidget(txtMemo, 6, 1);

    fraSettings = new QGroupBox(QStringLiteral("Emulator"), this);
    fraSettings->setObjectName(QStringLiteral("fraSettings"));
    cboModel = MakeCombo(fraSettings, "cboModel");
    cboOS = MakeCombo(fraSettings, "cboOS");
    cboVideo = MakeCombo(fraSettings, "cboVideo");
    cboBasic = MakeCombo(fraSettings, "cboBasic");
    txtParam = new QLineEdit(fraSettings);
    txtParam->setObjectName(QStringLiteral("txtParam"));
    txtParam->setMaxLength(255);
    cmdParam = new QPushButton(QStringLiteral("..."), fraSettings);
    cmdParam->setObjectName(QStringLiteral("cmdParam"));
    cmdStart = new QPushButton(QStringLiteral("Start"), fraSettings);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    auto* settings = new QGridLayout(fraSettings);
    settings->addWidget(new QLabel(QStringLiteral("Model:"), fraSettings), 0, 0);
    settings->addWidget(cboModel, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("OS:"), fraSettings), 0, 2);
    settings->addWidget(cboOS, 0, 3);
    settings->addWidget(new QLabel(QStringLiteral("Video:"), fraSettings), 1, 0);
    settings->addWidget(cboVideo, 1, 1);
    settings->addWidget(new QLabel(QStringLiteral("Basic:"), fraSettings), 1, 2);
    settings->addWidget(cboBasic, 1, 3);
    settings->addWidget(new QLabel(QStringLiteral("Parameter:"), fraSettings), 2, 0);
    auto* paramRow = new QHBoxLayout;
    paramRow->addWidget(txtParam, 1);
    paramRow->addWidget(cmdParam);
    paramRow->addWidget(cmdStart);
    settings->addLayout(paramRow, 2, 1, 1, 3);

    MakeOkCancelButtons(this, cmdOk, cmdCancel);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(fraSettings);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &frmFile::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdStart, &QPushButton::clicked, this, &frmFile::cmdStart_Click);
    connect(cmdParam, &QPushButton::clicked, this, &frmFile::cmdParam_Click);
}

void frmFile::FillCategoryCombo()
{
    const auto rs = goDB->OpenRecordset(QStringLiteral("Select ID,tCategory From Category order by tCategory"), dbOpenSnapshot, dbForwardOnly);
    if (!rs) return;
    for (; !rs->IsEOF(); rs->MoveNext())
        cboCategory->addItem(rs->Value(QStringLiteral("tCategory")).text(), rs->Value(QStringLiteral("ID")).toLong());
    rs->Close();
}

bool frmFile::Form_Load()
{
    if (!goDB) return false;
    FillCategoryCombo();
    const auto rs = goDB->OpenRecordset(QStringLiteral("Select * From MainFiles where ID=") + QString::number(FileID),
                                        dbOpenSnapshot);
    if (!rs || rs->IsEOF()) return false;
    mFile = LoadFileInfo(*rs);

    if (imgMain) {
        imgTyp->setPixmap(QPixmap::fromImage(imgMain->ExtractIcon(mFile->Filetyp)));
        // The lists' archive mark, where the list has one.
        if (const int mark = imgMain->IndexOfKey(QStringLiteral("ZIP")); mark > 0)
            imgZipped->setPixmap(QPixmap::fromImage(imgMain->ExtractIcon(mark)));
    }

    // The name box holds the name without its extension, from the last "." on ("PIC.TIFF"
    // shows "PIC" and ".TIFF"); a name without a dot, or with one only in front, has none.
    txtNew->setMaxLength(250);
    const qsizetype dot = mFile->File.lastIndexOf(QLatin1Char('.'));
    const qsizetype split = dot > 0 ? dot : mFile->File.size();
    mtShownName = mFile->File.left(split);
    txtNew->setText(mtShownName);
    lblExtension->setText(mFile->File.mid(split));
    lblSize->setText(FormatFileSize(rs->Value(QStringLiteral("lSize")).toLong()));

    const Variant category = rs->Value(QStringLiteral("Category_ID"));
    cboCategory->setCurrentIndex(category.isNull() ? -1 : cboCategory->findData(category.toLong()));
    if (cboCategory->currentIndex() < 0) cboCategory->setEditText(QString());
    lblDate->setText(rs->Value(QStringLiteral("tsCreated")).text());
    mtPath = mFile->Path;
    if (mFile->UnpackPath.isEmpty()) {
        lblPath->setText(mtPath);
    } else {
        // A file inside an archive keeps its name.
        lblPath->setText(mtPath + QLatin1Char('\\') + mFile->UnpackPath);
        imgZipped->show();
        txtNew->setEnabled(false);
        txtNew->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); }"));
    }
    mlCategory = category.toLong();
    if (mlCategory == 0) mlCategory = -1;
    rs->Close();

    FillBasicCombo(cboBasic, mFile->iBasic);
    FillModelCombo(cboModel, mFile->iModel);
    FillOSCombo(cboOS, mFile->iOS);
    FillVideoCombo(cboVideo, mFile->iVideo);
    txtParam->setText(mFile->Param);
    txtMemo->setText(mFile->Memo);

    if (mFile->Filetyp < kFirstViewedType) {
        LoadFormPos(this);
    } else {
        // Viewed files: a short window without the emulator settings, centred.
        fraSettings->hide();
        resize(sizeHint().width(), 3700 / kTwips);
        CentreWindow(this);
    }
    TranslateForm(this, true, false);
    setWindowTitle(windowTitle() + QStringLiteral(": ") + mtShownName);
    Changed = false;
    mbLoaded = true;
    return true;
}

int frmFile::exec()
{
    if (!Form_Load()) return QDialog::Rejected;
    return QDialog::exec();
}

void frmFile::done(int result)
{
    if (mbLoaded) {
        mbLoaded = false;
        ResetLangContext();
        if (mFile->Filetyp < kFirstViewedType) SaveFormPos(this);
    }
    QDialog::done(result);
}

void frmFile::SettingsChanged()
{
    if (cboVideo->currentText() == VideoText(mFile->iVideo) && cboOS->currentText() == OSText(mFile->iOS) &&
        cboModel->currentText() == ModelText(mFile->iModel) && cboBasic->currentText() == BasicText(mFile->iBasic) &&
        txtMemo->text() == mFile->Memo && txtParam->text() == mFile->Param)
        return;
    mbSettings = true;
    mFile->iBasic = ChosenCode(cboBasic);
    mFile->iModel = ChosenCode(cboModel);
    mFile->iOS = ChosenCode(cboOS);
    mFile->iVideo = ChosenCode(cboVideo);
    mFile->Memo = txtMemo->text();
    mFile->Param = txtParam->text();
}

void frmFile::cmdStart_Click()
{
    SettingsChanged();
    QString profil;
    StartFileFn(FileID, profil, mFile);
}

void frmFile::cmdParam_Click()
{
    const QString parameter = PickParameterFn(this);
    if (!parameter.isEmpty()) txtParam->setText(parameter);
}

void frmFile::cmdOk_Click()
{
    // The chosen category is kept aside until the row is written, so that an OK refused
    // further down still writes it on the next try.
    qint32 category = mlCategory;
    bool categoryChanged = false;
    const int index = ChosenIndex(cboCategory);
    if (index >= 0) {
        const qint32 chosen = cboCategory->itemData(index).toInt();
        categoryChanged = chosen != mlCategory;
        category = chosen;
    } else if (!cboCategory->currentText().isEmpty()) {
        DbError err;
        category = GetCategoryID(cboCategory->currentText(), &err);
        if (err) {
            MsgBox(QStringLiteral("Category-Error: ") + FailureText(QStringLiteral("Fehler beim Speichern der Kategorie: "), err.description), vbCritical, QString(), this);
            return;
        }
        categoryChanged = true;
    } else if (mlCategory != -1) {
        category = -1;
        categoryChanged = true;
    }

    QString newName = txtNew->text();
    const QString folder = GetFolderPart(mtPath);
    const bool rename = newName != mtShownName && mFile->UnpackPath.isEmpty() && !newName.isEmpty();
    if (rename) {
        if (!newName.endsWith(lblExtension->text(), Qt::CaseInsensitive)) newName += lblExtension->text();
        if (!FileExistsMsg(mtPath)) return;
        // A name is no path: a separator would move the file into another folder.
        if (newName.contains(QLatin1Char('/')) || !QFile::rename(mtPath, folder + newName)) {
            QString text = Translate(QStringLiteral("Datei konnte nicht umbenannt werden!"));
            // The usual cause, a file of that name in the folder, is said with the name.
            if (!newName.contains(QLatin1Char('/')) && QFileInfo::exists(folder + newName))
                text += QLatin1Char('\n') + Translate(QStringLiteral("Dieser Name besteht schon!")) + QLatin1Char('\n') +
                        folder + newName;
            MsgBox(text, vbExclamation, kAppTitle, this);
            return;
        }
    }
    SettingsChanged();
    if (!categoryChanged && !rename && !mbSettings) {
        accept();
        return;
    }

    DbError err;
    const auto rs = goDB->OpenRecordset(QStringLiteral("Select * From MainFiles where ID=") + QString::number(FileID),
                                        dbOpenDynaset);
    if (!rs || rs->IsEOF()) err = rs ? MakeDbError(dbErrNoCurrentRecord) : goDB->LastError();
    if (!err) err = rs->Edit();
    const auto set = [&](const char* field, const Variant& value) {
        if (!err) err = rs->Fields(QString::fromLatin1(field)).SetValue(value);
    };
    if (rename) {
        set("tFile", newName);
        set("tPath", folder + newName);
    }
    if (categoryChanged) set("Category_ID", category == -1 ? Variant::null() : Variant(category));
    set("iBasic", NullIfZero(mFile->iBasic));
    set("iModel", NullIfZero(mFile->iModel));
    set("iOS", NullIfZero(mFile->iOS));
    set("iVideo", NullIfZero(mFile->iVideo));
    set("tMemo", NullIfEmpty(mFile->Memo));
    set("tParam", NullIfEmpty(mFile->Param));
    if (!err) err = rs->Update();
    if (rs) rs->Close();
    if (err) {
        // The catalogue must keep pointing at the file: a rename it did not take is undone.
        if (rename) QFile::rename(folder + newName, mtPath);
        MsgBox(QStringLiteral("Error: ") + FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), err.description), vbCritical, QString(), this);
        return;
    }
    mlCategory = category;
    Changed = true;
    accept();
}

} // namespace tv
