#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class clsFileInfo;
class ImageList;

// Shows and edits what the catalogue keeps about one file: its name (renamed on disk and in
// the catalogue), category, start settings, memo and extra command-line text; starts it with
// the settings as they stand. The caller sets FileID and imgMain, shows the window modally
// and re-reads its lists when Changed is True afterwards.
class frmFile : public QDialog {
    Q_OBJECT
public:
    explicit frmFile(QWidget* parent = nullptr);

    qint32 FileID = 0;
    std::shared_ptr<ImageList> imgMain;  // file-type icons: image n belongs to type code n
    bool Changed = false;                // the OK button wrote the row

    // The start and the parameter picker; tests put their own in place.
    std::function<QString(qint32 fileID, QString& profilKey, std::shared_ptr<clsFileInfo>& file)> StartFileFn;
    std::function<QString(QWidget* owner)> PickParameterFn;

    // Fills the window from the catalogue; false when the row is gone (exec() then shows
    // nothing). exec() calls it first.
    bool Form_Load();
    int exec() override;
    void done(int result) override;

private:
    void cmdOk_Click();
    void cmdStart_Click();
    void cmdParam_Click();
    void SettingsChanged();
    void FillCategoryCombo();

    QGroupBox* Frame1;
    QLineEdit* txtNew;
    QLabel* lblExtension;
    QLabel* lblPath;
    QLabel* imgTyp;
    QLabel* imgZipped;
    QLabel* lblDate;
    QLabel* lblSize;
    QComboBox* cboCategory;
    QLineEdit* txtMemo;
    QGroupBox* fraSettings;
    QComboBox* cboModel;
    QComboBox* cboOS;
    QComboBox* cboVideo;
    QComboBox* cboBasic;
    QLineEdit* txtParam;
    QPushButton* cmdParam;
    QPushButton* cmdStart;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    std::shared_ptr<clsFileInfo> mFile;
    QString mtPath;          // MainFiles.tPath as loaded
    QString mtShownName;     // the name box's text at load
    qint32 mlCategory = -1;  // the stored category, -1 for none
    bool mbSettings = false; // the settings differed from the record once
    bool mbLoaded = false;
};

} // namespace tv
