#pragma once

#include "common/dialogs.h"

namespace common {

// The patterns inside a filter's last parentheses, split at ";" as well as at blanks, "*.*" meaning every
// file. Qt itself splits at blanks only, and its "*.*" hides names without a dot.
QStringList patternsOfFilter(const QString &filter);

// QMessageBox and QFileDialog, without an owner window and application-modal.
class QtDialogs final : public Dialogs
{
public:
    int message(const QString &text, const QString &caption, Buttons buttons, Icon icon) override;
    FileChoice openFile(const FileRequest &request) override;
    FileChoice saveFile(const FileRequest &request) override;

private:
    FileChoice choose(const FileRequest &request, bool opening);

    QString m_lastDirectory;
};

} // namespace common
