#include "editor/converters.h"
#include "editor/textcodec.h"
#include "editor/transcriptdocument.h"
#include "editor/transcriptedit.h"
#include "support/scripteddialogs.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <memory>

using namespace Qt::StringLiterals;
using editor::SaveAnswer;
using editor::TextFormat;

Q_DECLARE_METATYPE(editor::SaveAnswer)

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool isRtf(const QByteArray &bytes)
{
    return bytes.startsWith("{\\rtf");
}

} // namespace

class TestTranscriptDocument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveQuestionAnswers_data();
    void saveQuestionAnswers();
    void saveChoosesFormatByLastThreeBytes_data();
    void saveChoosesFormatByLastThreeBytes();
    void saveAsChoosesFormatByReturnedName_data();
    void saveAsChoosesFormatByReturnedName();
    void saveAsDialogIsAskedTheSameWayEveryTime();
    void unmodifiedSaveShowsHintAndLaterSaveGoesToPath();
    void savedMessageStaysUntilNextChange();
    void failedSaveKeepsOldFileAndState_data();
    void failedSaveKeepsOldFileAndState();
    void saveKeepsPermissions();
    void yesWithFailedSaveKeepsTheWork();
    void newTranscriptClearsEverything();
    void loadTranscriptStopsAtZeroByte();
    void loadingIsNotAChangeAndCannotBeUndone();
    void loadedRtfThatIsNotRtfShowsItsText();
    void damagedRtfLoadsWhatWasReadAndSaysSo();
    void rtfSaveAndReopenKeepsFormatting();
    void loadedPlainTextDoesNotTakeTheCaretsFormat();
    void unreadableFileChangesNothing();
    void openDialogAsksForTheEditorsFilters();
    void openRoutesByFilterAndExtension_data();
    void openRoutesByFilterAndExtension();
    void cancelledOpenChangesNothing();
    void failedConversionChangesNothing();
    void libreOfficeConvertsDocx();

private:
    void type(const QString &text);
    void useFakeConverter(const QByteArray &rtf, const QString &error = {});
    QString file(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<editor::DocumentState> m_state;
    std::unique_ptr<editor::TranscriptEdit> m_editor;
    std::unique_ptr<testing::ScriptedDialogs> m_dialogs;
    std::unique_ptr<editor::TranscriptDocument> m_doc;
    QString m_message;
    QString m_path;
    QStringList m_converted;
};

void TestTranscriptDocument::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_state = std::make_unique<editor::DocumentState>();
    m_editor = std::make_unique<editor::TranscriptEdit>();
    m_dialogs = std::make_unique<testing::ScriptedDialogs>();
    m_message = u"请拖放文件到标题栏"_s;
    m_path.clear();
    m_converted.clear();
    editor::StatusParts status;
    status.message = [this] { return m_message; };
    status.setMessage = [this](const QString &t) { m_message = t; };
    status.setPath = [this](const QString &t) { m_path = t; };
    m_doc = std::make_unique<editor::TranscriptDocument>(*m_state, m_editor.get(), m_dialogs.get(), status);
    m_doc->setConverterSource([] { return QList<editor::Converter>(); });
    connect(m_editor.get(), &QTextEdit::textChanged, this, [this] { m_doc->onEditorTextChanged(); });
}

void TestTranscriptDocument::cleanup()
{
    QVERIFY2(m_dialogs->allAnswersUsed(), "a scripted answer was not asked for");
    m_doc.reset();
    m_editor.reset();
    m_dialogs.reset();
    m_state.reset();
    m_dir.reset();
}

void TestTranscriptDocument::type(const QString &text)
{
    QTextCursor c = m_editor->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(text);
    m_editor->setTextCursor(c);
}

void TestTranscriptDocument::useFakeConverter(const QByteArray &rtf, const QString &error)
{
    m_doc->setConverterSource([this, rtf, error] {
        editor::Converter c;
        c.name = u"Word/WPS文档"_s;
        c.patterns = {u"*.doc"_s, u"*.docx"_s, u"*.wps"_s, u"*.odt"_s};
        c.convert = [this, rtf, error](const QString &path) {
            m_converted.append(path);
            return editor::ConversionResult{error.isEmpty() ? rtf : QByteArray(), error};
        };
        return QList<editor::Converter>{c};
    });
}

