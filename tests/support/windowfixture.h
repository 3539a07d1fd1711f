#pragma once

#include "app/mainwindow.h"
#include "app/processstate.h"
#include "support/scripteddialogs.h"

#include <QTest>

#include <memory>

namespace testing {

// The main window as the program builds it: its own process state, scripted dialogs, the creation
// sequence run, shown and exposed. Services other than the dialogs come from the test.
class WindowFixture
{
public:
    bool open(app::Services services = {})
    {
        m_state = std::make_unique<app::ProcessState>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        services.dialogs = m_dialogs.get();
        m_window = std::make_unique<app::MainWindow>(*m_state, services);
        m_window->onMainWindowCreated();
        m_window->show();
        return QTest::qWaitForWindowExposed(m_window.get());
    }

    void close()
    {
        m_window.reset();
        m_dialogs.reset();
        m_state.reset();
    }

    app::ProcessState *state() const { return m_state.get(); }
    ScriptedDialogs *dialogs() const { return m_dialogs.get(); }
    app::MainWindow *window() const { return m_window.get(); }

private:
    std::unique_ptr<app::ProcessState> m_state;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<app::MainWindow> m_window;
};

} // namespace testing
