#include "update/programlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray page(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<update::ProgramEntry> entries;
    QList<QByteArray> addresses;
    update::scrapeListPage(page, true, QByteArrayLiteral("https://vornel.example"), {entries, addresses});
    update::scrapeListPage(page, false, QByteArrayLiteral("https://vornel.example"), {entries, addresses});
    // Every entry and address comes out of the page; none can be larger than it plus the site root.
    for (const update::ProgramEntry &e : std::as_const(entries))
        if (e.title.size() > page.size() || e.link.size() > page.size() + 22)
            __builtin_trap();
    return 0;
}