void TestTranscriptDocument::saveQuestionAnswers_data()
{
    QTest::addColumn<QString>("pathName"); // the document's file, empty for none
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAsName"); // what Save As returns, empty for Cancel, "-" for not shown
    QTest::addColumn<SaveAnswer>("result");
    QTest::addColumn<bool>("written");

    QTest::newRow("yes saves to the file and goes on") << u"a.txt"_s << 5 << u"-"_s << SaveAnswer::Proceed << true;
    QTest::newRow("yes on a new transcript then cancelled save as still goes on")
        << QString() << 5 << QString() << SaveAnswer::Proceed << false;
    QTest::newRow("yes on a new transcript saves where save as says")
        << QString() << 5 << u"b.rtf"_s << SaveAnswer::Proceed << true;
    QTest::newRow("no goes on without saving") << u"a.txt"_s << 6 << u"-"_s << SaveAnswer::Proceed << false;
    QTest::newRow("cancel stops") << u"a.txt"_s << 1 << u"-"_s << SaveAnswer::Cancelled << false;
    QTest::newRow("any other code counts as no") << u"a.txt"_s << 0 << u"-"_s << SaveAnswer::Proceed << false;
}

void TestTranscriptDocument::saveQuestionAnswers()
{
    QFETCH(QString, pathName);
    QFETCH(int, answer);
    QFETCH(QString, saveAsName);
    QFETCH(SaveAnswer, result);
    QFETCH(bool, written);

    const QString path = pathName.isEmpty() ? QString() : file(pathName);
    if (!path.isEmpty())
        QVERIFY(writeFile(path, "old"));
    m_state->documentPath = path;
    type(u"改过的稿子"_s);
    QCOMPARE(m_state->documentModified, 1);

    m_dialogs->answerMessage(answer);
    if (saveAsName != u"-")
        m_dialogs->answerSave(saveAsName.isEmpty() ? QString() : file(saveAsName));

    QCOMPARE(m_doc->askToSave(), result);
    QCOMPARE(m_dialogs->messages.size(), 1);
    const auto &asked = m_dialogs->messages.constFirst();
    QCOMPARE(asked.text, u"文件已经被修改，是否保存？"_s);
    QCOMPARE(asked.caption, u"询问"_s);
    QCOMPARE(asked.buttons, common::Buttons::YesNoCancel);
    QCOMPARE(asked.icon, common::Icon::Question);

    const QString target = saveAsName != u"-" && !saveAsName.isEmpty() ? file(saveAsName) : path;
    QCOMPARE(m_state->documentModified, written ? 0 : 1);
    QCOMPARE(m_editor->toPlainText(), u"改过的稿子"_s);
    if (!target.isEmpty())
        QCOMPARE(readAll(target) != "old" && !readAll(target).isEmpty(), written);

    // Without changes nothing is asked.
    m_state->documentModified = 0;
    QCOMPARE(m_doc->askToSave(), SaveAnswer::Proceed);
    QCOMPARE(m_dialogs->messages.size(), 1);
}

void TestTranscriptDocument::saveChoosesFormatByLastThreeBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format"); // 0 plain, 1 RTF, -1 Save As

    QTest::newRow("lower-case txt") << u"notes.txt"_s << 0;
    QTest::newRow("capital TXT is text too") << u"NOTES.TXT"_s << 0;
    QTest::newRow("txt without a dot is text") << u"notestxt"_s << 0;
    QTest::newRow("chinese name") << u"讲话稿.txt"_s << 0;
    QTest::newRow("mixed-case rtf") << u"notes.Rtf"_s << 1;
    QTest::newRow("word document goes to save as") << u"letter.doc"_s << -1;
    QTest::newRow("docx goes to save as") << u"letter.docx"_s << -1;
    QTest::newRow("no file goes to save as") << QString() << -1;
}

