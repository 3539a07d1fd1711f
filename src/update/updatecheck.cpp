#include "updatecheck.h"

#include "common/dialogs.h"
#include "update/addresses.h"

namespace update {

void checkForUpdateAtStartup(const UpdateCheck &check)
{
    const QByteArray page = check.fetchPage ? check.fetchPage(check.feedAddress) : QByteArray();
    check.startupFeed = splitFeed(pageText(page));
    if (check.startupFeed.size() < FeedPieceLimit)
        return;
    const QByteArray version = check.startupFeed.at(2);
    if (version == CurrentVersion || !check.dialogs)
        return;
    const int answer = check.dialogs->message(
        QStringLiteral("发现新版本：") + displayText(version) + QStringLiteral("  是否下载？"),
        QStringLiteral("软件更新提示"), common::Buttons::YesNo, common::Icon::Information);
    if (answer == common::AnswerYes)
        openAddress(check.link, downloadAddress(check.startupFeed), check.openUrl);
}

} // namespace update
