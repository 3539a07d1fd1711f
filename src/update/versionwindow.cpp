#include "versionwindow.h"

#include "common/dialogs.h"
#include "update/programlist.h"
#include "update/windowlook.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace update {

namespace {

constexpr int TitleRole = Qt::UserRole;

QString downloadCaption()
{
    return QStringLiteral("点击下载程序最新版本");
}

// Thin lines between the rows and at the column's edge, as a list view with grid lines draws them.
class GridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(0xd8, 0xd8, 0xd8));
        const QRect r = option.rect;
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

// The 16 × 15 picture before every program title: a small sheet with a folded corner.
QIcon rowIcon()
{
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPolygon sheet({QPoint(2, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 14), QPoint(2, 14)});
    p.setPen(QColor(192, 96, 0));
    p.setBrush(QColor(255, 244, 226));
    p.drawPolygon(sheet);
    p.drawLine(10, 0, 10, 3);
    p.drawLine(10, 3, 13, 3);
    p.setPen(QColor(61, 111, 168));
    for (int y : {6, 8, 10, 12})
        p.drawLine(4, y, y == 12 ? 8 : 11, y);
    p.end();
    return QIcon(pixmap);
}

void colour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

QLabel *hiddenLink(QWidget *parent, const QString &name, const QRect &place)
{
    auto *link = new QLabel(parent);
    link->setObjectName(name);
    link->setGeometry(place);
    link->setTextFormat(Qt::PlainText);
    link->hide();
    return link;
}

// Shows the busy pointer while the window blocks on the network.
class WaitCursor
{
public:
    WaitCursor()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Lets the pointer change reach the screen; user input waits until the fetch is done.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

// The program list. Qt makes the first row current when the list gets the focus without one; that is no choice
// of the user's, so it must neither open a link nor leave a row current that a click could then not open.
class ProgramListView : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

    bool isSettingFocus() const { return m_settingFocus; }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        const bool hadCurrent = currentIndex().isValid();
        m_settingFocus = true;
        QTreeWidget::focusInEvent(event);
        if (!hadCurrent && currentIndex().isValid())
            selectionModel()->clearCurrentIndex();
        m_settingFocus = false;
    }

private:
    bool m_settingFocus = false;
};

