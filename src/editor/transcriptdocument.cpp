#include "transcriptdocument.h"

#include "common/dialogs.h"
#include "editor/rtf/rtf.h"
#include "editor/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace editor {

namespace {

// The last three bytes of the path as the file system spells it, A to Z lower-cased; shorter paths whole.
QByteArray lastThreeBytes(const QString &path)
{
    QByteArray tail = QFile::encodeName(path).right(3);
    for (char &c : tail) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return tail;
}

// The part after the last dot of the file name, lower-cased; empty without a dot.
QString extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QByteArray upToFirstZero(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

// A file nobody may write is read-only, also for a user whom the system would let write it anyway.
bool isMarkedReadOnly(const QFileInfo &info)
{
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWrite);
}

// The new content goes to a temporary file beside the old one and replaces it only when complete, so a
// full disk or a crash leaves the previous transcript as it was.
bool saveBytes(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.isDir() || (info.exists() && isMarkedReadOnly(info)))
        return false;
    QSaveFile file(path);
    // Folders that cannot take a temporary file still take the transcript itself.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

TranscriptDocument::TranscriptDocument(DocumentState &state, QTextEdit *editor, common::Dialogs *dialogs,
    StatusParts status)
    : m_state(state)
    , m_editor(editor)
    , m_dialogs(dialogs)
    , m_status(std::move(status))
    , m_converters(&availableConverters)
{
    Q_ASSERT(m_editor && m_dialogs);
}

QString TranscriptDocument::saveFailedText(const QString &path)
{
    return QStringLiteral("保存") + path + QStringLiteral("失败！\r\n可能该文件已被打开。");
}

SaveAnswer TranscriptDocument::askToSave()
{
    if (m_state.documentModified != 1)
        return SaveAnswer::Proceed;
    const int answer = m_dialogs->message(
        saveQuestion(), QStringLiteral("询问"), common::Buttons::YesNoCancel, common::Icon::Question);
    if (answer == common::AnswerYes) {
        m_lastWrite = WriteResult::NotTried;
        saveTranscript();
        // The typist asked for the work to be kept; when the disk refused it, it must not be thrown away.
        return m_lastWrite == WriteResult::Failed ? SaveAnswer::Cancelled : SaveAnswer::Proceed;
    }
    if (answer == common::AnswerCancel)
        return SaveAnswer::Cancelled;
    return SaveAnswer::Proceed;
}

void TranscriptDocument::newTranscript()
{
    if (askToSave() == SaveAnswer::Cancelled)
        return;
    setEditorText(QByteArray());
    m_state.documentPath.clear();
    m_status.setMessage(QString());
    m_status.setPath(QString());
    m_state.documentModified = 0;
}

void TranscriptDocument::openTranscript()
{
    if (askToSave() == SaveAnswer::Cancelled)
        return;
    m_loadedDamaged = false;
    const QString path = openDocument();
    if (path.isEmpty())
        return;
    // Loading raised text changes; the freshly opened file is not a change.
    adoptPath(path);
    warnIfDamaged(path);
}

void TranscriptDocument::loadTranscript(const QString &path, TextFormat format)
{
    m_textFormat = format;
    QByteArray bytes;
    if (!readFile(path, &bytes))
        return;
    m_loadedDamaged = false;
    setEditorText(bytes);
    adoptPath(path);
    warnIfDamaged(path);
}

void TranscriptDocument::saveTranscript()
{
    if (m_state.documentModified != 1) {
        m_status.setPath(notModifiedHint());
        return;
    }
    const QByteArray tail = lastThreeBytes(m_state.documentPath);
    if (tail == "txt") {
        m_textFormat = TextFormat::PlainText;
        writeTranscript(m_state.documentPath);
    } else if (tail == "rtf") {
        m_textFormat = TextFormat::RichText;
        writeTranscript(m_state.documentPath);
    } else {
        saveTranscriptAs();
    }
}

void TranscriptDocument::saveTranscriptAs()
{
    common::FileRequest request;
    request.title = saveAsTitle();
    request.filters = {QStringLiteral("文本文件(*.txt)"), QStringLiteral("富文本文件(*.rtf)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("txt");
    const common::FileChoice choice = m_dialogs->saveFile(request);
    if (choice.cancelled())
        return;
    m_textFormat = lastThreeBytes(choice.path) == "txt" ? TextFormat::PlainText : TextFormat::RichText;
    writeTranscript(choice.path);
}

bool TranscriptDocument::writeTranscript(const QString &path)
{
    const QByteArray bytes = editorText();
    if (!saveBytes(path, bytes)) {
        m_lastWrite = WriteResult::Failed;
        m_dialogs->message(saveFailedText(path), QStringLiteral("错误"), common::Buttons::Ok, common::Icon::Error);
        return false;
    }
    m_lastWrite = WriteResult::Written;
    m_state.documentPath = path;
    m_state.documentModified = 0;
    m_status.setPath(path);
    m_status.setMessage(savedMessage());
    return true;
}

void TranscriptDocument::onEditorTextChanged()
{
    m_state.documentModified = 1;
    if (!m_status.message().isEmpty())
        m_status.setMessage(QString());
}

bool TranscriptDocument::canCloseMainWindow()
{
    return askToSave() == SaveAnswer::Proceed;
}

QString TranscriptDocument::openDocument()
{
    const QList<Converter> converters = m_converters ? m_converters() : QList<Converter>();
    common::FileRequest request;
    request.title = openDialogTitle();
    request.filters.append(QStringLiteral("RTF文件 (*.rtf)"));
    for (const Converter &c : converters)
        request.filters.append(c.filterLabel());
    request.filters.append(QStringLiteral("文本文档 (*.txt)"));
    request.filters.append(QStringLiteral("所有文件 (*.*)"));
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("rtf");
    const common::FileChoice choice = m_dialogs->openFile(request);
    if (choice.cancelled())
        return {};

    const QString path = choice.path;
    const QString extension = extensionOf(path);
    const Converter *converter = nullptr;
    const qsizetype chosen = choice.filterIndex - 1;
    // Our own readers know RTF and plain text better than any converter does.
    if (chosen >= 0 && chosen < converters.size() && extension != u"rtf" && extension != u"txt")
        converter = &converters.at(chosen);
    if (!converter && extension != u"rtf" && extension != u"txt") {
        for (const Converter &c : converters) {
            if (c.handles(extension)) {
                converter = &c;
                break;
            }
        }
    }

    if (converter) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const ConversionResult result = converter->convert(path);
        QGuiApplication::restoreOverrideCursor();
        if (!result.ok()) {
            showOpenError(path, result.error);
            return {};
        }
        const TextFormat mode = m_textFormat;
        m_textFormat = TextFormat::RichText;
        setEditorText(result.rtf);
        m_textFormat = mode;
        return path;
    }

    QByteArray bytes;
    if (!readFile(path, &bytes))
        return {};
    const TextFormat mode = m_textFormat;
    m_textFormat = extension == u"rtf" ? TextFormat::RichText : TextFormat::PlainText;
    setEditorText(bytes);
    m_textFormat = mode;
    return path;
}

QByteArray TranscriptDocument::editorText() const
{
    if (m_textFormat == TextFormat::PlainText)
        return encodePlainText(m_editor->toPlainText());
    return rtf::writeRtf(m_editor->document());
}

void TranscriptDocument::setEditorText(const QByteArray &bytes)
{
    if (m_textFormat == TextFormat::RichText) {
        QTextDocument *document = m_editor->document();
        // The caret stays at the start while the text goes in: moving it there afterwards would lay out the
        // whole document at once just to find where it had been.
        QTextCursor caret(document);
        caret.setKeepPositionOnInsert(true);
        m_editor->setTextCursor(caret);
        // Loading is not an edit the typist could undo; the history starts again with the new text.
        document->setUndoRedoEnabled(false);
        const rtf::ReadResult result = rtf::readRtf(upToFirstZero(bytes), document);
        document->setUndoRedoEnabled(true);
        caret = m_editor->textCursor();
        caret.setKeepPositionOnInsert(false);
        m_editor->setTextCursor(caret);
        if (result.isRtf) {
            m_loadedDamaged = result.damaged;
            return;
        }
        // What is not RTF at all is shown as the text it holds, the way the editor takes any text.
    }
    resetCaretFormat();
    m_editor->setPlainText(decodePlainText(bytes));
}

void TranscriptDocument::resetCaretFormat()
{
    // Plain text takes the caret's format; loaded or new text starts in the editor's default font instead.
    const QFont font = m_editor->document()->defaultFont();
    QTextCharFormat format;
    format.setFontFamilies(font.families());
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    QTextCursor cursor = m_editor->textCursor();
    cursor.clearSelection();
    m_editor->setTextCursor(cursor);
    m_editor->setCurrentCharFormat(format);
}

void TranscriptDocument::adoptPath(const QString &path)
{
    m_state.documentPath = path;
    m_status.setPath(path);
    m_state.documentModified = 0;
}

bool TranscriptDocument::readFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showOpenError(path, QStringLiteral("无法读取该文件。"));
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        showOpenError(path, QStringLiteral("无法读取该文件。"));
        return false;
    }
    return true;
}

void TranscriptDocument::showOpenError(const QString &path, const QString &reason)
{
    m_dialogs->message(QStringLiteral("打开") + path + QStringLiteral("失败！\r\n") + reason, QStringLiteral("错误"),
        common::Buttons::Ok, common::Icon::Error);
}

void TranscriptDocument::warnIfDamaged(const QString &path)
{
    if (!m_loadedDamaged)
        return;
    m_loadedDamaged = false;
    m_dialogs->message(QStringLiteral("文件") + path + QStringLiteral("已损坏，只读入了损坏处之前的内容。"), QString(),
        common::Buttons::Ok, common::Icon::Warning);
}

} // namespace editor
