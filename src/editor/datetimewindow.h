#pragma once

#include <QDateTime>
#include <QDialog>
#include <QStringList>

#include <functional>

class QListWidget;
class QPushButton;

namespace editor {

// The ten date and time texts offered for one reading of the clock, in the list's order.
QStringList dateTimeEntries(const QDateTime &now);

// 日期和时间: a fixed list of date and time texts taken when the window opens.
class DateTimeWindow : public QDialog
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // Without a clock the local time is read.
    explicit DateTimeWindow(const Clock &clock = {}, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }

signals:
    // 确定 or a double-click on an entry; the window closes right after.
    void dateTimeChosen(const QString &text);

private:
    void fillDateTimeList(const QDateTime &now);
    void insertChosenDateTime();

    QListWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace editor
