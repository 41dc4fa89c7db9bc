#include "filekind.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace tv {

DbFileKind ProbeDbFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return DbFileKind::MayBeCatalogue;   // the open reports it
    const qint64 size = file.size();
    if (size == 0) return DbFileKind::MayBeCatalogue;
    // The smallest page a database has: the first page and nothing else, so that a damaged
    // page after it (zeros where a small-paged file's second page was) is not judged here.
    const QByteArray head = file.read(512);
    const QByteArray signature = head.mid(4, 15);
    if (signature == "Standard Jet DB" || signature == "Standard ACE DB") return DbFileKind::Access;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return DbFileKind::MayBeCatalogue;
    // In encrypted bytes every value comes about equally often: in 512 of them a value 16
    // times (3 %, eight times its share) is far beyond chance.
    std::array<int, 256> counts{};
    for (const char c : head) ++counts[static_cast<unsigned char>(c)];
    const int limit = std::max<int>(16, int(head.size() / 32));
    for (const int n : counts)
        if (n > limit) return DbFileKind::Other;
    return DbFileKind::MayBeCatalogue;
}

bool IsWholePages(const QString& path) { return QFileInfo(path).size() % 512 == 0; }

} // namespace tv
