#pragma once

#include "common/dialogs.h"

namespace common {

// QMessageBox and QFileDialog, without an owner window and application-modal.
class QtDialogs final : public Dialogs
{
public:
    int message(const QString &text, const QString &caption, Buttons buttons, Icon icon) override;
    FileChoice openFile(const FileRequest &request) override;
    FileChoice saveFile(const FileRequest &request) override;

private:
    QString m_lastDirectory;
};

} // namespace common
