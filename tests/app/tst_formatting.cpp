#include "app/mainwindow.h"
#include "app/skin.h"
#include "editor/charformat.h"
#include "editor/colorpicker.h"
#include "editor/editcommands.h"
#include "editor/formatting.h"
#include "editor/transcriptedit.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;
using editor::CharFormat;

namespace {

CharFormat make(const QString &name, int size, int effects, qint32 color)
{
    CharFormat f;
    f.fontName = name;
    f.fontSize = size;
    f.effects = effects;
    f.textColor = color;
    return f;
}

CharFormat formatAt(QTextEdit *edit, int position)
{
    QTextCursor c(edit->document());
    c.setPosition(position + 1);
    return editor::fromTextCharFormat(c.charFormat());
}

void select(QTextEdit *edit, int from, int to)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
}

} // namespace

class TestFormatting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { app::initResources(); }
    void init();
    void cleanup();

    void startsInSongti11();
    void fontBoxListsInstalledFamiliesSorted();
    void selectionShowsItsFormat();
    void typedSizeTakesEffectWithBold();
    void pickingAColourAppliesTheWholeFormat();
    void choosingAListItemAppliesAndFocusesTheEditor();
    void escInAnOpenListClosesOnlyTheList();
    void clipboardButtonsFollowTheSelection();
    void undoAndRedoFromTheToolbar();
    void dividerFromTheMenu();
    void dateTimeWindowInsertsAtTheCaret();
    void dateTimeWindowCancelInsertsNothing();
    void alwaysOnTopFlipsAndRestores();

private:
    QAction *format(int i) const { return m_window->formatToolbarButton(i); }
    QAction *main(int i) const { return m_window->mainToolbarButton(i); }
    // Runs a modal window's handling once it is up.
    void whenModalOpens(std::function<void(QWidget *)> handle);

    testing::WindowFixture m_fixture;
    app::ProcessState *m_state = nullptr;
    testing::ScriptedDialogs *m_dialogs = nullptr;
    app::MainWindow *m_window = nullptr;
    editor::TranscriptEdit *m_edit = nullptr;
};

void TestFormatting::init()
{
    app::Services services;
    services.clock = [] { return QDateTime(QDate(2012, 1, 21), QTime(15, 30, 7)); };
    QVERIFY(m_fixture.open(services));
    m_state = m_fixture.state();
    m_dialogs = m_fixture.dialogs();
    m_window = m_fixture.window();
    m_edit = m_window->editor();
    m_edit->setFocus();
    QTRY_VERIFY(m_edit->hasFocus());
}

void TestFormatting::cleanup()
{
    m_fixture.close();
}

void TestFormatting::whenModalOpens(std::function<void(QWidget *)> handle)
{
    QTimer::singleShot(0, this, [this, handle] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            whenModalOpens(handle);
            return;
        }
        handle(modal);
    });
}

void TestFormatting::startsInSongti11()
{
    QCOMPARE(m_window->fontBox()->currentText(), u"宋体"_s);
    QCOMPARE(m_window->sizeBox()->currentText(), u"11"_s);
    QTest::keyClicks(m_edit, u"ab"_s);
    QCOMPARE(formatAt(m_edit, 0), make(u"宋体"_s, 11, 0, editor::AutoColor));
    QCOMPARE(formatAt(m_edit, 1), make(u"宋体"_s, 11, 0, editor::AutoColor));
    for (int i : {0, 1, 2, 8})
        QVERIFY(!format(i)->isChecked());
}

void TestFormatting::fontBoxListsInstalledFamiliesSorted()
{
    QComboBox *box = m_window->fontBox();
    QVERIFY(box->count() > 0);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    QStringList sorted = items;
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(sorted.begin(), sorted.end(), collator);
    QCOMPARE(items, sorted);
    QCOMPARE(QSet<QString>(items.begin(), items.end()).size(), items.size());
    // Foundry tags are Qt's, not part of a family name another program would know.
    for (const QString &item : std::as_const(items))
        QVERIFY2(!item.contains(u" ["_s), qPrintable(item));
    QCOMPARE(items, editor::installedFontFamilies());
}

void TestFormatting::selectionShowsItsFormat()
{
    QTextCursor c(m_edit->document());
    c.insertText(u"bold+under"_s,
        editor::toTextCharFormat(make(u"宋体"_s, 14, editor::EffectBold | editor::EffectUnderline, 0x0000FF)));
    c.insertText(u"big"_s, editor::toTextCharFormat(make(u"宋体"_s, 30, editor::EffectItalic, editor::AutoColor)));

    select(m_edit, 0, 10);
    QVERIFY(format(0)->isChecked());
    QVERIFY(!format(1)->isChecked());
    QVERIFY(format(2)->isChecked());
    QCOMPARE(m_window->sizeBox()->currentText(), u"14"_s);
    QCOMPARE(m_window->colorPicker()->color(), 0x0000FF);

    // Two sizes in one selection: the editor reports 0 and the size box stays empty.
    select(m_edit, 8, 12);
    QCOMPARE(m_window->sizeBox()->currentText(), QString());
    QCOMPARE(m_window->fontBox()->currentText(), u"宋体"_s);

    select(m_edit, 11, 11);
    QCOMPARE(m_window->sizeBox()->currentText(), u"30"_s);
    QVERIFY(!format(0)->isChecked());
    QVERIFY(format(1)->isChecked());
    QCOMPARE(m_window->colorPicker()->color(), editor::AutoColor);
}

