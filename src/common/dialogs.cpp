#include "dialogs.h"

namespace common {

QString defaultCaption()
{
    return QStringLiteral("信息：");
}

} // namespace common
