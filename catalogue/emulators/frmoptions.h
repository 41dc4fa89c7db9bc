#pragma once

#include "catalogue/emulators/frmeditemu.h"
#include "catalogue/emulators/modemulator.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tv {

// The options window: the emulator and profile tree with its commands, the start profile
// per emulated file type, and the import and viewer settings. It works on copies of the
// program's emulators, profiles and profile keys and hands them over on OK; Cancel drops
// them. The main window reads `EmulChanged` and `ProfilsChanged` afterwards and rebuilds
// its profile menu when either is set.
class frmOptions : public QDialog {
public:
    // Set while the window runs; ProfilsChanged stays set for the rest of the run once set.
    static bool EmulChanged;
    static bool ProfilsChanged;

    enum TreeCommandIndex { kCmdNew = 0, kCmdEdit = 1, kCmdDelete = 2, kCmdCopy = 3, kCmdPaste = 4 };
    static constexpr int kFileBoxes = 25;   // the last one (".VFL") is never shown

    // How the editors are shown; tests put their own here to fill and confirm them unseen.
    ShowModalFn ShowModal;

    explicit frmOptions(QWidget* parent = nullptr);

    // Takes the working copies and builds the tree; call before showing. Selects the tab
    // that was open when the window last closed.
    void Form_Load();
    // Moves `step` pages on (back when negative), round the end, and gives the keys to the
    // new page.
    void StepPage(int step);

    void MyTab_Click();
    void TreeCommand(int index);
    void UpdateTreeButtons();
    void chkAllFiles_Click();
    // Ticks "Alle" exactly when every extension box shown is ticked.
    void UpdateAllFiles();
    void cmdEditor_Click();
    void cmdOk_Click();

    // Tree rules, also used by the commands.
    int CountActiveEmulators();
    bool IsLastActiveProfil(const QString& profilKey);
    void SetOptionActive(const QString& profilKey, const QString& text, bool active);
    bool DeleteProfil(const QString& profilKey);

    // Working state, readable by tests.
    EmulatorCollection mcolEmulators;
    ProfilCollection mcolProfils;
    QString mtProfilDefault;
    QStringList maExtProfil;
    QString mtClipKey;

    QTabWidget* MyTab;
    QTreeWidget* treeProfils;
    std::array<QPushButton*, 5> cmdTree{};
    QMenu* mnuTree;
    std::array<QComboBox*, 12> cboProfils{};   // 0 to 10 the extensions, 11 the default profile
    std::array<QCheckBox*, kFileBoxes> chkFiles{};
    QCheckBox* chkAllFiles;
    QLineEdit* txtEditor;
    QToolButton* cmdEditor;
    QLineEdit* txtSize;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // Tree node helpers: level 0 root, 1 emulator, 2 profile, 3 option entry.
    static int NodeLevel(const QTreeWidgetItem* node);
    static QString NodeTag(const QTreeWidgetItem* node);

protected:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTree();
    QTreeWidgetItem* AddEmulatorNode(const QString& emulKey);
    QTreeWidgetItem* AddProfilNode(QTreeWidgetItem* emulNode, const QString& profilKey);
    QTreeWidgetItem* AddParamNode(QTreeWidgetItem* profilNode, const QString& text, bool active);
    void NodeCheck(QTreeWidgetItem* node);
    void SetChecked(QTreeWidgetItem* node, bool checked);
    clsEmulator* Emulator(const QString& key);
    clsProfil* Profil(const QString& key);
    bool ClipSourceExists();   // the copied emulator or profile is not deleted
    bool EditEmulatorNode(const QString& sourceKey, bool asCopy);
    bool EditProfilNode(const QString& emulKey, const QString& sourceKey, bool asCopy);
    bool EditParamNode(const QString& text, bool asNew);
    QString OpenProfilEditor(const QString& emulKey, const QString& profilKey, bool asCopy);
    QString OpenParamEditor(const QString& profilKey, const QString& text, bool asNew);
    void DeleteNode(QTreeWidgetItem* node);
    void Select(QTreeWidgetItem* node);
    void BuildFilesPage();
    void RefillProfilLists();
    void RememberTree();
    void cboProfils_Click(int row);

    QLabel* lblViewer_ = nullptr;
    QString clipPath_;
    int clipLevel_ = 0;
    bool paramsChanged_ = false;
    bool refill_ = false;
    bool filesBuilt_ = false;
    bool dbLoaded_ = false;
    bool checkGuard_ = false;
    bool loaded_ = false;
};

} // namespace tv