void TestFormatting::typedSizeTakesEffectWithBold()
{
    QTest::keyClicks(m_edit, u"some words"_s);
    select(m_edit, 5, 10);
    QLineEdit *sizeField = m_window->sizeBox()->lineEdit();
    sizeField->selectAll();
    QTest::keyClicks(sizeField, u"15"_s);
    // Typing alone changes nothing.
    QCOMPARE(formatAt(m_edit, 5).fontSize, 11);

    QWidget *boldButton = m_window->formatToolbar()->widgetForAction(format(0));
    QTest::mouseClick(boldButton, Qt::LeftButton);
    QVERIFY(format(0)->isChecked());
    QCOMPARE(formatAt(m_edit, 5), make(u"宋体"_s, 15, editor::EffectBold, editor::AutoColor));
    QCOMPARE(formatAt(m_edit, 9), make(u"宋体"_s, 15, editor::EffectBold, editor::AutoColor));
    QCOMPARE(formatAt(m_edit, 4), make(u"宋体"_s, 11, 0, editor::AutoColor));
}

void TestFormatting::pickingAColourAppliesTheWholeFormat()
{
    QTextCursor c(m_edit->document());
    QTextCharFormat struck = editor::toTextCharFormat(make(u"宋体"_s, 11, editor::EffectStrikeout, editor::AutoColor));
    struck.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(u"H2O"_s, struck);
    select(m_edit, 0, 3);
    format(1)->setChecked(true);
    QVERIFY(m_edit->hasFocus());

    editor::ColorPicker *picker = m_window->colorPicker();
    QTest::mouseClick(picker, Qt::LeftButton);
    QFrame *palette = picker->palettePopup();
    QTRY_VERIFY(palette->isVisible());
    QTest::mouseClick(palette->findChild<QToolButton *>(u"swatch_16"_s), Qt::LeftButton);
    QTRY_VERIFY(!palette->isVisible());

    // Red, italic from the toolbar, no strikeout and no subscript any more.
    QCOMPARE(picker->color(), 0x0000FF);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(formatAt(m_edit, i), make(u"宋体"_s, 11, editor::EffectItalic, 0x0000FF));
    QTextCursor probe(m_edit->document());
    probe.setPosition(2);
    QCOMPARE(probe.charFormat().verticalAlignment(), QTextCharFormat::AlignNormal);

    // 自动 takes the explicit colour away again.
    QTest::mouseClick(picker, Qt::LeftButton);
    QTRY_VERIFY(palette->isVisible());
    QTest::mouseClick(palette->findChild<QToolButton *>(u"自动"_s), Qt::LeftButton);
    QCOMPARE(formatAt(m_edit, 0).textColor, editor::AutoColor);

    // 其他颜色... asks the colour dialog; cancelling it chooses nothing.
    QSignalSpy chosen(picker, &editor::ColorPicker::colorChosen);
    picker->setColorDialog([](const QColor &, QWidget *) { return QColor(); });
    QTest::mouseClick(picker, Qt::LeftButton);
    QTest::mouseClick(palette->findChild<QToolButton *>(u"其他颜色"_s), Qt::LeftButton);
    QCOMPARE(chosen.size(), 0);
    picker->setColorDialog([](const QColor &, QWidget *) { return QColor(0x12, 0x34, 0x56); });
    QTest::mouseClick(picker, Qt::LeftButton);
    QTest::mouseClick(palette->findChild<QToolButton *>(u"其他颜色"_s), Qt::LeftButton);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(formatAt(m_edit, 1).textColor, 0x563412);
    QTRY_VERIFY(m_edit->hasFocus());
}

void TestFormatting::choosingAListItemAppliesAndFocusesTheEditor()
{
    QTest::keyClicks(m_edit, u"abc"_s);
    select(m_edit, 0, 3);
    QComboBox *sizes = m_window->sizeBox();
    sizes->setFocus();
    QTRY_VERIFY(sizes->hasFocus());

    // Dropping the list down hands the focus back to the editor first.
    sizes->showPopup();
    QCOMPARE(m_window->focusWidget(), m_edit);
    sizes->hidePopup();

    const int index = sizes->findText(u"20"_s);
    sizes->setCurrentIndex(index);
    emit sizes->activated(index);
    QCOMPARE(formatAt(m_edit, 1).fontSize, 20);
    QTRY_VERIFY(m_edit->hasFocus());

    QComboBox *fonts = m_window->fontBox();
    const QString family = fonts->itemText(0);
    fonts->setCurrentIndex(0);
    emit fonts->activated(0);
    QCOMPARE(formatAt(m_edit, 1).fontName, family);
    QCOMPARE(formatAt(m_edit, 1).fontSize, 20);
}

