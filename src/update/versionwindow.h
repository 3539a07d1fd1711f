#pragma once

#include "update/addresses.h"
#include "update/addressopener.h"
#include "update/feed.h"
#include "update/feedtypes.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace common {
class Dialogs;
}

namespace update {

class ProgramListView;

// 检查新版本: the own version, the check against the feed, the download and blog buttons and the maker's
// other programs. The program list is scraped while the window is built, before it is shown.
class VersionWindow : public QDialog
{
    Q_OBJECT
public:
    // The 341 × 286 outer size less the frame.
    static constexpr int ClientWidth = 335;
    static constexpr int ClientHeight = 254;

    struct State
    {
        VersionFeed &windowFeed;
        QList<ProgramEntry> &programEntries;
        QList<QByteArray> &extraPageAddresses;
    };
    struct Context
    {
        FetchPage fetchPage;
        OpenUrl openUrl;
        common::Dialogs *dialogs = nullptr;
        Addresses addresses;
    };

    VersionWindow(State state, Context context, QWidget *parent = nullptr);
    ~VersionWindow() override;

    void done(int result) override;

    QLabel *latestVersionLabel() const { return m_latest; }
    QPushButton *checkButton() const { return m_check; }
    QPushButton *downloadButton() const { return m_download; }
    QPushButton *blogButton() const { return m_blog; }
    QTreeWidget *programList() const;

public slots:
    void onCheckClicked();
    void onDownloadClicked();
    void onBlogClicked();

private:
    void buildControls();
    void loadPrograms();
    void onCurrentRowChanged(QTreeWidgetItem *current);
    void clearPrograms();

    State m_state;
    Context m_context;
    QLabel *m_own = nullptr;
    QLabel *m_latestCaption = nullptr;
    QLabel *m_latest = nullptr;
    QPushButton *m_check = nullptr;
    QPushButton *m_download = nullptr;
    QPushButton *m_blog = nullptr;
    QLabel *m_heading = nullptr;
    ProgramListView *m_list = nullptr;
    QLabel *m_programLink = nullptr;
    QLabel *m_downloadLink = nullptr;
};

} // namespace update