void TestTranscriptDocument::saveChoosesFormatByLastThreeBytes()
{
    QFETCH(QString, name);
    QFETCH(int, format);

    const QString path = name.isEmpty() ? QString() : file(name);
    m_state->documentPath = path;
    type(u"第一段\n第二段"_s);
    if (format < 0)
        m_dialogs->answerSave(QString());
    m_doc->saveTranscript();

    if (format < 0) {
        QCOMPARE(m_dialogs->saveRequests.size(), 1);
        QCOMPARE(m_state->documentModified, 1);
        QCOMPARE(m_state->documentPath, path);
        if (!path.isEmpty())
            QVERIFY(!QFile::exists(path));
        return;
    }
    const QByteArray bytes = readAll(path);
    if (format == 0) {
        QCOMPARE(bytes, editor::encodePlainText(u"第一段\n第二段"_s));
        QCOMPARE(m_doc->textFormat(), TextFormat::PlainText);
    } else {
        QVERIFY(isRtf(bytes));
        QCOMPARE(m_doc->textFormat(), TextFormat::RichText);
    }
    QCOMPARE(m_state->documentModified, 0);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_path, path);
    QCOMPARE(m_message, u"保存成功!"_s);
}

void TestTranscriptDocument::saveAsChoosesFormatByReturnedName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");

    QTest::newRow("txt") << u"a.txt"_s << true;
    QTest::newRow("capital TXT") << u"a.TXT"_s << true;
    QTest::newRow("rtf") << u"a.rtf"_s << false;
    QTest::newRow("a word name gets rtf") << u"a.doc"_s << false;
    QTest::newRow("a name without extension gets rtf") << u"a"_s << false;
}

void TestTranscriptDocument::saveAsChoosesFormatByReturnedName()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);

    type(u"abc"_s);
    m_state->documentModified = 0; // Save As saves whether or not anything changed
    m_dialogs->answerSave(file(name), plain ? 0 : 1);
    m_doc->saveTranscriptAs();

    const QByteArray bytes = readAll(file(name));
    QCOMPARE(isRtf(bytes), !plain);
    if (plain)
        QCOMPARE(bytes, QByteArray("abc"));
    QCOMPARE(m_state->documentPath, file(name));
    QCOMPARE(m_path, file(name));
    QCOMPARE(m_message, u"保存成功!"_s);
}

void TestTranscriptDocument::saveAsDialogIsAskedTheSameWayEveryTime()
{
    type(u"x"_s);
    m_dialogs->answerSave(QString());
    m_dialogs->answerSave(QString());
    m_doc->saveTranscriptAs();
    m_doc->saveTranscriptAs();
    QCOMPARE(m_dialogs->saveRequests.size(), 2);
    for (const common::FileRequest &r : std::as_const(m_dialogs->saveRequests)) {
        QCOMPARE(r.title, u"另存为"_s);
        QCOMPARE(r.filters, QStringList({u"文本文件(*.txt)"_s, u"富文本文件(*.rtf)"_s}));
        QCOMPARE(r.selectedFilter, 0);
        QCOMPARE(r.fileName, QString());
    }
    QCOMPARE(m_state->documentModified, 1);
    QCOMPARE(m_state->documentPath, QString());
}

void TestTranscriptDocument::unmodifiedSaveShowsHintAndLaterSaveGoesToPath()
{
    const QString path = file(u"a.txt"_s);
    QVERIFY(writeFile(path, "old"));
    m_doc->loadTranscript(path, TextFormat::PlainText);
    QCOMPARE(m_path, path);

    m_doc->saveTranscript();
    QCOMPARE(m_path, u"提示：文档还未做任何修改，无法保存！"_s);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(readAll(path), QByteArray("old"));

    type(u" new"_s);
    QCOMPARE(m_path, u"提示：文档还未做任何修改，无法保存！"_s);
    m_doc->saveTranscript();
    QCOMPARE(readAll(path), QByteArray("old new"));
    QCOMPARE(m_path, path);
}

void TestTranscriptDocument::savedMessageStaysUntilNextChange()
{
    type(u"a"_s);
    QCOMPARE(m_message, QString()); // the first change clears the start text
    m_state->documentPath = file(u"a.rtf"_s);
    m_doc->saveTranscript();
    QCOMPARE(m_message, u"保存成功!"_s);
    QCOMPARE(m_state->documentModified, 0);

    m_editor->moveCursor(QTextCursor::Start);
    QCOMPARE(m_message, u"保存成功!"_s);
    QCOMPARE(m_state->documentModified, 0);

    type(u"b"_s);
    QCOMPARE(m_message, QString());
    QCOMPARE(m_state->documentModified, 1);
}

