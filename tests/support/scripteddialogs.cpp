#include "scripteddialogs.h"

#include <QTest>

namespace testing {

int ScriptedDialogs::message(const QString &text, const QString &caption, common::Buttons buttons, common::Icon icon)
{
    messages.append({text, caption.isEmpty() ? common::defaultCaption() : caption, buttons, icon});
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected message box: ") + text), __FILE__, __LINE__);
        return common::AnswerCancel;
    }
    return m_answers.dequeue();
}

common::FileChoice ScriptedDialogs::openFile(const common::FileRequest &request)
{
    openRequests.append(request);
    if (m_opens.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected open dialog: ") + request.title), __FILE__, __LINE__);
        return {};
    }
    return m_opens.dequeue();
}

common::FileChoice ScriptedDialogs::saveFile(const common::FileRequest &request)
{
    saveRequests.append(request);
    if (m_saves.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected save dialog: ") + request.title), __FILE__, __LINE__);
        return {};
    }
    return m_saves.dequeue();
}

} // namespace testing
