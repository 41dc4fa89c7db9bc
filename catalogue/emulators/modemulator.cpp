#include "modemulator.h"

#include "catalogue/core/modlang.h"
#include "platform/runtime/textorder.h"

namespace tv {

EmulatorCollection gcolEmulators;
ProfilCollection gcolProfils;
int giProfilCounter = 0;
QStringList gaEmulTypeName = {QStringLiteral("Sonstige Programme"), QStringLiteral("Altirra"),
                              QStringLiteral("Atari++"), QStringLiteral("Atari800(Win)")};

void TranslateEmulTypeNames()
{
    gaEmulTypeName[kEmulFileTool] = Translate(QStringLiteral("Sonstige Programme"));
}

EmulatorPtr AddEmulator(int number, int type, const QString& name, const QString& path,
                        EmulatorCollection& emulators, bool active)
{
    auto emu = std::make_shared<clsEmulator>();
    emu->Aktiv = active;
    emu->EmulType = type;
    emu->Key = QString::number(number);
    emu->Name = name;
    emu->Path = path;
    if (!emulators.add(emu, emu->Key)) return nullptr;
    return emu;
}

ProfilPtr AddProfil(ProfilCollection& profils, const QString& emulKey, const QString& name,
                    const QString& options, bool active, int number, QString* error)
{
    // The name is not checked: it is a value of its own in the settings file and never part
    // of an option string, so a stored name holding a separator text is kept as it is.
    ++giProfilCounter;
    auto profil = std::make_shared<clsProfil>();
    profil->Aktiv = active;
    profil->EmulKey = emulKey;
    profil->Name = name;
    profil->Options = options;
    profil->Key = QString::number(number != 0 ? number : giProfilCounter);
    if (!profils.add(profil, profil->Key)) {
        if (error) *error = Translate(QStringLiteral("Dieser Schlüssel besteht schon: ")) + profil->Key;
        return nullptr;
    }
    return profil;
}

EmulatorPtr CopyEmulator(const clsEmulator& source)
{
    return std::make_shared<clsEmulator>(source);
}

ProfilPtr CopyProfil(const clsProfil& source)
{
    return std::make_shared<clsProfil>(source);
}

QString GetProfilName(const EmulatorCollection& emulators, const ProfilCollection& profils,
                      const QString& profilKey, bool* ok)
{
    const ProfilPtr* profil = profils.item(profilKey);
    const EmulatorPtr* emu = profil ? emulators.item((*profil)->EmulKey) : nullptr;
    if (ok) *ok = profil && emu;
    return (emu ? (*emu)->Name : QString()) + QStringLiteral(" - ")
           + (profil ? (*profil)->Name : QString());
}

void SortProfils(QStringList& keys, const EmulatorCollection& emulators,
                 const ProfilCollection& profils)
{
    // Insertion sort by caption; a profile goes behind every equal caption, so equal
    // captions keep their collection order.
    keys = QStringList(profils.count() + 1);
    QStringList captions(profils.count() + 1);
    int filled = 0;
    for (const auto& entry : profils) {
        const QString caption = GetProfilName(emulators, profils, entry.value->Key);
        int j = 1;
        while (j <= filled && CompareText(caption, captions[j]) >= 0) ++j;
        keys.insert(j, entry.value->Key);
        captions.insert(j, caption);
        keys.removeLast();
        captions.removeLast();
        ++filled;
    }
}

} // namespace tv