void TestTranscriptDocument::failedSaveKeepsOldFileAndState_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only file") << u"readonly"_s;
    QTest::newRow("missing folder") << u"missing"_s;
    QTest::newRow("a folder by that name") << u"folder"_s;
}

void TestTranscriptDocument::failedSaveKeepsOldFileAndState()
{
    QFETCH(QString, kind);

    QString path;
    if (kind == u"readonly") {
        path = file(u"locked.txt"_s);
        QVERIFY(writeFile(path, "old words"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (kind == u"missing") {
        path = file(u"nowhere/a.txt"_s);
    } else {
        path = file(u"sub.txt"_s);
        QVERIFY(QDir(m_dir->path()).mkdir(u"sub.txt"_s));
    }
    m_state->documentPath = path;
    m_message = u"请拖放文件到标题栏"_s;
    m_editor->blockSignals(true);
    type(u"new words"_s);
    m_editor->blockSignals(false);
    m_state->documentModified = 1;

    m_dialogs->answerMessage(common::AnswerOk);
    m_doc->saveTranscript();

    QCOMPARE(m_dialogs->messages.size(), 1);
    const auto &box = m_dialogs->messages.constFirst();
    QCOMPARE(box.text, u"保存"_s + path + u"失败！\r\n可能该文件已被打开。"_s);
    QCOMPARE(box.caption, u"错误"_s);
    QCOMPARE(box.buttons, common::Buttons::Ok);
    QCOMPARE(box.icon, common::Icon::Error);
    QCOMPARE(m_state->documentModified, 1);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_message, u"请拖放文件到标题栏"_s);
    QCOMPARE(m_path, QString());
    if (kind == u"readonly")
        QCOMPARE(readAll(path), QByteArray("old words"));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter(u".txt."_s).isEmpty());
}

void TestTranscriptDocument::saveKeepsPermissions()
{
    const QString path = file(u"shared.txt"_s);
    QVERIFY(writeFile(path, "old"));
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, perms));
    m_state->documentPath = path;
    type(u"new"_s);
    m_doc->saveTranscript();
    QCOMPARE(readAll(path), QByteArray("new"));
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), perms);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList({u"shared.txt"_s}));
}

void TestTranscriptDocument::yesWithFailedSaveKeepsTheWork()
{
    const QString path = file(u"nowhere/a.txt"_s);
    m_state->documentPath = path;
    type(u"一天的工作"_s);
    m_dialogs->answerMessage(common::AnswerYes);
    m_dialogs->answerMessage(common::AnswerOk);
    QCOMPARE(m_doc->askToSave(), SaveAnswer::Cancelled);
    QCOMPARE(m_dialogs->messages.size(), 2);
    QCOMPARE(m_dialogs->messages.at(1).caption, u"错误"_s);
    QCOMPARE(m_state->documentModified, 1);
    QCOMPARE(m_editor->toPlainText(), u"一天的工作"_s);
}

void TestTranscriptDocument::newTranscriptClearsEverything()
{
    const QString path = file(u"a.txt"_s);
    QVERIFY(writeFile(path, "abc"));
    m_doc->loadTranscript(path, TextFormat::PlainText);
    type(u"d"_s);

    m_dialogs->answerMessage(common::AnswerCancel);
    m_doc->newTranscript();
    QCOMPARE(m_editor->toPlainText(), u"abcd"_s);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_state->documentModified, 1);
    QCOMPARE(m_path, path);

    m_dialogs->answerMessage(common::AnswerNo);
    m_message = u"保存成功!"_s;
    m_doc->newTranscript();
    QCOMPARE(m_editor->toPlainText(), QString());
    QCOMPARE(m_state->documentPath, QString());
    QCOMPARE(m_state->documentModified, 0);
    QCOMPARE(m_path, QString());
    QCOMPARE(m_message, QString());
    QCOMPARE(readAll(path), QByteArray("abc"));
}

