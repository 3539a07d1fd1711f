#include "datetimewindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>

namespace editor {

namespace {

// Qt's geometry is the client area; with the usual frame the window is 192 × 271 outside.
constexpr int ClientWidth = 186;
constexpr int ClientHeight = 245;
constexpr int OuterWidth = 192;
constexpr int OuterHeight = 271;

QString weekdayText(int dayOfWeek)
{
    static const char16_t *const numerals[] = {u"一", u"二", u"三", u"四", u"五", u"六"};
    if (dayOfWeek == 7)
        return QStringLiteral("星期日");
    return QStringLiteral("星期") + QString::fromUtf16(numerals[qBound(1, dayOfWeek, 6) - 1]);
}

} // namespace

QStringList dateTimeEntries(const QDateTime &now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    const QString y = QString::number(date.year());
    const QString yy = y.right(2);
    const QString mo = QString::number(date.month());
    const QString d = QString::number(date.day());
    const int hour = time.hour();
    const QString h = QString::number(hour);
    const QString mi = QString::number(time.minute());
    const QString s = QString::number(time.second());
    const QString t = y + u"年" + mo + u"月" + d + u"日";
    const QString w = weekdayText(date.dayOfWeek());
    const QString p = hour < 12 ? QStringLiteral("上午 ") : QStringLiteral("下午 ");
    const QString h12 = QString::number(hour <= 12 ? hour : hour - 12);
    const QString hh12 = h12.size() == 1 ? u'0' + h12 : h12;

    return {
        y + u'-' + mo + u'-' + d,
        yy + u'-' + mo + u'-' + d,
        t,
        y + u' ' + mo + u' ' + d,
        y + u' ' + mo + u' ' + d + u' ' + w,
        t + u' ' + w,
        h + u':' + mi,
        h + u':' + mi + u':' + s,
        p + h12 + u':' + mi + u':' + s,
        p + hh12 + u':' + mi + u':' + s,
    };
}

DateTimeWindow::DateTimeWindow(const Clock &clock, QWidget *parent)
    : QDialog(parent,
          Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
              | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DateTimeWindow"));
    setWindowTitle(QStringLiteral("日期和时间"));
    setFixedSize(ClientWidth, ClientHeight);
    setSizeGripEnabled(false);

    auto *label = new QLabel(QStringLiteral("可用格式(&A):"), this);
    label->setObjectName(QStringLiteral("标签1"));
    label->setGeometry(15, 8, 72, 16);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("列表框1"));
    m_list->setGeometry(13, 32, 160, 136);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);
    m_list->setUniformItemSizes(true);
    label->setBuddy(m_list);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("按钮确定日期"));
    m_ok->setGeometry(13, 176, 72, 24);
    m_ok->setDefault(true);

    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("按钮2"));
    m_cancel->setGeometry(101, 176, 72, 24);

    connect(m_ok, &QPushButton::clicked, this, &DateTimeWindow::insertChosenDateTime);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &DateTimeWindow::insertChosenDateTime);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    fillDateTimeList(clock ? clock() : QDateTime::currentDateTime());

    // Centred on the screen, not on whichever window happens to be active.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - OuterWidth) / 2, area.y() + (area.height() - OuterHeight) / 2);
    }
    m_list->setFocus(Qt::OtherFocusReason);
}

void DateTimeWindow::fillDateTimeList(const QDateTime &now)
{
    // Ten rows of 13 pixels fit the list's height without a scroll bar, as in the classic list box.
    const int rowHeight = (m_list->height() - 2 * m_list->frameWidth()) / 10;
    for (const QString &entry : dateTimeEntries(now)) {
        auto *item = new QListWidgetItem(entry, m_list);
        item->setSizeHint(QSize(0, rowHeight));
    }
    m_list->setCurrentRow(0);
}

void DateTimeWindow::insertChosenDateTime()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    // Ctrl+click can leave nothing selected; there is nothing to insert then.
    if (selected.isEmpty())
        return;
    emit dateTimeChosen(selected.first()->text());
    accept();
}

} // namespace editor
