#include "programlist.h"

namespace update {

void scrapeListPage(const QByteArray &text, bool firstPage, const QByteArray &siteRoot, ProgramLists lists)
{
    const QByteArray area = textBetween(
        text, QByteArrayLiteral("<div id=mod_bloglist class=mod>"), QByteArrayLiteral("<div id=mod_artclg class=mod>"));
    const QList<QByteArray> blocks = splitText(area, QByteArrayLiteral("<div class=tit>"));
    for (qsizetype i = 1; i < blocks.size(); ++i) {
        const QByteArray &block = blocks.at(i);
        ProgramEntry entry;
        entry.title = textBetween(
            block, QByteArrayLiteral("\" target=_blank>"), QByteArrayLiteral("</a></div><div class=date>"));
        entry.link = siteRoot + textBetween(block, QByteArrayLiteral("<a href=\""), QByteArrayLiteral("\" target=_blank>"));
        lists.programEntries.append(entry);

        if (!firstPage || i != blocks.size() - 1)
            continue;
        const QByteArray navigation = textBetween(block, QByteArrayLiteral("<div id=page><span>1</span> <a href='"),
            QByteArrayLiteral("[\xcf\xc2\xd2\xbb\xd2\xb3]")); // [下一页] in GBK
        const QList<QByteArray> links = splitText(navigation, QByteArrayLiteral("</a> <a href='"));
        // The last link is the one behind [下一页].
        for (qsizetype k = 0; k + 1 < links.size(); ++k)
            lists.extraPageAddresses.append(siteRoot + splitText(links.at(k), QByteArrayLiteral("'>[")).value(0));
    }
}

void collectPrograms(const QByteArray &address, bool firstPage, const FetchPage &fetchPage,
    const QByteArray &siteRoot, ProgramLists lists)
{
    const QByteArray page = fetchPage ? fetchPage(address) : QByteArray();
    scrapeListPage(pageText(page), firstPage, siteRoot, lists);
}

} // namespace update
