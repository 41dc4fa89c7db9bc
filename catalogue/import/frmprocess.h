#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vantile {
class ListView;
}

namespace tv {

class clsFileManager;
class ImageList;
class Object;

// The modal job window in which every long catalogue job runs: adding a folder or one file,
// checking the catalogue against the disk (with re-linking and deleting of missing files),
// compacting, and the pass over the marked files. The caller sets the public fields, shows
// the window modally and reads StatusMsg, Action and NewFileID when it has closed. The job
// runs on the window's first activation and serves the event loop while it works; the
// cancel button stops it at its next check and becomes "OK" when it is done.
class frmProcess : public QDialog {
    Q_OBJECT
public:
    // Jobs (Action before the job) and results (Action after it).
    enum ActionCode : int {
        actAddFolder = 1,
        actCheck = 2,       // also after a check that changed nothing
        actCompact = 3,
        actChanged = 4,     // the catalogue changed: the caller rebuilds its views
        actAddFile = 5,
        actUpdate = 6,
        actMarkedPass = 9,
        actMarkedList = 10,
    };
    // Icon numbers of result rows.
    static constexpr int kIconDeleted = 22;
    static constexpr int kIconMissing = 27;

    explicit frmProcess(QWidget* parent = nullptr);
    ~frmProcess() override;

    int Action = 0;
    QStringList ActFolders;   // check job: folders offered as new folders when re-linking
    QString StartPath;        // folder or file to add
    qint32 NewFileID = 0;     // one-file job: the result of LoadFile
    QString StatusMsg;        // closing text; for the marked-files list the target path
    std::shared_ptr<Object> UpdateDB;  // kept for callers; the window does not use it
    clsFileManager* mFileManager = nullptr;  // lent by the caller; let go when the window closes
    std::shared_ptr<ImageList> imgMain;      // icons of the result rows, by number
    // Marked-files jobs: the rows marked in the main window's file list, in list order.
    std::function<QList<int>()> lstMainFiles;

    // Sets the window up for Action; exec() calls it first.
    void Form_Load();
    // Runs the job the first time it is called (the window's first activation); later calls
    // do nothing.
    void Form_Activate();
    int exec() override;
    // Closing asks while a job runs and refuses during a compact.
    void done(int result) override;

    // The duration text of the status label for a job of `ms` milliseconds.
    static QString DurationText(qint64 ms);
    // A file name or engine message as the job's log shows it: on one line, with control
    // characters as their codes ("<0A>") and bytes that are no UTF-8 as U+FFFD.
    static QString LogText(const QString& text);

    // The check job's commands, the way its buttons run them: re-link the open rows (to the
    // new folder, replacing `oldFolder` in their paths when given, else searching below the
    // new folder by name) and delete the open rows' catalogue entries.
    void Relink(const QString& newFolder, const QString& oldFolder);
    void DeleteMissing();
    // The folders of the missing files, in the order first met (offered as old folders).
    const QStringList& MissingFolders() const { return mcolMissingFolders; }

    // Parts the tests drive.
    vantile::ListView* ResultList() const { return lstResult; }
    QString ProcessText() const;
    QString StatusText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void mFileManager_ShowMessage(const QString& tMsg, int iTyp);
    void AddResultRow(const QString& text, int number);
    void ShowStatus(const QString& text);
    // The count of added files and the files per second, in the status line while adding.
    void ShowRate(bool now);
    void cmdCancel_Click();
    void cmdNewPath_Click();
    QList<int> MarkedFiles() const;
    void SetDone();
    // After an add job that a failed write stopped, or that could not search archives: one
    // message with the totals and the reasons.
    void ReportJobFailures();
    void ServeEvents();
    // ServeEvents at most every kServeEveryMs: for the files of a folder, each a matter of
    // microseconds, whose repainting would otherwise take most of the import's time.
    void ServeEventsNowAndThen();
    static constexpr int kServeEveryMs = 25;
    // False when the window must stay open.
    bool QueryUnload();
    void ReleaseFileManager();
    void SetupResultList(bool checkColumns);

    QString RunAddJob(qint64& elapsedMs);
    qint32 AddDirectory(const QString& folder);
    QString RunMarkedPass();
    QString CheckFiles();
    qint32 RelinkFoundFile(const QString& newFolder, const QString& oldFolder);
    qint32 SearchMissingFiles(const QString& folder);
    // Before and after a re-link or a deletion.
    void BeginRowCommand();
    void EndRowCommand(const QString& countLabel, qint32 count);

    QLabel* lblProcess;
    QLabel* lblStatus;
    QProgressBar* progBar;
    vantile::ListView* lstResult;
    QPushButton* cmdCancel;
    QPushButton* cmdNewPath;
    QPushButton* cmdDelete;

    bool mbCancel = false;
    bool mbFirstActivate = true;
    bool mbRunning = false;     // a job or a row command is running
    bool mbLoaded = false;
    bool mbOkButton = false;    // the cancel button has become "OK"
    int miJob = 0;              // Action at load
    int mlLoadFlags = 0;
    qint32 mlNotFound = 0;
    bool mbChanged = false;
    QStringList mcolMissingFolders;
    int miMinHeight = 0;        // pixels
    QMetaObject::Connection mMessageConnection;
    QElapsedTimer mRateClock;   // since the add job started
    QElapsedTimer mServeClock;  // since events were last served for a file
    qint64 mlRateShownMs = -1;  // when the status line last showed the rate
    qint32 mlAdded = 0;         // files added by the running job
};

} // namespace tv