void TestTranscriptDocument::loadTranscriptStopsAtZeroByte()
{
    const QString path = file(u"dropped.txt"_s);
    QVERIFY(writeFile(path, QByteArray("before\0after", 12)));
    m_doc->setTextFormat(TextFormat::RichText);
    m_doc->loadTranscript(path, TextFormat::PlainText);
    QCOMPARE(m_editor->toPlainText(), u"before"_s);
    QCOMPARE(m_doc->textFormat(), TextFormat::PlainText);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_path, path);
    QCOMPARE(m_state->documentModified, 0);
    QCOMPARE(m_message, QString()); // loading was the first text change

    // Saving writes back to it, without the tail.
    type(u"!"_s);
    m_doc->saveTranscript();
    QCOMPARE(readAll(path), QByteArray("before!"));
}

void TestTranscriptDocument::loadingIsNotAChangeAndCannotBeUndone()
{
    type(u"old transcript"_s);
    const QString txt = file(u"a.txt"_s);
    const QString rtfPath = file(u"b.rtf"_s);
    QVERIFY(writeFile(txt, "plain"));
    QVERIFY(writeFile(rtfPath, "{\\rtf1\\ansi rich\\par}"));
    for (const auto &[path, format] : {std::pair{txt, TextFormat::PlainText}, std::pair{rtfPath, TextFormat::RichText}}) {
        m_doc->loadTranscript(path, format);
        QCOMPARE(m_state->documentModified, 0);
        QVERIFY2(!m_editor->document()->isUndoAvailable(), qPrintable(path));
        QVERIFY(!m_editor->toPlainText().contains(u"old"_s));
        QCOMPARE(m_editor->textCursor().position(), 0);
    }
    // The caret no longer sticks to the start once the text is in.
    QTest::keyClicks(m_editor.get(), u"!"_s);
    QCOMPARE(m_editor->textCursor().position(), 1);
    QVERIFY(m_editor->toPlainText().startsWith(u"!"_s));
}

void TestTranscriptDocument::loadedRtfThatIsNotRtfShowsItsText()
{
    const QString path = file(u"plain.rtf"_s);
    QVERIFY(writeFile(path, "just words, no rtf"));
    m_doc->loadTranscript(path, TextFormat::RichText);
    QCOMPARE(m_editor->toPlainText(), u"just words, no rtf"_s);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_state->documentModified, 0);
}

void TestTranscriptDocument::damagedRtfLoadsWhatWasReadAndSaysSo()
{
    const QString path = file(u"cut.rtf"_s);
    QVERIFY(writeFile(path, "{\\rtf1\\ansi first part\\par {\\b second"));
    m_dialogs->answerMessage(common::AnswerOk);
    m_doc->loadTranscript(path, TextFormat::RichText);
    QVERIFY(m_editor->toPlainText().startsWith(u"first part"_s));
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.constFirst().text, u"文件"_s + path + u"已损坏，只读入了损坏处之前的内容。"_s);
    QCOMPARE(m_dialogs->messages.constFirst().icon, common::Icon::Warning);
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_state->documentModified, 0);
    QCOMPARE(readAll(path), QByteArray("{\\rtf1\\ansi first part\\par {\\b second"));
}

void TestTranscriptDocument::rtfSaveAndReopenKeepsFormatting()
{
    type(u"普通"_s);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    m_editor->textCursor().insertText(u"加粗"_s, bold);
    const QString path = file(u"a.rtf"_s);
    m_dialogs->answerSave(path, 1);
    m_doc->saveTranscriptAs();

    m_doc->newTranscript();
    QCOMPARE(m_editor->toPlainText(), QString());
    m_doc->loadTranscript(path, TextFormat::RichText);
    QCOMPARE(m_editor->toPlainText(), u"普通加粗"_s);
    QTextCursor c(m_editor->document());
    c.setPosition(1);
    QVERIFY(c.charFormat().fontWeight() < QFont::Bold);
    c.setPosition(4);
    QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
}

void TestTranscriptDocument::loadedPlainTextDoesNotTakeTheCaretsFormat()
{
    QTextCharFormat red;
    red.setForeground(Qt::red);
    red.setFontWeight(QFont::Bold);
    m_editor->textCursor().insertText(u"red"_s, red);
    const QString path = file(u"a.txt"_s);
    QVERIFY(writeFile(path, "plain"));
    m_doc->loadTranscript(path, TextFormat::PlainText);
    QTextCursor c(m_editor->document());
    c.setPosition(3);
    QVERIFY(c.charFormat().fontWeight() < QFont::Bold);
    QVERIFY(!c.charFormat().hasProperty(QTextFormat::ForegroundBrush));
}

