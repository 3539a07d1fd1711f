#pragma once

#include "editor/converters.h"
#include "editor/documentstate.h"
#include "editor/textformat.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QTextEdit;

namespace common {
class Dialogs;
}

namespace editor {

// The status bar's message and path parts, as the document uses them.
struct StatusParts
{
    std::function<QString()> message;
    std::function<void(const QString &)> setMessage;
    std::function<void(const QString &)> setPath;
};

// The one open transcript: its file, whether it changed, and the commands that create, open and save it.
class TranscriptDocument
{
public:
    TranscriptDocument(DocumentState &state, QTextEdit *editor, common::Dialogs *dialogs, StatusParts status);

    // How the editor's whole text is read and written; a setting of the editor, kept here.
    TextFormat textFormat() const { return m_textFormat; }
    void setTextFormat(TextFormat format) { m_textFormat = format; }

    // Where the open dialog's converters come from; LibreOffice's when present, by default.
    void setConverterSource(std::function<QList<Converter>()> source) { m_converters = std::move(source); }

    SaveAnswer askToSave();
    void newTranscript();
    void openTranscript();
    void loadTranscript(const QString &path, TextFormat format);
    void saveTranscript();
    void saveTranscriptAs();
    // True when the file now holds the transcript.
    bool writeTranscript(const QString &path);
    void onEditorTextChanged();
    bool canCloseMainWindow();

    // The editor's own open dialog: loads the chosen file and returns its path, or empty text when nothing was loaded.
    QString openDocument();

    // The editor's whole text as bytes in the current format, and its replacement by bytes.
    QByteArray editorText() const;
    void setEditorText(const QByteArray &bytes);

    static QString openDialogTitle() { return QStringLiteral("请输入欲打开文档的文件名:"); }
    static QString saveAsTitle() { return QStringLiteral("另存为"); }
    static QString notModifiedHint() { return QStringLiteral("提示：文档还未做任何修改，无法保存！"); }
    static QString savedMessage() { return QStringLiteral("保存成功!"); }
    static QString saveQuestion() { return QStringLiteral("文件已经被修改，是否保存？"); }
    static QString saveFailedText(const QString &path);

private:
    enum class WriteResult { Written, Failed, NotTried };

    void adoptPath(const QString &path);
    bool readFile(const QString &path, QByteArray *bytes);
    void showOpenError(const QString &path, const QString &reason);
    void warnIfDamaged(const QString &path);
    void resetCaretFormat();

    DocumentState &m_state;
    QTextEdit *m_editor;
    common::Dialogs *m_dialogs;
    StatusParts m_status;
    TextFormat m_textFormat = TextFormat::RichText;
    std::function<QList<Converter>()> m_converters;
    WriteResult m_lastWrite = WriteResult::NotTried;
    bool m_loadedDamaged = false;
};

} // namespace editor
