#include "editor/datetimewindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDateTime : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void windowLayout();
    void okAndDoubleClickInsertTheSelectedEntry();
    void cancelEscAndCloseInsertNothing_data();
    void cancelEscAndCloseInsertNothing();
    void timeIsReadOnceAtOpening();
};

void TestDateTime::entries_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("a Saturday morning")
        << QDateTime(QDate(2012, 1, 21), QTime(8, 5, 9))
        << QStringList{u"2012-1-21"_s, u"12-1-21"_s, u"2012年1月21日"_s, u"2012 1 21"_s, u"2012 1 21 星期六"_s,
               u"2012年1月21日 星期六"_s, u"8:5"_s, u"8:5:9"_s, u"上午 8:5:9"_s, u"上午 08:5:9"_s};
    QTest::newRow("the same day in the afternoon")
        << QDateTime(QDate(2012, 1, 21), QTime(15, 30, 7))
        << QStringList{u"2012-1-21"_s, u"12-1-21"_s, u"2012年1月21日"_s, u"2012 1 21"_s, u"2012 1 21 星期六"_s,
               u"2012年1月21日 星期六"_s, u"15:30"_s, u"15:30:7"_s, u"下午 3:30:7"_s, u"下午 03:30:7"_s};
    QTest::newRow("just after midnight keeps hour 0")
        << QDateTime(QDate(2012, 1, 21), QTime(0, 5, 9))
        << QStringList{u"2012-1-21"_s, u"12-1-21"_s, u"2012年1月21日"_s, u"2012 1 21"_s, u"2012 1 21 星期六"_s,
               u"2012年1月21日 星期六"_s, u"0:5"_s, u"0:5:9"_s, u"上午 0:5:9"_s, u"上午 00:5:9"_s};
    QTest::newRow("noon is afternoon 12, listed twice")
        << QDateTime(QDate(2012, 1, 21), QTime(12, 0, 0))
        << QStringList{u"2012-1-21"_s, u"12-1-21"_s, u"2012年1月21日"_s, u"2012 1 21"_s, u"2012 1 21 星期六"_s,
               u"2012年1月21日 星期六"_s, u"12:0"_s, u"12:0:0"_s, u"下午 12:0:0"_s, u"下午 12:0:0"_s};
    QTest::newRow("a Sunday in 2005, late evening")
        << QDateTime(QDate(2005, 3, 6), QTime(23, 59, 59))
        << QStringList{u"2005-3-6"_s, u"05-3-6"_s, u"2005年3月6日"_s, u"2005 3 6"_s, u"2005 3 6 星期日"_s,
               u"2005年3月6日 星期日"_s, u"23:59"_s, u"23:59:59"_s, u"下午 11:59:59"_s, u"下午 11:59:59"_s};
    QTest::newRow("a Wednesday at the end of the year")
        << QDateTime(QDate(2025, 12, 31), QTime(10, 1, 2))
        << QStringList{u"2025-12-31"_s, u"25-12-31"_s, u"2025年12月31日"_s, u"2025 12 31"_s, u"2025 12 31 星期三"_s,
               u"2025年12月31日 星期三"_s, u"10:1"_s, u"10:1:2"_s, u"上午 10:1:2"_s, u"上午 10:1:2"_s};
}

void TestDateTime::entries()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, expected);
    QCOMPARE(editor::dateTimeEntries(now), expected);
}

void TestDateTime::windowLayout()
{
    editor::DateTimeWindow window([] { return QDateTime(QDate(2012, 1, 21), QTime(8, 5, 9)); });
    QCOMPARE(window.windowTitle(), u"日期和时间"_s);
    QCOMPARE(window.size(), QSize(186, 245));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);

    const struct
    {
        QString name;
        QRect place;
        QString text;
    } controls[] = {
        {u"标签1"_s, QRect(15, 8, 72, 16), u"可用格式(&A):"_s},
        {u"列表框1"_s, QRect(13, 32, 160, 136), QString()},
        {u"按钮确定日期"_s, QRect(13, 176, 72, 24), u"确定"_s},
        {u"按钮2"_s, QRect(101, 176, 72, 24), u"取消"_s},
    };
    for (const auto &control : controls) {
        auto *w = window.findChild<QWidget *>(control.name);
        QVERIFY2(w, qPrintable(control.name));
        QCOMPARE(w->geometry(), control.place);
        if (auto *label = qobject_cast<QLabel *>(w)) {
            QCOMPARE(label->text(), control.text);
            QCOMPARE(label->buddy(), window.list());
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            QCOMPARE(button->text(), control.text);
        }
    }
    QCOMPARE(window.list()->count(), 10);
    QCOMPARE(window.list()->currentRow(), 0);
    QVERIFY(window.list()->item(0)->isSelected());
}

void TestDateTime::okAndDoubleClickInsertTheSelectedEntry()
{
    const auto clock = [] { return QDateTime(QDate(2012, 1, 21), QTime(15, 30, 7)); };
    {
        editor::DateTimeWindow window(clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy chosen(&window, &editor::DateTimeWindow::dateTimeChosen);
        window.list()->setCurrentRow(8);
        QTest::mouseClick(window.findChild<QPushButton *>(u"按钮确定日期"_s), Qt::LeftButton);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), u"下午 3:30:7"_s);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!window.isVisible());
    }
    {
        editor::DateTimeWindow window(clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy chosen(&window, &editor::DateTimeWindow::dateTimeChosen);
        QListWidget *list = window.list();
        const QPoint at = list->visualItemRect(list->item(2)).center();
        // A double-click is a click followed by a double-click event at the same place.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), u"2012年1月21日"_s);
        QVERIFY(!window.isVisible());
    }
}

void TestDateTime::cancelEscAndCloseInsertNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("取消") << 0;
    QTest::newRow("Esc") << 1;
    QTest::newRow("the close box") << 2;
}

void TestDateTime::cancelEscAndCloseInsertNothing()
{
    QFETCH(int, how);
    editor::DateTimeWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy chosen(&window, &editor::DateTimeWindow::dateTimeChosen);
    if (how == 0)
        QTest::mouseClick(window.findChild<QPushButton *>(u"按钮2"_s), Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(window.list(), Qt::Key_Escape);
    else
        window.close();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(chosen.size(), 0);
}

void TestDateTime::timeIsReadOnceAtOpening()
{
    int readings = 0;
    QDateTime now(QDate(2012, 1, 21), QTime(8, 5, 9));
    editor::DateTimeWindow window([&] {
        ++readings;
        return now;
    });
    now = now.addSecs(3600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy chosen(&window, &editor::DateTimeWindow::dateTimeChosen);
    window.list()->setCurrentRow(7);
    QTest::mouseClick(window.findChild<QPushButton *>(u"按钮确定日期"_s), Qt::LeftButton);
    QCOMPARE(readings, 1);
    QCOMPARE(chosen.at(0).at(0).toString(), u"8:5:9"_s);
}

QTEST_MAIN(TestDateTime)
#include "tst_datetime.moc"