void TestFormatting::escInAnOpenListClosesOnlyTheList()
{
    // Unmodified: an Esc that reached the window would close it at once.
    QComboBox *sizes = m_window->sizeBox();
    sizes->showPopup();
    QTRY_VERIFY(sizes->view()->isVisible());
    QTest::keyClick(sizes->view(), Qt::Key_Escape);
    QTRY_VERIFY(!sizes->view()->isVisible());

    editor::ColorPicker *picker = m_window->colorPicker();
    picker->showPalette();
    QTRY_VERIFY(picker->palettePopup()->isVisible());
    QTest::keyClick(picker->palettePopup()->findChild<QToolButton *>(u"自动"_s), Qt::Key_Escape);
    QTRY_VERIFY(!picker->palettePopup()->isVisible());

    QVERIFY(m_window->isVisible());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestFormatting::clipboardButtonsFollowTheSelection()
{
    QGuiApplication::clipboard()->clear();
    QTest::keyClicks(m_edit, u"copy me"_s);
    QVERIFY(!main(7)->isEnabled());
    QVERIFY(!main(8)->isEnabled());
    QVERIFY(!main(9)->isEnabled());

    select(m_edit, 0, 4);
    QVERIFY(main(7)->isEnabled());
    QVERIFY(main(8)->isEnabled());
    m_window->onMainToolbarClick(8);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"copy"_s);
    // The paste button only learns of the clipboard at the next selection change.
    QVERIFY(!main(9)->isEnabled());
    select(m_edit, 7, 7);
    QVERIFY(main(9)->isEnabled());
    QVERIFY(!main(7)->isEnabled());

    m_window->onMainToolbarClick(9);
    QCOMPARE(m_edit->toPlainText(), u"copy mecopy"_s);
    select(m_edit, 0, 5);
    m_window->onMainToolbarClick(7);
    QCOMPARE(m_edit->toPlainText(), u"mecopy"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"copy "_s);
}

void TestFormatting::undoAndRedoFromTheToolbar()
{
    QTest::keyClicks(m_edit, u"typed"_s);
    m_window->fontBox()->setFocus();
    QTRY_VERIFY(!m_edit->hasFocus());

    QTest::mouseClick(m_window->mainToolbar()->widgetForAction(main(6)), Qt::LeftButton);
    QTRY_COMPARE(m_edit->toPlainText(), QString());
    QVERIFY(m_edit->hasFocus());

    QTest::mouseClick(m_window->mainToolbar()->widgetForAction(main(5)), Qt::LeftButton);
    QTRY_COMPARE(m_edit->toPlainText(), u"typed"_s);
}

void TestFormatting::dividerFromTheMenu()
{
    QTest::keyClicks(m_edit, u"one WORD two"_s);
    select(m_edit, 4, 8);
    m_window->onFormatToolbarClick(5);
    const QString line(28, QChar(0x2501));
    QCOMPARE(m_edit->toPlainText(), u"one \n"_s + line + u"\n\n two"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), editor::dividerText());
    // The divider took the format at the caret.
    QCOMPARE(formatAt(m_edit, 6), make(u"宋体"_s, 11, 0, editor::AutoColor));
    QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_edit->toPlainText().count(line), 2);
}

void TestFormatting::dateTimeWindowInsertsAtTheCaret()
{
    QTest::keyClicks(m_edit, u"[]"_s);
    select(m_edit, 1, 1);
    QTextCharFormat bold = m_edit->currentCharFormat();
    bold.setFontWeight(QFont::Bold);
    m_edit->setCurrentCharFormat(bold);
    m_state->document.documentModified = 0;

    whenModalOpens([](QWidget *modal) {
        QCOMPARE(modal->windowTitle(), u"日期和时间"_s);
        auto *list = modal->findChild<QListWidget *>(u"列表框1"_s);
        list->setCurrentRow(9);
        QTest::mouseClick(modal->findChild<QPushButton *>(u"按钮确定日期"_s), Qt::LeftButton);
    });
    m_window->onFormatToolbarClick(3);

    QCOMPARE(m_edit->toPlainText(), u"[下午 03:30:7]"_s);
    QCOMPARE(formatAt(m_edit, 2).effects, int(editor::EffectBold));
    QCOMPARE(m_state->document.documentModified, 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestFormatting::dateTimeWindowCancelInsertsNothing()
{
    QTest::keyClicks(m_edit, u"x"_s);
    whenModalOpens([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    m_window->onFormatToolbarClick(3);
    QCOMPARE(m_edit->toPlainText(), u"x"_s);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestFormatting::alwaysOnTopFlipsAndRestores()
{
    const QRect place = m_window->geometry();
    QWidget *button = m_window->formatToolbar()->widgetForAction(format(8));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(format(8)->isChecked());
    QVERIFY(m_window->windowFlags() & Qt::WindowStaysOnTopHint);
    QTRY_VERIFY(m_window->isVisible());
    QCOMPARE(m_window->geometry(), place);

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!format(8)->isChecked());
    QVERIFY(!(m_window->windowFlags() & Qt::WindowStaysOnTopHint));
    QTRY_VERIFY(m_window->isVisible());
    QCOMPARE(m_window->geometry(), place);
}

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
