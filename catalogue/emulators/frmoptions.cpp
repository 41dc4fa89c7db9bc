#include "frmoptions.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/frmeditparams.h"
#include "catalogue/emulators/frmeditprofil.h"
#include "catalogue/emulators/frmparameter.h"
#include "catalogue/emulators/modoptions.h"
#include "platform/gui/msgbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QKeyEvent>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tv {

bool frmOptions::EmulChanged = false;
bool frmOptions::ProfilsChanged = false;

namespace {

constexpr int kTagRole = Qt::UserRole;
constexpr int kCheckedRole = Qt::UserRole + 1;   // the check state the working data holds
constexpr int kDefaultRow = 11;

// What the window remembers between its openings while the program runs.
struct RunState {
    QSet<QString> expanded;   // full paths of expanded nodes, case-folded
    QString selectedPath;
    int lastTab = 0;
};
RunState& Remembered()
{
    static RunState state;
    return state;
}

const std::array<const char*, frmOptions::kFileBoxes> kFileCaptions{
    ".ATR", ".BAS", ".COM", ".CAS", ".ROM", ".PRO", ".XEX", ".DCM", ".XFD", ".TXT", ".NFO", ".DIZ", ".BMP",
    ".PNG", ".JPG", ".PDF", ".GIF", ".EXE", ".BIN", ".7Z",  ".ZIP", ".RAR", ".CAB", ".TIFF", ".VFL"};

QString TabKey(int index)
{
    static const QStringList keys{QStringLiteral("EMUL"), QStringLiteral("FILES"), QStringLiteral("DB")};
    return keys.value(index);
}

QString DefaultRowCaption() { return QStringLiteral("(") + Translate(QStringLiteral("Standardprofil")) + ")"; }

} // namespace

