// Option strings of the start profiles, and the start parameters built from them.
#include "fuzzinput.h"

#include "catalogue/emulators/modoptions.h"
#include "catalogue/emulators/modstart.h"
#include "catalogue/emulators/modstartparams.h"
#include "catalogue/core/modatari.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReader in(data, size);
    const auto type = in.take<uint8_t>();
    const auto settings = in.take<uint32_t>();
    const QString options = in.rest();
    const tv::OptionTable table = tv::ParseOptions(options);
    QString joined;
    if (tv::JoinOptions(table, joined)) {
        // What the editors write reads back as it was written.
        QString again;
        FuzzCheck(tv::JoinOptions(tv::ParseOptions(joined), again) && again == joined, "option string round trip");
    }
    (void)tv::HasOption(table, options.left(3));
    tv::clsFileInfo file;
    file.File = QStringLiteral("Game \"1\".atr");
    file.Path = QStringLiteral("/a b/Game \"1\".atr");
    file.iBasic = int32_t(settings & 3);
    file.iModel = int32_t(settings >> 2 & 7);
    file.iOS = int32_t(settings >> 5 & 7);
    file.iVideo = int32_t(settings >> 8 & 3);
    file.Param = options.section(QLatin1String("@@@"), -1);
    (void)tv::BuildStartParams(options, type % 5, file, file.Path, [](const QString& prompt) { return prompt.left(5); });
    return 0;
}
