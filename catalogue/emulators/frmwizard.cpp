#include "frmwizard.h"

#include "catalogue/core/formlayout.h"
#include "catalogue/core/modatari.h"
#include "catalogue/core/modfiles.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modsettings.h"
#include "catalogue/emulators/modemulator.h"
#include "platform/system/process.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

frmWizard::frmWizard(WizardHost host, QWidget* parent)
    : QDialog(parent),
      lblStep(new QLabel(this)),
      cboEmulators(new QComboBox(this)),
      txtEmulPath(new QLineEdit(this)),
      cmdPfad(new QToolButton(this)),
      cmdAddFile(new QPushButton(QStringLiteral("Datei importieren"), this)),
      cmdAddFolder(new QPushButton(QStringLiteral("Ordner importieren"), this)),
      cmdBack(new QPushButton(QStringLiteral("Zurück"), this)),
      cmdNext(new QPushButton(QStringLiteral("Weiter"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Abbrechen"), this)),
      host_(std::move(host))
{
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Tovarin"));
    lblStep->setProperty("Tag", QStringLiteral("-"));   // set per step, already translated
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("Willkommen beim Tovarin!"), this));
    header->addStretch();
    header->addWidget(lblStep);
    layout->addLayout(header);

    const char* titles[] = {"Neue Datenbank erstellen", "Standard-Emulator auswählen", "Emulatorpfad festlegen",
                            nullptr, "Fertig! Viel Spaß!"};
    for (int i = 1; i <= kSteps; ++i) {
        auto* frame = new QFrame(this);
        auto* row = new QHBoxLayout(frame);
        if (titles[i - 1]) row->addWidget(new QLabel(QString::fromUtf8(titles[i - 1]), frame));
        fraStep[size_t(i)] = frame;
        layout->addWidget(frame);
    }
    fraStep[2]->layout()->addWidget(cboEmulators);
    cmdPfad->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdPfad->setToolTip(QStringLiteral("Dateipfad"));
    fraStep[3]->layout()->addWidget(txtEmulPath);
    fraStep[3]->layout()->addWidget(cmdPfad);
    fraStep[4]->layout()->addWidget(cmdAddFile);
    fraStep[4]->layout()->addWidget(new QLabel(QStringLiteral("oder"), fraStep[4]));
    fraStep[4]->layout()->addWidget(cmdAddFolder);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    // "Weiter" answers Return on every step: a push button that takes the focus would
    // otherwise make itself the Return button, and Return on a focused "Zurück" would go back.
    for (QPushButton* button : {cmdAddFile, cmdAddFolder, cmdBack, cmdCancel}) button->setAutoDefault(false);
    cmdNext->setDefault(true);

    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPfad, &QToolButton::clicked, this, [this] { cmdPfad_Click(); });
    connect(cmdAddFile, &QPushButton::clicked, this, [this] { cmdAddFile_Click(); });
    connect(cmdAddFolder, &QPushButton::clicked, this, [this] { cmdAddFolder_Click(); });
}

void frmWizard::Form_Load()
{
    // The placement is looked up but never stored, so the wizard opens centred.
    LoadFormPos(this);
    for (int type = kEmulAltirra; type <= kEmulLastType; ++type) cboEmulators->addItem(gaEmulTypeName.value(type), type);
    cboEmulators->setCurrentIndex(0);
    ShowStep(1);
    TranslateForm(this, true, false);
    loaded_ = true;
}