frmOptions::frmOptions(QWidget* parent)
    : QDialog(parent),
      MyTab(new QTabWidget(this)),
      treeProfils(new QTreeWidget(this)),
      mnuTree(new QMenu(this)),
      chkAllFiles(new QCheckBox(QStringLiteral("Alle"), this)),
      txtEditor(new QLineEdit(this)),
      cmdEditor(new QToolButton(this)),
      txtSize(new QLineEdit(this)),
      cmdOk(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Optionen"));

    // Page "Emulatorprofile": the tree and its five commands.
    auto* emulPage = new QWidget(MyTab);
    auto* emulLayout = new QHBoxLayout(emulPage);
    treeProfils->setHeaderHidden(true);
    treeProfils->setExpandsOnDoubleClick(false);   // a double click edits the node
    treeProfils->setContextMenuPolicy(Qt::CustomContextMenu);
    treeProfils->setMinimumSize(360, 300);
    emulLayout->addWidget(treeProfils);
    auto* commands = new QVBoxLayout;
    const char* captions[] = {"Neu", "Bearbeiten", "Löschen", "Kopieren", "Einfügen"};
    for (int i = 0; i < 5; ++i) {
        cmdTree[size_t(i)] = new QPushButton(QString::fromUtf8(captions[i]), emulPage);
        cmdTree[size_t(i)]->setEnabled(false);
        commands->addWidget(cmdTree[size_t(i)]);
        QAction* item = mnuTree->addAction(QString::fromUtf8(captions[i]));
        item->setEnabled(false);
        connect(cmdTree[size_t(i)], &QPushButton::clicked, this, [this, i] { TreeCommand(i); });
        connect(item, &QAction::triggered, this, [this, i] { TreeCommand(i); });
    }
    commands->addStretch();
    emulLayout->addLayout(commands);
    MyTab->addTab(emulPage, QStringLiteral("Emulatorprofile"));

    // Page "Profilzuordnung": one row per emulated extension and the default row.
    auto* filesPage = new QWidget(MyTab);
    auto* filesGrid = new QGridLayout(filesPage);
    filesGrid->addWidget(new QLabel(QStringLiteral("Dateiendung"), filesPage), 0, 0);
    filesGrid->addWidget(new QLabel(QStringLiteral("Emulatorprofil"), filesPage), 0, 1);
    for (int i = 0; i <= kDefaultRow; ++i) {
        auto* label = new QLabel(filesPage);
        label->setObjectName(QStringLiteral("lblExtension%1").arg(i));
        label->setProperty("Tag", QStringLiteral("-"));   // extensions are not translated
        cboProfils[size_t(i)] = new QComboBox(filesPage);
        cboProfils[size_t(i)]->setMinimumWidth(280);
        filesGrid->addWidget(label, i + 1, 0);
        filesGrid->addWidget(cboProfils[size_t(i)], i + 1, 1);
        connect(cboProfils[size_t(i)], &QComboBox::currentIndexChanged, this, [this, i] { cboProfils_Click(i); });
    }
    MyTab->addTab(filesPage, QStringLiteral("Profilzuordnung"));

    // Page "Datenbank".
    auto* dbPage = new QWidget(MyTab);
    auto* dbLayout = new QVBoxLayout(dbPage);
    auto* filesBox = new QGridLayout;
    dbLayout->addWidget(new QLabel(QStringLiteral("Dateien"), dbPage));
    for (int i = 0; i < kFileBoxes; ++i) {
        chkFiles[size_t(i)] = new QCheckBox(QString::fromLatin1(kFileCaptions[size_t(i)]), dbPage);
        chkFiles[size_t(i)]->setProperty("Tag", QStringLiteral("-"));
        filesBox->addWidget(chkFiles[size_t(i)], i / 6, i % 6);
    }
    chkFiles[kFileBoxes - 1]->hide();
    filesBox->addWidget(chkAllFiles, 4, 5);
    dbLayout->addLayout(filesBox);
    auto* viewer = new QHBoxLayout;
    lblViewer_ = new QLabel(QStringLiteral("Text-Viewer:"), dbPage);
    viewer->addWidget(lblViewer_);
    viewer->addWidget(txtEditor);
    cmdEditor->setText(QStringLiteral("..."));
    cmdEditor->setToolTip(QStringLiteral("Text-Viewer"));
    viewer->addWidget(cmdEditor);
    dbLayout->addLayout(viewer);
    dbLayout->addWidget(new QLabel(QStringLiteral("Datei importieren"), dbPage));
    auto* size = new QHBoxLayout;
    size->addWidget(new QLabel(QStringLiteral("Nachfragen vor dem Entpacken von Dateien mit einer Größe ab:"), dbPage));
    size->addWidget(txtSize);
    size->addWidget(new QLabel(QStringLiteral("Mb"), dbPage));
    dbLayout->addLayout(size);
    dbLayout->addStretch();
    MyTab->addTab(dbPage, QStringLiteral("Datenbank"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MyTab);
    auto* buttons = ButtonRow({cmdOk, cmdCancel});
    layout->addLayout(buttons);
    cmdOk->setDefault(true);

    connect(MyTab, &QTabWidget::currentChanged, this, [this] { MyTab_Click(); });
    // The pages turn by Ctrl+Tab and Ctrl+Bild-ab (back with Shift or Bild-auf) wherever the
    // focus is: a drop-down list would keep Ctrl+Tab for itself and take Ctrl+Bild-ab for
    // another entry, changing a profile unseen.
    const std::pair<QKeySequence, int> pageKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [keys, step] : pageKeys) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { StepPage(step); });
    }
    // Return on a node edits it, as a double click does; it must not reach "OK".
    treeProfils->installEventFilter(this);
    connect(treeProfils, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node) { NodeCheck(node); });
    connect(treeProfils, &QTreeWidget::currentItemChanged, this, [this] { UpdateTreeButtons(); });
    connect(treeProfils, &QTreeWidget::itemDoubleClicked, this, [this] { TreeCommand(kCmdEdit); });
    connect(treeProfils, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateTreeButtons();
        mnuTree->popup(treeProfils->viewport()->mapToGlobal(pos));
    });
    connect(chkAllFiles, &QCheckBox::clicked, this, [this] { chkAllFiles_Click(); });
    for (QCheckBox* box : chkFiles) connect(box, &QCheckBox::toggled, this, [this] { UpdateAllFiles(); });
    connect(cmdEditor, &QToolButton::clicked, this, [this] { cmdEditor_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

// ---- working state --------------------------------------------------------------------

clsEmulator* frmOptions::Emulator(const QString& key)
{
    EmulatorPtr* emu = mcolEmulators.item(key);
    return emu ? emu->get() : nullptr;
}

clsProfil* frmOptions::Profil(const QString& key)
{
    ProfilPtr* profil = mcolProfils.item(key);
    return profil ? profil->get() : nullptr;
}

int frmOptions::NodeLevel(const QTreeWidgetItem* node)
{
    int level = 0;
    for (; node && node->parent(); node = node->parent()) ++level;
    return level;
}

QString frmOptions::NodeTag(const QTreeWidgetItem* node) { return node ? node->data(0, kTagRole).toString() : QString(); }

void frmOptions::Form_Load()
{
    txtEditor->setText(gtEditor);
    mtProfilDefault = gtProfilDefault;
    mtClipKey.clear();
    for (const auto& entry : gcolEmulators) mcolEmulators.add(CopyEmulator(*entry.value), entry.key);
    for (const auto& entry : gcolProfils) mcolProfils.add(CopyProfil(*entry.value), entry.key);
    maExtProfil = gaExtProfil;
    while (maExtProfil.size() < gaEmulExt.size()) maExtProfil << QString();
    TranslateForm(this, true, false);
    EmulChanged = false;
    paramsChanged_ = false;
    BuildTree();
    LoadFormPos(this);
    loaded_ = true;
    // The remembered tab; selecting it fills its page.
    const QSignalBlocker block(MyTab);
    MyTab->setCurrentIndex(Remembered().lastTab);
    MyTab_Click();
    // The keys go to the page at once (the tree on the first page), not to the tab bar, where
    // the arrow keys would change pages.
    if (QWidget* page = MyTab->currentWidget())
        if (QWidget* first = FirstTabStop(this, page)) first->setFocus(Qt::OtherFocusReason);
}

void frmOptions::StepPage(int step)
{
    const int pages = MyTab->count();
    if (pages < 2) return;
    MyTab->setCurrentIndex(((MyTab->currentIndex() + step) % pages + pages) % pages);
    if (QWidget* first = FirstTabStop(this, MyTab->currentWidget())) first->setFocus(Qt::TabFocusReason);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == treeProfils && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            TreeCommand(kCmdEdit);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- tree -------------------------------------------------------------------------------

void frmOptions::BuildTree()
{
    const QSignalBlocker block(treeProfils);
    treeProfils->clear();
    auto* root = new CaptionItem(treeProfils, {EmulatorsRootText()});
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    for (const auto& entry : mcolEmulators)
        if (!entry.value->Name.isEmpty()) AddEmulatorNode(entry.value->Key);
    root->sortChildren(0, Qt::AscendingOrder);

    QTreeWidgetItem* selected = nullptr;
    for (QTreeWidgetItemIterator it(treeProfils); *it; ++it) {
        const QString path = frmParameter::FullPath(*it);
        if (*it == root || Remembered().expanded.contains(path.toCaseFolded())) (*it)->setExpanded(true);
        if (!selected && path == Remembered().selectedPath) selected = *it;
    }
    treeProfils->setCurrentItem(selected ? selected : root);
    UpdateTreeButtons();
}

void frmOptions::SetChecked(QTreeWidgetItem* node, bool checked)
{
    const QSignalBlocker block(treeProfils);
    node->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    node->setData(0, kCheckedRole, checked);
}

QTreeWidgetItem* frmOptions::AddEmulatorNode(const QString& emulKey)
{
    const clsEmulator* emu = Emulator(emulKey);
    const QSignalBlocker block(treeProfils);
    auto* node = new CaptionItem(treeProfils->topLevelItem(0), {emu->Name});
    node->setData(0, kTagRole, emulKey);
    node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
    SetChecked(node, emu->Aktiv);
    QFont bold = node->font(0);
    bold.setBold(true);
    node->setFont(0, bold);
    node->setForeground(0, QColor(0, 0, 255));
    for (const auto& entry : mcolProfils)
        if (!entry.value->Name.isEmpty() && entry.value->EmulKey == emulKey) AddProfilNode(node, entry.value->Key);
    node->sortChildren(0, Qt::AscendingOrder);
    return node;
}

QTreeWidgetItem* frmOptions::AddProfilNode(QTreeWidgetItem* emulNode, const QString& profilKey)
{
    const clsProfil* profil = Profil(profilKey);
    const QSignalBlocker block(treeProfils);
    auto* node = new CaptionItem(emulNode, {profil->Name});
    node->setData(0, kTagRole, profilKey);
    node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
    SetChecked(node, profil->Aktiv);
    const OptionTable list = ParseOptions(profil->Options);
    if (!(list.size() == 1 && list[0].Flag == kOptionEmptyMark))
        for (const OptionEntry& option : list) AddParamNode(node, option.Text, option.Flag.toInt() != 0);
    emulNode->sortChildren(0, Qt::AscendingOrder);
    return node;
}

QTreeWidgetItem* frmOptions::AddParamNode(QTreeWidgetItem* profilNode, const QString& text, bool active)
{
    const QSignalBlocker block(treeProfils);
    auto* node = new CaptionItem(profilNode, {text});
    node->setData(0, kTagRole, text);
    node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
    SetChecked(node, active);
    profilNode->sortChildren(0, Qt::AscendingOrder);
    return node;
}

int frmOptions::CountActiveEmulators()
{
    int count = 0;
    for (const auto& entry : mcolEmulators)
        if (!entry.value->Name.isEmpty() && entry.value->Aktiv) ++count;
    if (count == 1) MsgBox(Translate(QStringLiteral("Ein Emulator muss aktiv sein!")), vbInformation, {}, this);
    return count;
}

bool frmOptions::IsLastActiveProfil(const QString& profilKey)
{
    int count = 0;
    for (const auto& entry : mcolProfils)
        if (!entry.value->Name.isEmpty() && entry.value->Aktiv) ++count;
    const clsProfil* profil = Profil(profilKey);
    if (profil && profil->Aktiv && count == 1) {
        MsgBox(Translate(QStringLiteral("Ein Profil muss aktiv sein!")), vbInformation, {}, this);
        return true;
    }
    return false;
}

void frmOptions::SetOptionActive(const QString& profilKey, const QString& text, bool active)
{
    clsProfil* profil = Profil(profilKey);
    if (!profil) return;
    OptionTable list = ParseOptions(profil->Options);
    for (OptionEntry& option : list) {
        if (option.Text == text) {
            option.Flag = active ? QStringLiteral("1") : QStringLiteral("0");
            break;
        }
    }
    JoinOptions(list, profil->Options);
    paramsChanged_ = true;
}

void frmOptions::NodeCheck(QTreeWidgetItem* node)
{
    // The tree reports every change of a node; only a changed box is a tick or untick.
    const bool ticked = node->checkState(0) == Qt::Checked;
    if (checkGuard_ || ticked == node->data(0, kCheckedRole).toBool()) return;
    checkGuard_ = true;
    const QString tag = NodeTag(node);
    bool refused = false;
    switch (NodeLevel(node)) {
    case 1: {
        clsEmulator* emu = Emulator(tag);
        if (ticked) {
            emu->Aktiv = true;
            EmulChanged = true;
            for (int i = 0; i < node->childCount(); ++i) {
                Profil(NodeTag(node->child(i)))->Aktiv = true;
                SetChecked(node->child(i), true);
                ProfilsChanged = true;
            }
        } else if (CountActiveEmulators() == 1) {
            refused = true;
        } else {
            for (const auto& entry : mcolProfils) {
                if (entry.value->Name.isEmpty() || entry.value->EmulKey != tag) continue;
                if (IsLastActiveProfil(entry.value->Key)) {
                    refused = true;
                    break;
                }
                entry.value->Aktiv = false;
                ProfilsChanged = true;
                for (int i = 0; i < node->childCount(); ++i)
                    if (NodeTag(node->child(i)) == entry.value->Key) SetChecked(node->child(i), false);
            }
            if (!refused) {
                emu->Aktiv = false;
                EmulChanged = true;
            }
        }
        break;
    }
    case 2:
        if (ticked) {
            Emulator(NodeTag(node->parent()))->Aktiv = true;
            SetChecked(node->parent(), true);
            EmulChanged = true;
            Profil(tag)->Aktiv = true;
            ProfilsChanged = true;
        } else if (IsLastActiveProfil(tag)) {
            refused = true;
        } else {
            Profil(tag)->Aktiv = false;
            ProfilsChanged = true;
        }
        break;
    case 3:
        if (ticked) {
            Profil(NodeTag(node->parent()))->Aktiv = true;
            SetChecked(node->parent(), true);
            ProfilsChanged = true;
        }
        SetOptionActive(NodeTag(node->parent()), tag, ticked);
        break;
    default:
        break;
    }
    // The tree applies the click before this handler runs, so a refusal ticks the box again.
    SetChecked(node, refused || ticked);
    checkGuard_ = false;
}

// ---- tree commands ----------------------------------------------------------------------

void frmOptions::UpdateTreeButtons()
{
    const QTreeWidgetItem* node = treeProfils->currentItem();
    const int level = NodeLevel(node);
    static const char* newCaptions[] = {"Neuer Emulator", "Neues Profil", "Neuer Parameter", "Neuer Parameter"};
    const QList<QAction*> items = mnuTree->actions();
    const QString caption = Translate(QString::fromLatin1(newCaptions[level]));
    const bool states[5] = {level < 3, node && level != 0, node && level != 0, node && level != 0,
                            !mtClipKey.isEmpty() && level == clipLevel_ - 1};
    for (int i = 0; i < 5; ++i) {
        cmdTree[size_t(i)]->setEnabled(states[i]);
        items[i]->setEnabled(states[i]);
    }
    cmdTree[0]->setText(caption);
    items[0]->setText(caption);
}

void frmOptions::Select(QTreeWidgetItem* node)
{
    treeProfils->setCurrentItem(node);
    treeProfils->scrollToItem(node);
    UpdateTreeButtons();
}

void frmOptions::TreeCommand(int index)
{
    QTreeWidgetItem* node = treeProfils->currentItem();
    if (!node || index < 0 || index > 4) return;
    const int level = NodeLevel(node);
    const QString tag = NodeTag(node);
    switch (index) {
    case kCmdNew:
        if (level == 0) EditEmulatorNode({}, false);
        else if (level == 1) EditProfilNode(tag, {}, false);
        else if (level == 2) EditParamNode({}, false);
        break;
    case kCmdEdit:
        if (level == 1) {
            if (!EditEmulator(mcolEmulators, nullptr, tag, false, this, ShowModal).isEmpty()) {
                node->setText(0, Emulator(tag)->Name);
                refill_ = true;
                EmulChanged = true;
            }
        } else if (level == 2) {
            if (!OpenProfilEditor(Profil(tag)->EmulKey, tag, false).isEmpty()) {
                node->setText(0, Profil(tag)->Name);
                refill_ = true;
                ProfilsChanged = true;
            }
        } else if (level == 3) {
            const QString text = OpenParamEditor(NodeTag(node->parent()), tag, false);
            if (!text.isEmpty()) {
                const QSignalBlocker block(treeProfils);
                node->setText(0, text);
                node->setData(0, kTagRole, text);
                paramsChanged_ = true;
            }
        }
        break;
    case kCmdDelete:
        if (level > 0) DeleteNode(node);
        break;
    case kCmdCopy:
        if (level > 0) {
            mtClipKey = tag;
            clipLevel_ = level;
            clipPath_ = frmParameter::FullPath(node);
            UpdateTreeButtons();
        }
        break;
    case kCmdPaste:
        if (mtClipKey.isEmpty() || level != clipLevel_ - 1) break;
        if (level == 0) EditEmulatorNode(mtClipKey, true);
        else if (level == 1) EditProfilNode(tag, mtClipKey, true);
        else if (level == 2) EditParamNode(mtClipKey, true);
        break;
    default:
        break;
    }
}

bool frmOptions::EditEmulatorNode(const QString& sourceKey, bool asCopy)
{
    const int before = mcolProfils.count();
    const QString key = EditEmulator(mcolEmulators, &mcolProfils, sourceKey, asCopy, this, ShowModal);
    if (key.isEmpty()) return false;
    EmulChanged = true;
    if (asCopy) {
        const int count = mcolProfils.count();
        for (int i = 1; i <= count; ++i) {
            const clsProfil& source = **mcolProfils.item(i);
            if (!source.Name.isEmpty() && source.EmulKey == sourceKey)
                AddProfil(mcolProfils, key, source.Name, source.Options, source.Aktiv, 0);
        }
    }
    if (mcolProfils.count() != before) ProfilsChanged = true;
    QTreeWidgetItem* node = AddEmulatorNode(key);
    treeProfils->topLevelItem(0)->sortChildren(0, Qt::AscendingOrder);
    node->setExpanded(true);
    Select(node);
    refill_ = true;
    return true;
}

QString frmOptions::OpenProfilEditor(const QString& emulKey, const QString& profilKey, bool asCopy)
{
    frmEditProfil form(this);
    form.ActEmul = *mcolEmulators.item(emulKey);
    form.ActProfilsCol = &mcolProfils;
    form.ActProfilKey = profilKey;
    form.MainProfilKey = mtProfilDefault;
    form.Copy = asCopy;
    if (!asCopy || !form.SaveProfil(Profil(profilKey)->Name, true)) {
        form.Form_Load();
        RunModal(form, ShowModal);
    }
    if (!form.Changed) return {};
    mtProfilDefault = form.MainProfilKey;
    return form.ActProfilKey;
}

QString frmOptions::OpenParamEditor(const QString& profilKey, const QString& text, bool asNew)
{
    frmEditParams form(this);
    form.ActEmulCol = &mcolEmulators;
    form.ActProfilCol = &mcolProfils;
    form.ActProfilKey = profilKey;
    form.Copy = asNew;
    form.Parameter = text;
    if (!asNew || !form.SaveParam(text)) {
        form.Form_Load();
        RunModal(form, ShowModal);
    }
    return form.Changed ? form.Parameter : QString();
}

bool frmOptions::EditProfilNode(const QString& emulKey, const QString& sourceKey, bool asCopy)
{
    QTreeWidgetItem* emulNode = treeProfils->currentItem();
    const QString key = OpenProfilEditor(emulKey, sourceKey, asCopy);
    if (key.isEmpty()) return false;
    ProfilsChanged = true;
    emulNode->setExpanded(true);
    if (asCopy) Profil(key)->Options = Profil(sourceKey)->Options;
    Select(AddProfilNode(emulNode, key));
    refill_ = true;
    return true;
}

bool frmOptions::EditParamNode(const QString& text, bool asNew)
{
    QTreeWidgetItem* profilNode = treeProfils->currentItem();
    const QString result = OpenParamEditor(NodeTag(profilNode), text, asNew);
    if (result.isEmpty()) return false;
    paramsChanged_ = true;
    profilNode->setExpanded(true);
    Select(AddParamNode(profilNode, result, true));
    return true;
}

bool frmOptions::DeleteProfil(const QString& profilKey)
{
    if (IsLastActiveProfil(profilKey)) return false;
    clsProfil* profil = Profil(profilKey);
    if (!profil) return false;
    profil->Name.clear();
    profil->EmulKey.clear();
    if (mtProfilDefault == profilKey) {
        for (const auto& entry : mcolProfils) {
            if (!entry.value->Name.isEmpty() && entry.value->Aktiv) {
                mtProfilDefault = entry.value->Key;
                break;
            }
        }
    }
    for (QString& key : maExtProfil)
        if (key == profilKey) key.clear();
    refill_ = true;
    ProfilsChanged = true;
    return true;
}

void frmOptions::DeleteNode(QTreeWidgetItem* node)
{
    const QString tag = NodeTag(node);
    const QString path = frmParameter::FullPath(node);
    switch (NodeLevel(node)) {
    case 1: {
        clsEmulator* emu = Emulator(tag);
        if (emu->Aktiv && CountActiveEmulators() == 1) return;
        for (const auto& entry : mcolProfils)
            if (!entry.value->Name.isEmpty() && entry.value->EmulKey == tag && !DeleteProfil(entry.value->Key))
                return;
        emu->Name.clear();
        EmulChanged = true;
        break;
    }
    case 2:
        if (!DeleteProfil(tag)) return;
        break;
    case 3: {
        clsProfil* profil = Profil(NodeTag(node->parent()));
        OptionTable list = ParseOptions(profil->Options);
        for (OptionEntry& option : list) {
            if (option.Flag != kOptionEmptyMark && option.Text == tag) {
                option.Text.clear();
                break;
            }
        }
        JoinOptions(list, profil->Options);
        paramsChanged_ = true;
        break;
    }
    default:
        return;
    }
    delete node;
    // The copied node, or one below it, is gone: nothing is left to paste. The path is
    // compared up to a separator so that a sibling whose text merely begins alike stays;
    // a copied emulator or profile is followed by its key, since a rename changes its path.
    if (!mtClipKey.isEmpty()
        && (clipPath_ == path || clipPath_.startsWith(path + QLatin1Char('\\')) || !ClipSourceExists()))
        mtClipKey.clear();
    UpdateTreeButtons();
}

bool frmOptions::ClipSourceExists()
{
    if (clipLevel_ == 1) {
        const clsEmulator* emu = Emulator(mtClipKey);
        return emu && !emu->Name.isEmpty();
    }
    if (clipLevel_ == 2) {
        const clsProfil* profil = Profil(mtClipKey);
        return profil && !profil->Name.isEmpty();
    }
    return true;   // an entry is copied as its text
}

// ---- pages ------------------------------------------------------------------------------

void frmOptions::MyTab_Click()
{
    const QString key = TabKey(MyTab->currentIndex());
    if (key == QStringLiteral("FILES") && !filesBuilt_) BuildFilesPage();
    if (refill_ && filesBuilt_) RefillProfilLists();
    if (key == QStringLiteral("DB") && !dbLoaded_) {
        dbLoaded_ = true;
        if (!gtSkipZipSize.isEmpty()) txtSize->setText(gtSkipZipSize);
        for (QCheckBox* box : chkFiles) box->setChecked(gtImportFiles.contains(box->text().toUpper()));
        UpdateAllFiles();
    }
}

void frmOptions::BuildFilesPage()
{
    filesBuilt_ = true;
    refill_ = true;
    for (int i = 0; i <= kDefaultRow; ++i) {
        auto* label = findChild<QLabel*>(QStringLiteral("lblExtension%1").arg(i));
        label->setText(i == kDefaultRow ? DefaultRowCaption() : gaEmulExt.value(i));
    }
}

void frmOptions::RefillProfilLists()
{
    refill_ = false;
    for (int i = 0; i <= kDefaultRow; ++i) {
        QComboBox* box = cboProfils[size_t(i)];
        {
            const QSignalBlocker block(box);
            box->clear();
            if (i != kDefaultRow) box->addItem(DefaultRowCaption(), 0);
            for (const auto& entry : mcolProfils)
                if (!entry.value->Name.isEmpty())
                    box->addItem(GetProfilName(mcolEmulators, mcolProfils, entry.value->Key),
                                 entry.value->Key.toInt());
            // A key no longer listed falls back to the default row caption, or for the
            // default row to the first profile.
            const QString key = i == kDefaultRow ? mtProfilDefault : maExtProfil.value(i);
            int found = 0;
            for (int e = 1; e < box->count(); ++e)
                if (QString::number(box->itemData(e).toInt()) == key) {
                    found = e;
                    break;
                }
            box->setCurrentIndex(box->count() ? found : -1);
        }
        cboProfils_Click(i);
    }
}

void frmOptions::cboProfils_Click(int row)
{
    const QComboBox* box = cboProfils[size_t(row)];
    if (box->currentIndex() < 0) return;
    const int key = box->currentData().toInt();
    if (row == kDefaultRow)
        mtProfilDefault = QString::number(key);
    else if (row < maExtProfil.size())
        maExtProfil[row] = key == 0 ? QString() : QString::number(key);
}

void frmOptions::chkAllFiles_Click()
{
    // Each box re-checks "Alle" as it changes, so its value is taken first.
    const bool all = chkAllFiles->isChecked();
    for (QCheckBox* box : chkFiles) box->setChecked(all);
}

void frmOptions::UpdateAllFiles()
{
    // The hidden last box is not the user's: "Alle" follows the boxes shown.
    bool all = true;
    for (int i = 0; i < kFileBoxes - 1; ++i) all = all && chkFiles[size_t(i)]->isChecked();
    chkAllFiles->setChecked(all);
}

void frmOptions::cmdEditor_Click()
{
    const QString path = ShowOpenDialog(QStringLiteral("Text-Editor auswählen"), lblViewer_->text() + QStringLiteral("|*"),
                                        txtEditor->text());
    if (!path.isEmpty()) txtEditor->setText(path);
}

void frmOptions::cmdOk_Click()
{
    // The viewer is checked before anything is handed over, so that a refused viewer
    // leaves the program's settings as they were.
    QString editor = gtEditor;
    if (dbLoaded_ && txtEditor->text() != gtEditor) {
        const QString text = txtEditor->text();
        if (text.isEmpty() || text.toUpper() == QStringLiteral("NOTEPAD"))
            editor = QStringLiteral("Notepad");
        else if (!FileExistsMsg(text))
            return;
        else
            editor = text;
    }
    gtProfilDefault = mtProfilDefault;
    if (EmulChanged) {
        for (int i = mcolEmulators.count(); i >= 1; --i)
            if ((*mcolEmulators.item(i))->Name.isEmpty()) mcolEmulators.remove(i);
        gcolEmulators = std::move(mcolEmulators);
    }
    if (ProfilsChanged || paramsChanged_) {
        for (int i = mcolProfils.count(); i >= 1; --i)
            if ((*mcolProfils.item(i))->Name.isEmpty()) mcolProfils.remove(i);
        gcolProfils = std::move(mcolProfils);
    }
    gaExtProfil = maExtProfil;
    if (dbLoaded_) {
        gtSkipZipSize = txtSize->text() == QStringLiteral("0") ? QString() : txtSize->text();
        gtEditor = editor;
        QStringList types;
        for (QCheckBox* box : chkFiles)
            if (box->isChecked()) types << box->text().toUpper();
        gtImportFiles = types.isEmpty() ? QStringLiteral(".D64") : types.join(QLatin1Char(';'));
    }
    accept();
}

void frmOptions::RememberTree()
{
    RunState& state = Remembered();
    state.expanded.clear();
    for (QTreeWidgetItemIterator it(treeProfils); *it; ++it)
        if ((*it)->isExpanded()) state.expanded.insert(frmParameter::FullPath(*it).toCaseFolded());
    if (const QTreeWidgetItem* node = treeProfils->currentItem()) state.selectedPath = frmParameter::FullPath(node);
    state.lastTab = MyTab->currentIndex();
}

void frmOptions::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        RememberTree();
        mcolEmulators.clear();
        mcolProfils.clear();
        filesBuilt_ = dbLoaded_ = refill_ = false;
        ResetLangContext();
        SaveFormPos(this);
    }
    QDialog::done(result);
}

} // namespace tv
