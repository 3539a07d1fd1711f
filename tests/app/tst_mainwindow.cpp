#include "app/mainwindow.h"
#include "app/skin.h"
#include "editor/transcriptedit.h"
#include "transport/knobbutton.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { app::initResources(); }
    void init();
    void cleanup();

    void startsWithCaptionAndStatusTexts();
    void controlsAtTheirPlaces_data();
    void controlsAtTheirPlaces();
    void menuItemsShowTheirKeys_data();
    void menuItemsShowTheirKeys();
    void mainToolbarHasSeventeenButtons();
    void resizeKeepsEditorRule();
    void tinyWindowDoesNotBreakTheRule();
    void functionKeysAndTabInsertNothing();
    void escClosesUnmodifiedWindow();

private:
    testing::WindowFixture m_fixture;
    app::ProcessState *m_state = nullptr;
    testing::ScriptedDialogs *m_dialogs = nullptr;
    app::MainWindow *m_window = nullptr;
};

void TestMainWindow::init()
{
    QVERIFY(m_fixture.open());
    m_state = m_fixture.state();
    m_dialogs = m_fixture.dialogs();
    m_window = m_fixture.window();
}

void TestMainWindow::cleanup()
{
    m_fixture.close();
}

void TestMainWindow::startsWithCaptionAndStatusTexts()
{
    QCOMPARE(m_window->windowTitle(), u"Vornel录音整理工具5.0"_s);
    QCOMPARE(m_window->messagePart(), u"请拖放文件到标题栏"_s);
    QCOMPARE(m_window->pathPart(), QString());
    QCOMPARE(m_window->client()->size(), QSize(594, 368));
    auto *fixed = m_window->findChild<QLabel *>(u"标签1"_s);
    QVERIFY(fixed);
    QCOMPARE(fixed->text(), u"当前：         总长：          "_s);
    QVERIFY(m_state->skinEngine.attached);
}

void TestMainWindow::controlsAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::newRow("colour picker") << u"颜色选择器1"_s << QRect(219, 29, 45, 20);
    QTest::newRow("font box") << u"组合框1"_s << QRect(7, 29, 136, 20);
    QTest::newRow("size box") << u"组合框2"_s << QRect(150, 29, 64, 20);
    QTest::newRow("format toolbar") << u"工具条2"_s << QRect(269, 28, 209, 24);
    QTest::newRow("length label") << u"总长标签"_s << QRect(489, 3, 50, 20);
    QTest::newRow("knob") << u"超级按钮1"_s << QRect(6, 56, 20, 12);
    QTest::newRow("groove") << u"画板1"_s << QRect(6, 60, 580, 4);
    QTest::newRow("position label") << u"当前标签"_s << QRect(400, 3, 50, 20);
    QTest::newRow("status bar") << u"状态条1"_s << QRect(0, 348, 594, 20);
    QTest::newRow("fixed captions") << u"标签1"_s << QRect(361, 3, 248, 20);
    QTest::newRow("editor follows the client area") << u"超级编辑框1"_s << QRect(5, 80, 584, 263);
    QTest::newRow("main toolbar") << u"工具条1"_s << QRect(0, 0, 2000, 28);
}

void TestMainWindow::controlsAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    auto *w = m_window->client()->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), place);
    QCOMPARE(w->parentWidget(), m_window->client());
}