VersionWindow::VersionWindow(State state, Context context, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_context(std::move(context))
{
    setObjectName(QStringLiteral("VersionWindow"));
    setWindowTitle(QStringLiteral("检查新版本"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    buildControls();

    m_own->setText(QStringLiteral("当前版本号： ") + displayText(CurrentVersion));
    loadPrograms();
}

VersionWindow::~VersionWindow()
{
    clearPrograms();
}

QTreeWidget *VersionWindow::programList() const
{
    return m_list;
}

void VersionWindow::buildControls()
{
    const QFont boldFont = bold(font());
    const auto label = [this](const QString &name, const QRect &place, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(place);
        l->setTextFormat(Qt::PlainText);
        return l;
    };

    m_own = label(QStringLiteral("标签1"), QRect(45, 24, 112, 24), QString());
    m_own->setFont(boldFont);
    colour(m_own, Qt::black);
    m_latestCaption = label(QStringLiteral("标签2"), QRect(45, 48, 72, 24), QStringLiteral("最新版本号："));
    m_latestCaption->setFont(boldFont);
    colour(m_latestCaption, QColor(255, 0, 255));
    m_latest = label(QStringLiteral("标签3"), QRect(130, 48, 24, 24), QString());
    m_latest->setFont(boldFont);
    colour(m_latest, QColor(255, 0, 255));

    m_check = new QPushButton(QStringLiteral("开始检查"), this);
    m_check->setObjectName(QStringLiteral("检查更新按钮"));
    m_check->setGeometry(220, 32, 80, 32);
    m_check->setAutoDefault(false);
    connect(m_check, &QPushButton::clicked, this, &VersionWindow::onCheckClicked);

    m_download = new QPushButton(downloadCaption(), this);
    m_download->setObjectName(QStringLiteral("下载按钮"));
    m_download->setGeometry(16, 87, 224, 24);
    m_download->setAutoDefault(false);
    connect(m_download, &QPushButton::clicked, this, &VersionWindow::onDownloadClicked);

    m_blog = new QPushButton(programIcon(), QStringLiteral("官方博客"), this);
    m_blog->setObjectName(QStringLiteral("超级按钮1"));
    m_blog->setGeometry(248, 87, 80, 24);
    m_blog->setIconSize(QSize(16, 16));
    m_blog->setAutoDefault(false);
    // The picture and the caption need the button's whole width.
    m_blog->setStyleSheet(QStringLiteral("QPushButton { padding: 2px 3px; }"));
    connect(m_blog, &QPushButton::clicked, this, &VersionWindow::onBlogClicked);

    m_heading = label(QStringLiteral("标签4"), QRect(9, 124, 145, 18), QStringLiteral("Vornel软件作品系列："));
    m_heading->setFont(bold(songti9()));
    colour(m_heading, QColor(192, 96, 0));

    m_list = new ProgramListView(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    m_list->setGeometry(7, 145, 321, 102);
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({QStringLiteral("Vornel软件作品系列")});
    m_list->setHeaderHidden(true);
    m_list->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(0, 300);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setSortingEnabled(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_list->setIconSize(QSize(16, 15));
    m_list->setUniformRowHeights(true);
    m_list->setItemDelegate(new GridDelegate(m_list));
    {
        QPalette palette = m_list->palette();
        palette.setColor(QPalette::Base, Qt::white);
        m_list->setPalette(palette);
    }
    connect(m_list, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem *current) { onCurrentRowChanged(current); });

    m_programLink = hiddenLink(this, QStringLiteral("超级链接框1"), QRect(320, 0, 80, 24));
    m_downloadLink = hiddenLink(this, QStringLiteral("超级链接框2"), QRect(320, 24, 80, 24));

    setTabOrder(m_check, m_download);
    setTabOrder(m_download, m_blog);
    setTabOrder(m_blog, m_list);
    m_check->setFocus(Qt::OtherFocusReason);
}

void VersionWindow::loadPrograms()
{
    WaitCursor wait;
    const ProgramLists lists{m_state.programEntries, m_state.extraPageAddresses};
    const QByteArray &root = m_context.addresses.siteRoot;
    collectPrograms(m_context.addresses.blogList, true, m_context.fetchPage, root, lists);
    const qsizetype further = m_state.extraPageAddresses.size();
    for (qsizetype i = 0; i < further; ++i)
        collectPrograms(m_state.extraPageAddresses.at(i), false, m_context.fetchPage, root, lists);

    const QIcon icon = rowIcon();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_state.programEntries.size());
    for (const ProgramEntry &entry : std::as_const(m_state.programEntries)) {
        auto *row = new QTreeWidgetItem({displayText(entry.title)});
        row->setIcon(0, icon);
        row->setData(0, TitleRole, entry.title);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
}

void VersionWindow::onCurrentRowChanged(QTreeWidgetItem *current)
{
    if (m_list->isSettingFocus())
        return;
    const QByteArray title = current ? current->data(0, TitleRole).toByteArray() : QByteArray();
    // Every entry with that title opens, so two articles of one name both open.
    for (const ProgramEntry &entry : std::as_const(m_state.programEntries)) {
        if (entry.title == title)
            openAddress(m_programLink, entry.link, m_context.openUrl);
    }
}

void VersionWindow::onCheckClicked()
{
    QByteArray text;
    {
        WaitCursor wait;
        text = pageText(m_context.fetchPage ? m_context.fetchPage(m_context.addresses.feed) : QByteArray());
    }
    VersionFeed feed = splitFeed(text);
    // A page too short to hold a version is no more use than no page.
    if (feed.size() < 3) {
        if (m_context.dialogs)
            m_context.dialogs->message(QStringLiteral("网络连接异常，或者检查失败！"), QStringLiteral("提示"),
                common::Buttons::Ok, common::Icon::Warning);
        return;
    }
    m_state.windowFeed = std::move(feed);
    const QString version = displayText(m_state.windowFeed.at(2));
    m_latest->setText(version);
    m_download->setText(downloadCaption() + QLatin1Char(' ') + version);
}

void VersionWindow::onDownloadClicked()
{
    if (m_latest->text().isEmpty()) {
        if (m_context.dialogs)
            m_context.dialogs->message(QStringLiteral("请先检查版本，获取下载地址，再点击下载。"), QString(),
                common::Buttons::Ok, common::Icon::None);
        return;
    }
    if (m_state.windowFeed.size() < 4) {
        if (m_context.dialogs)
            m_context.dialogs->message(QStringLiteral("网络连接异常，或者检查失败！"), QStringLiteral("提示"),
                common::Buttons::Ok, common::Icon::Warning);
        return;
    }
    openAddress(m_downloadLink, downloadAddress(m_state.windowFeed), m_context.openUrl);
}

void VersionWindow::onBlogClicked()
{
    openAddress(m_programLink, m_context.addresses.feed, m_context.openUrl);
}

void VersionWindow::done(int result)
{
    clearPrograms();
    QDialog::done(result);
}

void VersionWindow::clearPrograms()
{
    if (m_list) {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
    }
    m_state.programEntries.clear();
    m_state.extraPageAddresses.clear();
}

} // namespace update
