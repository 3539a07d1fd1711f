#pragma once

#include "app/processstate.h"
#include "app/services.h"
#include "editor/textformat.h"

#include <QList>
#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;

namespace editor {
class ColorPicker;
struct FormatStrip;
class TranscriptEdit;
class TranscriptDocument;
}
namespace transport {
class DropTarget;
class KnobButton;
class Transport;
}

namespace app {

class StatusPart;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Vornel录音整理工具5.0"); }
    // The client area below the menu bar at creation: the 600 × 400 outer size less its frame.
    static constexpr int InitialClientWidth = 594;
    static constexpr int InitialClientHeight = 368;

    MainWindow(ProcessState &state, const Services &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The creation sequence, run while the window is still hidden.
    void onMainWindowCreated();

    ProcessState &state() { return m_state; }
    const Services &services() const { return m_services; }

    QWidget *client() const { return m_client; }
    editor::TranscriptEdit *editor() const { return m_editor; }
    QToolBar *mainToolbar() const { return m_toolbar1; }
    QToolBar *formatToolbar() const { return m_toolbar2; }
    QAction *mainToolbarButton(int index) const;
    QAction *formatToolbarButton(int index) const;
    QComboBox *fontBox() const { return m_fontBox; }
    QComboBox *sizeBox() const { return m_sizeBox; }
    editor::ColorPicker *colorPicker() const { return m_colorPicker; }
    QLabel *positionLabel() const { return m_positionLabel; }
    QLabel *lengthLabel() const { return m_lengthLabel; }
    transport::KnobButton *knob() const { return m_knob; }
    QLabel *groove() const { return m_groove; }
    QTimer *positionTimer() const { return m_timer; }
    QLabel *hiddenLink() const { return m_link; }

    QString messagePart() const;
    void setMessagePart(const QString &text);
    // How the editor's whole text (and its selection) is read and written.
    editor::TextFormat textFormat() const;
    void setTextFormat(editor::TextFormat format);
    editor::TranscriptDocument *transcript() const { return m_document.get(); }
    QString pathPart() const;
    void setPathPart(const QString &text);

    // Main toolbar buttons by index, separators counted.
    void setMainButtonChecked(int index, bool checked);
    bool isMainButtonChecked(int index) const;
    void setMainButtonEnabled(int index, bool enabled);

public slots:
    void onMainToolbarClick(int index);
    void onMainWindowResized();

    void exitProgram();

    void newTranscript();
    void openTranscript();
    void saveTranscript();
    void saveTranscriptAs();
    void onEditorTextChanged();
    bool canCloseMainWindow();
    editor::SaveAnswer askToSave();
    void loadTranscript(const QString &path, editor::TextFormat format);

    void initFormatting();
    void applyFormatToSelection();
    void syncFormatFromSelection();
    void onFormatToolbarClick(int index);
    void toggleAlwaysOnTop();

    void undoEdit();
    void redoEdit();
    void cutEdit();
    void copyEdit();
    void pasteEdit();
    void insertDivider();
    void openDateTimeWindow();
    void insertChosenDateTime(const QString &text);

    void openMedia();
    void togglePlayPause();
    void jumpBack();
    void jumpForward();
    void insertPosition();
    void onPositionTimer();
    void onFileDropped(const QString &path);
    void onKnobPressed(int x, int y, Qt::KeyboardModifiers keys);
    void onKnobMoved(int x, int y, Qt::KeyboardModifiers keys);
    void onKnobReleased(int x, int y, Qt::KeyboardModifiers keys);

    void checkForUpdateAtStartup();
    void openVersionWindow();
    void openHelpWindow();

    void applySkin(const QByteArray &skin, const char *password, int hue, int saturation, int brightness);
    void registerDropTarget();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeAtCreation();
    void buildControls();
    void buildMenus();
    void buildMainToolbar();
    void buildFormatToolbar();
    void buildStatusBar();
    void connectFormatting();
    editor::FormatStrip formatStrip() const;

    ProcessState &m_state;
    Services m_services;
    bool m_exiting = false;

    QWidget *m_client = nullptr;
    editor::TranscriptEdit *m_editor = nullptr;
    QToolBar *m_toolbar1 = nullptr;
    QToolBar *m_toolbar2 = nullptr;
    QList<QAction *> m_toolbar1Buttons;
    QList<QAction *> m_toolbar2Buttons;
    QComboBox *m_fontBox = nullptr;
    QComboBox *m_sizeBox = nullptr;
    editor::ColorPicker *m_colorPicker = nullptr;
    QLabel *m_positionLabel = nullptr;
    QLabel *m_lengthLabel = nullptr;
    QLabel *m_fixedLabel = nullptr;
    transport::KnobButton *m_knob = nullptr;
    QLabel *m_groove = nullptr;
    QLabel *m_link = nullptr;
    QTimer *m_timer = nullptr;
    std::unique_ptr<transport::Transport> m_transport;
    std::unique_ptr<editor::TranscriptDocument> m_document;
    transport::DropTarget *m_dropTarget = nullptr;
    QWidget *m_statusBar = nullptr;
    // Asking the clipboard's owner costs a round trip; ask again only after the clipboard changed.
    bool m_clipboardChanged = true;
    bool m_clipboardHasText = false;
    StatusPart *m_messagePart = nullptr;
    StatusPart *m_pathPart = nullptr;
};

} // namespace app
