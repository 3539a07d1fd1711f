#include "app/mainwindow.h"
#include "app/skin.h"
#include "editor/transcriptdocument.h"
#include "editor/transcriptedit.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { app::initResources(); }
    void init();
    void cleanup();

    void startsUnmodifiedAndFirstKeystrokeClearsStartText();
    void commandsReachTheDocument_data();
    void commandsReachTheDocument();
    void ctrlSSavesAndShowsSuccessUntilNextKeystroke();
    void closingAsksOnce_data();
    void closingAsksOnce();
    void unmodifiedWindowClosesWithoutQuestion();
    void droppedTextFileLoadsUpToZeroByte();

private:
    void trigger(const QString &how);
    QAction *menuAction(const QString &text) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    testing::WindowFixture m_fixture;
    app::ProcessState *m_state = nullptr;
    testing::ScriptedDialogs *m_dialogs = nullptr;
    app::MainWindow *m_window = nullptr;
};

void TestDocumentCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    app::Services services;
    QVERIFY(m_fixture.open(services));
    m_state = m_fixture.state();
    m_dialogs = m_fixture.dialogs();
    m_window = m_fixture.window();
    m_window->transcript()->setConverterSource([] { return QList<editor::Converter>(); });
}

void TestDocumentCommands::cleanup()
{
    QVERIFY2(m_dialogs->allAnswersUsed(), "a scripted answer was not asked for");
    m_fixture.close();
    m_dir.reset();
}

QAction *TestDocumentCommands::menuAction(const QString &text) const
{
    for (QAction *top : m_window->menuBar()->actions()) {
        if (!top->menu())
            continue;
        for (QAction *a : top->menu()->actions()) {
            if (a->text() == text)
                return a;
        }
    }
    return nullptr;
}

void TestDocumentCommands::trigger(const QString &how)
{
    QWidget *editor = m_window->editor();
    if (how.startsWith(u"Ctrl+"_s)) {
        QTest::keyClick(editor, QKeySequence(how)[0].key(), Qt::ControlModifier);
    } else if (how.startsWith(u"button "_s)) {
        QAction *button = m_window->mainToolbarButton(how.mid(7).toInt());
        QVERIFY(button);
        button->trigger();
    } else {
        QAction *item = menuAction(how);
        QVERIFY2(item, qPrintable(how));
        item->trigger();
    }
}

void TestDocumentCommands::startsUnmodifiedAndFirstKeystrokeClearsStartText()
{
    QCOMPARE(m_state->document.documentModified, 0);
    QCOMPARE(m_state->document.documentPath, QString());
    QCOMPARE(m_window->messagePart(), u"请拖放文件到标题栏"_s);
    QCOMPARE(m_window->textFormat(), editor::TextFormat::RichText);

    QTest::keyClicks(m_window->editor(), u"a"_s);
    QCOMPARE(m_state->document.documentModified, 1);
    QCOMPARE(m_window->messagePart(), QString());
}

void TestDocumentCommands::commandsReachTheDocument_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("expected"); // "question" or "save as"

    QTest::newRow("Ctrl+N asks the save question") << u"Ctrl+N"_s << u"question"_s;
    QTest::newRow("Ctrl+O asks the save question") << u"Ctrl+O"_s << u"question"_s;
    QTest::newRow("Ctrl+S on a new transcript asks where") << u"Ctrl+S"_s << u"save as"_s;
    QTest::newRow("menu 另存为") << u"另存为"_s << u"save as"_s;
    QTest::newRow("button 新建文本") << u"button 0"_s << u"question"_s;
    QTest::newRow("button 打开文本") << u"button 1"_s << u"question"_s;
    QTest::newRow("button 保存文本") << u"button 2"_s << u"save as"_s;
    QTest::newRow("button 另存文本") << u"button 3"_s << u"save as"_s;
}

