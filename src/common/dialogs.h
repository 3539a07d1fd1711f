#pragma once

#include <QString>
#include <QStringList>

namespace common {

// Message-box answers as codes; handlers test the codes they need and take every other one as the neutral answer.
enum Answer : int { AnswerOk = 0, AnswerCancel = 1, AnswerAbort = 2, AnswerRetry = 3, AnswerIgnore = 4, AnswerYes = 5, AnswerNo = 6 };

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Warning, Error };

// A file dialog as the program asks for it; filters are Qt name filters ("文本文件(*.txt)").
struct FileRequest
{
    QString title;
    QStringList filters;
    int selectedFilter = 0;
    QString directory;
    QString fileName;
    QString defaultSuffix;
};

struct FileChoice
{
    QString path; // empty when cancelled
    int filterIndex = -1;
    bool cancelled() const { return path.isEmpty(); }
};

// Every modal question the program asks goes through here, so tests can answer ahead of time.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // An empty caption shows the default one, "信息：".
    virtual int message(const QString &text, const QString &caption, Buttons buttons, Icon icon) = 0;
    virtual FileChoice openFile(const FileRequest &request) = 0;
    virtual FileChoice saveFile(const FileRequest &request) = 0;
};

QString defaultCaption();

} // namespace common