void frmWizard::ShowStep(int step)
{
    step_ = step;
    lblStep->setText(Translate(QStringLiteral("Schritt: ")) + QString::number(step) + QStringLiteral(" / ")
                     + QString::number(kSteps));
    // Hiding the frame that holds the focus hands it on along the focus chain, past the
    // hidden frames to whatever comes next ("Zurück"); the new step's first control takes it,
    // as it does after "Weiter", so that the keys go to the step at once. "Zurück" keeps it.
    QWidget* focus = focusWidget();
    const bool focusLeaves = focus && !fraStep[size_t(step)]->isAncestorOf(focus)
                             && (focus == cmdNext
                                 || std::any_of(fraStep.begin() + 1, fraStep.end(),
                                                [focus](const QFrame* f) { return f->isAncestorOf(focus); }));
    for (int i = 1; i <= kSteps; ++i) fraStep[size_t(i)]->setVisible(i == step);
    if (focusLeaves) {
        QWidget* target = FirstTabStop(this, fraStep[size_t(step)]);
        (target ? target : cmdNext)->setFocus(Qt::TabFocusReason);
    }
    cmdBack->setEnabled(step > 2);   // the catalogue step cannot be revisited
    cmdNext->setText(Translate(step < kSteps ? QStringLiteral("Weiter") : QStringLiteral("Starten")));
    cmdCancel->setVisible(step < kSteps);
}

void frmWizard::cmdBack_Click()
{
    if (step_ > 2) ShowStep(step_ - 1);
}

void frmWizard::cmdNext_Click()
{
    switch (step_) {
    case 1:
        if (host_.NewDB && host_.NewDB()) ShowStep(2);
        break;
    case 3:
        // A bare program name counts when it is found on the PATH, as the start looks for it there.
        if (txtEmulPath->text().isEmpty() || FileExists(ResolveProgram(txtEmulPath->text()))
            || FileExistsMsg(txtEmulPath->text()))
            ShowStep(4);
        break;
    case kSteps:
        Apply();
        accept();
        break;
    default:
        ShowStep(step_ + 1);
        break;
    }
}

namespace {

// Whether default profile `profil` belongs to the default emulator of `type` (the default
// emulators are keyed by their type).
bool BelongsTo(int profil, int type)
{
    const ProfilPtr* p = gcolProfils.item(QString::number(profil));
    return p && (*p)->EmulKey.toInt() == type;
}

} // namespace

void frmWizard::Apply()
{
    const int type = cboEmulators->currentData().toInt();
    if (!txtEmulPath->text().isEmpty()) {
        // The default emulators stand in type order; the type is checked all the same.
        for (const auto& entry : gcolEmulators) {
            if (entry.value->EmulType == type) {
                entry.value->Path = txtEmulPath->text();
                break;
            }
        }
    }
    while (gaExtProfil.size() < gaEmulExt.size()) gaExtProfil << QString();
    for (int i = 0; i < gaEmulExt.size(); ++i) {
        std::optional<int> profil = DefaultProfilForFileType(type, i);
        // The table gives a .PRO image Altirra's disc profile for every emulator; the chosen
        // emulator gets its own disc profile instead, so that the start speaks of the
        // emulator the user has: atari800 reads such images, and for Atari++, which does
        // not, the start says so and which emulator does.
        if (profil && !BelongsTo(*profil, type)) profil = DefaultProfilForFileType(type, 0);
        gaExtProfil[i] = profil && *profil <= gcolProfils.count() ? QString::number(*profil) : QString();
    }
    static const char* firstProfil[] = {"", "1", "6", "9"};
    gtProfilDefault = QString::fromLatin1(firstProfil[type]);
    for (const auto& entry : gcolProfils)
        if (entry.value->EmulKey.toInt() != type && entry.value->Aktiv) entry.value->Aktiv = false;
}

void frmWizard::cmdPfad_Click()
{
    const QString start = txtEmulPath->text().isEmpty() ? GetFolderPart(gtDBPath) : txtEmulPath->text();
    // Linux programs carry no extension, so every file is offered.
    const QString path = ShowOpenDialog(QStringLiteral("Atari-Emulator auswählen"), QStringLiteral("Atari-Emulator|*.*"),
                                        start);
    if (!path.isEmpty()) txtEmulPath->setText(path);
}

void frmWizard::cmdAddFile_Click()
{
    if (gtDialogPath.isEmpty()) gtDialogPath = GetFolderPart(gtDBPath);
    if (host_.AddFile) host_.AddFile();
}

void frmWizard::cmdAddFolder_Click()
{
    if (host_.AddDir) host_.AddDir();
}

void frmWizard::done(int result)
{
    if (loaded_) {
        loaded_ = false;
        ResetLangContext();
    }
    QDialog::done(result);
}

} // namespace tv
