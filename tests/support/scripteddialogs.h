#pragma once

#include "common/dialogs.h"

#include <QList>
#include <QQueue>

namespace testing {

// Dialogs answered ahead of time. Every question is recorded; one that was not expected fails
// the test and gets Cancel, so no test ever waits for a person.
class ScriptedDialogs final : public common::Dialogs
{
public:
    struct Message
    {
        QString text;
        QString caption;
        common::Buttons buttons;
        common::Icon icon;
    };

    void answerMessage(int code) { m_answers.enqueue(code); }
    void answerOpen(const QString &path, int filterIndex = 0) { m_opens.enqueue({path, filterIndex}); }
    void answerSave(const QString &path, int filterIndex = 0) { m_saves.enqueue({path, filterIndex}); }

    int message(const QString &text, const QString &caption, common::Buttons buttons, common::Icon icon) override;
    common::FileChoice openFile(const common::FileRequest &request) override;
    common::FileChoice saveFile(const common::FileRequest &request) override;

    QList<Message> messages;
    QList<common::FileRequest> openRequests;
    QList<common::FileRequest> saveRequests;

    bool allAnswersUsed() const { return m_answers.isEmpty() && m_opens.isEmpty() && m_saves.isEmpty(); }

private:
    QQueue<int> m_answers;
    QQueue<common::FileChoice> m_opens;
    QQueue<common::FileChoice> m_saves;
};

} // namespace testing