void TestDocumentCommands::commandsReachTheDocument()
{
    QFETCH(QString, how);
    QFETCH(QString, expected);

    QTest::keyClicks(m_window->editor(), u"typed"_s);
    if (expected == u"question")
        m_dialogs->answerMessage(common::AnswerCancel);
    else
        m_dialogs->answerSave(QString());
    trigger(how);

    if (expected == u"question") {
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.constFirst().text, u"文件已经被修改，是否保存？"_s);
    } else {
        QCOMPARE(m_dialogs->saveRequests.size(), 1);
        QCOMPARE(m_dialogs->saveRequests.constFirst().title, u"另存为"_s);
    }
    QCOMPARE(m_window->editor()->toPlainText(), u"typed"_s);
    QCOMPARE(m_state->document.documentModified, 1);
}

void TestDocumentCommands::ctrlSSavesAndShowsSuccessUntilNextKeystroke()
{
    const QString path = m_dir->filePath(u"稿子.txt"_s);
    QTest::keyClicks(m_window->editor(), u"abc"_s);
    m_dialogs->answerSave(path);
    QTest::keyClick(m_window->editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(readAll(path), QByteArray("abc"));
    QCOMPARE(m_window->messagePart(), u"保存成功!"_s);
    QCOMPARE(m_window->pathPart(), path);
    QCOMPARE(m_state->document.documentPath, path);
    QCOMPARE(m_state->document.documentModified, 0);
    QCOMPARE(m_window->editor()->toPlainText(), u"abc"_s);

    // Unmodified: only the hint, nothing written.
    QTest::keyClick(m_window->editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_window->pathPart(), u"提示：文档还未做任何修改，无法保存！"_s);

    QTest::keyClick(m_window->editor(), Qt::Key_Home);
    QCOMPARE(m_window->messagePart(), u"保存成功!"_s);
    QTest::keyClicks(m_window->editor(), u"x"_s);
    QCOMPARE(m_window->messagePart(), QString());
    QTest::keyClick(m_window->editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(readAll(path), QByteArray("xabc"));
    QCOMPARE(m_window->pathPart(), path);
}

void TestDocumentCommands::closingAsksOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");

    for (const QString &how : {u"Ctrl+Q"_s, u"close box"_s, u"Esc"_s}) {
        QTest::addRow("%s, cancel keeps the window", qPrintable(how)) << how << int(common::AnswerCancel) << false;
        QTest::addRow("%s, no closes without saving", qPrintable(how)) << how << int(common::AnswerNo) << true;
        QTest::addRow("%s, yes saves and closes", qPrintable(how)) << how << int(common::AnswerYes) << true;
    }
}

void TestDocumentCommands::closingAsksOnce()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, closes);

    const QString path = m_dir->filePath(u"a.rtf"_s);
    QTest::keyClicks(m_window->editor(), u"unsaved"_s);
    m_dialogs->answerMessage(answer);
    if (answer == common::AnswerYes)
        m_dialogs->answerSave(path);

    if (how == u"Ctrl+Q")
        QTest::keyClick(m_window->editor(), Qt::Key_Q, Qt::ControlModifier);
    else if (how == u"Esc")
        QTest::keyClick(m_window->editor(), Qt::Key_Escape);
    else
        m_window->close();

    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.constFirst().text, u"文件已经被修改，是否保存？"_s);
    QCOMPARE(m_window->isVisible(), !closes);
    QCOMPARE(QFile::exists(path), answer == common::AnswerYes);
    if (!closes) {
        QCOMPARE(m_window->editor()->toPlainText(), u"unsaved"_s);
        QCOMPARE(m_state->document.documentModified, 1);
    }
}

void TestDocumentCommands::unmodifiedWindowClosesWithoutQuestion()
{
    QTest::keyClick(m_window->editor(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestDocumentCommands::droppedTextFileLoadsUpToZeroByte()
{
    const QString path = m_dir->filePath(u"notes.txt"_s);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("kept\0dropped", 12));
    }
    m_window->onFileDropped(path);
    QCOMPARE(m_window->editor()->toPlainText(), u"kept"_s);
    QCOMPARE(m_window->pathPart(), path);
    QCOMPARE(m_window->messagePart(), QString());
    QCOMPARE(m_state->document.documentModified, 0);
    QCOMPARE(m_window->textFormat(), editor::TextFormat::PlainText);
}

QTEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