void TestTranscriptDocument::unreadableFileChangesNothing()
{
    type(u"keep me"_s);
    m_state->documentModified = 0;
    const QString path = file(u"gone.txt"_s);
    m_dialogs->answerMessage(common::AnswerOk);
    m_doc->loadTranscript(path, TextFormat::PlainText);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.constFirst().text, u"打开"_s + path + u"失败！\r\n无法读取该文件。"_s);
    QCOMPARE(m_dialogs->messages.constFirst().icon, common::Icon::Error);
    QCOMPARE(m_editor->toPlainText(), u"keep me"_s);
    QCOMPARE(m_state->documentPath, QString());
    QCOMPARE(m_path, QString());
}

void TestTranscriptDocument::openDialogAsksForTheEditorsFilters()
{
    m_dialogs->answerOpen(QString());
    m_doc->openTranscript();
    useFakeConverter("{\\rtf1 x}");
    m_dialogs->answerOpen(QString());
    m_doc->openTranscript();

    QCOMPARE(m_dialogs->openRequests.size(), 2);
    const QStringList plainFilters{u"RTF文件 (*.rtf)"_s, u"文本文档 (*.txt)"_s, u"所有文件 (*.*)"_s};
    QCOMPARE(m_dialogs->openRequests.at(0).filters, plainFilters);
    const QStringList withWord{u"RTF文件 (*.rtf)"_s, u"Word/WPS文档 (*.doc;*.docx;*.wps;*.odt)"_s,
        u"文本文档 (*.txt)"_s, u"所有文件 (*.*)"_s};
    QCOMPARE(m_dialogs->openRequests.at(1).filters, withWord);
    for (const common::FileRequest &r : std::as_const(m_dialogs->openRequests)) {
        QCOMPARE(r.title, u"请输入欲打开文档的文件名:"_s);
        QCOMPARE(r.selectedFilter, 0);
        QCOMPARE(r.defaultSuffix, u"rtf"_s);
    }
}

void TestTranscriptDocument::openRoutesByFilterAndExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("filter"); // 0 RTF, 1 the converter, 2 text, 3 all files
    QTest::addColumn<bool>("converted");
    QTest::addColumn<QString>("expected");

    const QByteArray rtf = "{\\rtf1\\ansi from rtf\\par}";
    QTest::newRow("txt under all files is plain text") << u"a.txt"_s << QByteArray("{\\rtf1 as text}") << 3 << false
                                                       << u"{\\rtf1 as text}"_s;
    QTest::newRow("capital RTF under all files is rtf") << u"a.RTF"_s << rtf << 3 << false << QString();
    QTest::newRow("docx under all files goes through the converter") << u"a.docx"_s << QByteArray("PK") << 3 << true
                                                                   << QString();
    QTest::newRow("odd name under the converter's filter is converted") << u"a.bak"_s << QByteArray("PK") << 1 << true
                                                                      << QString();
    QTest::newRow("txt under the converter's filter stays ours") << u"a.txt"_s << QByteArray("words") << 1 << false
                                                               << u"words"_s;
    QTest::newRow("unknown extension is plain text") << u"a.log"_s << QByteArray("log line") << 0 << false
                                                     << u"log line"_s;
    QTest::newRow("no extension is plain text") << u"README"_s << QByteArray("read me") << 3 << false << u"read me"_s;
}

void TestTranscriptDocument::openRoutesByFilterAndExtension()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, filter);
    QFETCH(bool, converted);
    QFETCH(QString, expected);

    useFakeConverter("{\\rtf1\\ansi converted\\par}");
    const QString path = file(name);
    QVERIFY(writeFile(path, content));
    m_doc->setTextFormat(TextFormat::PlainText);
    type(u"before"_s);
    m_dialogs->answerMessage(common::AnswerNo);
    m_dialogs->answerOpen(path, filter);
    m_doc->openTranscript();

    QCOMPARE(m_converted, converted ? QStringList{path} : QStringList{});
    if (!expected.isEmpty())
        QCOMPARE(m_editor->toPlainText(), expected);
    else
        QVERIFY(!m_editor->toPlainText().contains(u"before"_s));
    QCOMPARE(m_state->documentPath, path);
    QCOMPARE(m_path, path);
    QCOMPARE(m_state->documentModified, 0);
    QCOMPARE(m_doc->textFormat(), TextFormat::PlainText); // Open leaves the mode alone

    if (converted) {
        // The adopted path is the original's, so the next Save asks where to put it.
        type(u"x"_s);
        m_dialogs->answerSave(QString());
        m_doc->saveTranscript();
        QCOMPARE(m_dialogs->saveRequests.size(), 1);
    }
}