void TestMainWindow::menuItemsShowTheirKeys_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("key");
    QTest::newRow("new") << u"文件(&F)"_s << u"新建文本"_s << u"Ctrl+N"_s;
    QTest::newRow("open") << u"文件(&F)"_s << u"打开文本"_s << u"Ctrl+O"_s;
    QTest::newRow("save") << u"文件(&F)"_s << u"保存"_s << u"Ctrl+S"_s;
    QTest::newRow("save as has no key") << u"文件(&F)"_s << u"另存为"_s << QString();
    QTest::newRow("exit") << u"文件(&F)"_s << u"退出"_s << u"Ctrl+Q"_s;
    QTest::newRow("divider") << u"编辑(&E)"_s << u"插入分割线"_s << QString();
    QTest::newRow("position") << u"编辑(&E)"_s << u"插入当前时间秒数"_s << QString();
    QTest::newRow("open audio") << u"音频(&V)"_s << u"打开音频"_s << QString();
    QTest::newRow("play/pause") << u"音频(&V)"_s << u"播放/暂停"_s << u"F4"_s;
    QTest::newRow("back") << u"音频(&V)"_s << u"快退5秒"_s << u"F5"_s;
    QTest::newRow("forward") << u"音频(&V)"_s << u"快进5秒"_s << u"F6"_s;
    QTest::newRow("version") << u"帮助(&H)"_s << u"检查新版本"_s << QString();
    QTest::newRow("help") << u"帮助(&H)"_s << u"帮助文档"_s << QString();
}

void TestMainWindow::menuItemsShowTheirKeys()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QString, key);
    QAction *found = nullptr;
    for (QAction *top : m_window->menuBar()->actions()) {
        if (top->text() != menu || !top->menu())
            continue;
        for (QAction *a : top->menu()->actions())
            if (a->text() == item)
                found = a;
    }
    QVERIFY2(found, qPrintable(item));
    QCOMPARE(found->shortcut().toString(QKeySequence::PortableText), key);
    QVERIFY(found->isEnabled());
    QVERIFY(!found->isCheckable());
}

void TestMainWindow::mainToolbarHasSeventeenButtons()
{
    const QStringList tips = {u"新建文本"_s, u"打开文本"_s, u"保存文本"_s, u"另存文本"_s, QString(), u"重做"_s,
        u"撤销"_s, u"剪切"_s, u"复制"_s, u"粘贴"_s, QString(), u"打开音频"_s, u"播放"_s, u"暂停"_s, u"快退5秒"_s,
        u"快进5秒"_s, QString()};
    QCOMPARE(m_window->mainToolbar()->actions().size(), 17);
    for (int i = 0; i < tips.size(); ++i) {
        QAction *a = m_window->mainToolbarButton(i);
        QCOMPARE(a->isSeparator(), tips.at(i).isEmpty());
        if (!a->isSeparator())
            QCOMPARE(a->toolTip(), tips.at(i));
        QVERIFY(a->isEnabled());
        QVERIFY(!a->isChecked());
    }
    // Separators and indices outside the table run nothing.
    for (int index : {4, 10, 16, 17, -1, 99})
        m_window->onMainToolbarClick(index);
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestMainWindow::resizeKeepsEditorRule()
{
    m_window->fontBox()->setFocus();
    m_window->resize(1000, 700 + m_window->menuBar()->height());
    QTRY_COMPARE(m_window->client()->size(), QSize(1000, 700));
    QCOMPARE(m_window->editor()->geometry(), QRect(5, 80, 990, 595));
    QCOMPARE(m_window->knob()->geometry(), QRect(6, 56, 20, 12));
    QCOMPARE(m_window->formatToolbar()->geometry(), QRect(269, 28, 209, 24));
    QTRY_VERIFY(m_window->editor()->hasFocus());
}

void TestMainWindow::tinyWindowDoesNotBreakTheRule()
{
    m_window->client()->resize(8, 50);
    QCOMPARE(m_window->editor()->size(), QSize(0, 0));
    m_window->client()->resize(600, 400);
    QCOMPARE(m_window->editor()->geometry(), QRect(5, 80, 590, 295));
}

void TestMainWindow::functionKeysAndTabInsertNothing()
{
    editor::TranscriptEdit *edit = m_window->editor();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, u"abc"_s);
    for (Qt::Key key : {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6})
        QTest::keyClick(edit, key);
    QCOMPARE(edit->toPlainText(), u"abc"_s);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->toPlainText(), u"abc"_s);
    QVERIFY(!edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->toPlainText(), u"abc\n"_s);
}

void TestMainWindow::escClosesUnmodifiedWindow()
{
    m_window->editor()->setFocus();
    QTest::keyClick(m_window->editor(), Qt::Key_Escape);
    QTRY_VERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