void TestTranscriptDocument::cancelledOpenChangesNothing()
{
    type(u"text"_s);
    m_state->documentPath = u"/x/a.txt"_s;
    m_path = u"/x/a.txt"_s;
    m_message = u"保存成功!"_s;
    m_dialogs->answerMessage(common::AnswerNo);
    m_dialogs->answerOpen(QString());
    m_doc->openTranscript();
    QCOMPARE(m_editor->toPlainText(), u"text"_s);
    QCOMPARE(m_state->documentPath, u"/x/a.txt"_s);
    QCOMPARE(m_path, u"/x/a.txt"_s);
    QCOMPARE(m_message, u"保存成功!"_s);
    QCOMPARE(m_state->documentModified, 1);

    m_dialogs->answerMessage(common::AnswerCancel);
    m_doc->openTranscript();
    QCOMPARE(m_dialogs->openRequests.size(), 1);
}

void TestTranscriptDocument::failedConversionChangesNothing()
{
    useFakeConverter({}, u"LibreOffice无法转换该文件。"_s);
    const QString path = file(u"broken.doc"_s);
    QVERIFY(writeFile(path, "not a word file"));
    m_dialogs->answerOpen(path, 1);
    m_dialogs->answerMessage(common::AnswerOk);
    m_doc->openTranscript();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.constFirst().text, u"打开"_s + path + u"失败！\r\nLibreOffice无法转换该文件。"_s);
    QCOMPARE(m_dialogs->messages.constFirst().caption, u"错误"_s);
    QCOMPARE(m_editor->toPlainText(), QString());
    QCOMPARE(m_state->documentPath, QString());
}

void TestTranscriptDocument::libreOfficeConvertsDocx()
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");

    // A .docx made by LibreOffice itself from RTF we write.
    const QString source = file(u"source.rtf"_s);
    QVERIFY(writeFile(source,
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 hello \\u20320?\\u22909? world\\par}"));
    QTemporaryDir profile;
    QProcess make;
    make.start(soffice, {u"-env:UserInstallation="_s + QUrl::fromLocalFile(profile.path()).toString(), u"--headless"_s,
                            u"--convert-to"_s, u"docx"_s, u"--outdir"_s, m_dir->path(), source});
    QVERIFY(make.waitForFinished(120000));
    const QString docx = file(u"讲话 稿.docx"_s);
    QVERIFY(QFile::rename(file(u"source.docx"_s), docx));

    const QList<editor::Converter> converters = editor::availableConverters();
    QCOMPARE(converters.size(), 1);
    QCOMPARE(converters.constFirst().filterLabel(), u"Word/WPS文档 (*.doc;*.docx;*.wps;*.odt)"_s);
    m_doc->setConverterSource(&editor::availableConverters);
    m_dialogs->answerOpen(docx, 3);
    m_doc->openTranscript();
    QCOMPARE(m_state->documentPath, docx);
    QCOMPARE(m_state->documentModified, 0);
    QVERIFY2(m_editor->toPlainText().contains(u"hello 你好 world"_s), qPrintable(m_editor->toPlainText().left(200)));

    // Not a document at all: a clear message, nothing loaded.
    const QString junk = file(u"junk.docx"_s);
    QVERIFY(writeFile(junk, QByteArray(64, '\x01')));
    m_dialogs->answerOpen(junk, 1);
    m_dialogs->answerMessage(common::AnswerOk);
    m_doc->openTranscript();
    QCOMPARE(m_state->documentPath, docx);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY(m_dialogs->messages.constFirst().text.startsWith(u"打开"_s + junk + u"失败！\r\n"_s));
}

QTEST_MAIN(TestTranscriptDocument)
#include "tst_transcriptdocument.moc"
