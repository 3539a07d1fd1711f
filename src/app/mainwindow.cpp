#include "mainwindow.h"

#include "app/cellcaption.h"
#include "app/skin.h"
#include "app/statuspart.h"
#include "common/dialogs.h"
#include "editor/colorpicker.h"
#include "editor/datetimewindow.h"
#include "editor/editcommands.h"
#include "editor/formatting.h"
#include "editor/transcriptdocument.h"
#include "editor/transcriptedit.h"
#include "transport/droprouter.h"
#include "transport/knobbutton.h"
#include "transport/transport.h"
#include "update/addresses.h"
#include "update/helpwindow.h"
#include "update/updatecheck.h"
#include "update/versionwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace app {

namespace {

QFont songti9()
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(9);
    return f;
}

struct ButtonSpec
{
    int image; // -1 for a separator
    const char16_t *toolTip;
};

} // namespace

MainWindow::MainWindow(ProcessState &state, const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_services(services)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(appIcon());
    buildControls();
    buildMenus();
    connectFormatting();

    transport::TransportControls controls;
    controls.positionLabel = m_positionLabel;
    controls.lengthLabel = m_lengthLabel;
    controls.knob = m_knob;
    controls.timer = m_timer;
    controls.showPlaying = [this](bool playing) {
        setMainButtonChecked(12, playing);
        setMainButtonChecked(13, !playing);
    };
    controls.showFileName = [this](const QString &name) { setWindowTitle(caption() + QStringLiteral("  ") + name); };
    m_transport = std::make_unique<transport::Transport>(
        m_state.transport, m_services.player, m_services.dialogs, std::move(controls));
    connect(m_knob, &transport::KnobButton::knobPressed, this, &MainWindow::onKnobPressed);
    connect(m_knob, &transport::KnobButton::knobMoved, this, &MainWindow::onKnobMoved);
    connect(m_knob, &transport::KnobButton::knobReleased, this, &MainWindow::onKnobReleased);

    editor::StatusParts status;
    status.message = [this] { return messagePart(); };
    status.setMessage = [this](const QString &text) { setMessagePart(text); };
    status.setPath = [this](const QString &text) { setPathPart(text); };
    m_document = std::make_unique<editor::TranscriptDocument>(
        m_state.document, m_editor, m_services.dialogs, std::move(status));
    connect(m_editor, &QTextEdit::textChanged, this, &MainWindow::onEditorTextChanged);

}

void MainWindow::placeAtCreation()
{
    // The Windows 600 × 400 outer size, centred; Qt's geometry is without the frame.
    menuBar()->ensurePolished();
    resize(InitialClientWidth, InitialClientHeight + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    m_colorPicker = new editor::ColorPicker(m_client);
    m_colorPicker->setObjectName(QStringLiteral("颜色选择器1"));
    m_colorPicker->setGeometry(219, 29, 45, 20);

    m_fontBox = new editor::FormatComboBox(m_client);
    m_fontBox->setObjectName(QStringLiteral("组合框1"));
    m_fontBox->setEditable(true);
    m_fontBox->setInsertPolicy(QComboBox::InsertAlphabetically);
    m_fontBox->setGeometry(7, 29, 136, 20);
    m_fontBox->setFocusPolicy(Qt::ClickFocus);
    m_fontBox->setAccessibleName(QStringLiteral("字体"));
    m_fontBox->setToolTip(QStringLiteral("字体"));

    m_sizeBox = new editor::FormatComboBox(m_client);
    m_sizeBox->setObjectName(QStringLiteral("组合框2"));
    m_sizeBox->setEditable(true);
    m_sizeBox->setInsertPolicy(QComboBox::NoInsert);
    for (const char *size : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"})
        m_sizeBox->addItem(QString::fromLatin1(size));
    m_sizeBox->setCurrentIndex(-1);
    m_sizeBox->setGeometry(150, 29, 64, 20);
    m_sizeBox->setFocusPolicy(Qt::ClickFocus);
    m_sizeBox->setAccessibleName(QStringLiteral("字号"));
    m_sizeBox->setToolTip(QStringLiteral("字号"));

    buildFormatToolbar();

    m_link = new QLabel(m_client);
    m_link->setObjectName(QStringLiteral("超级链接框3"));
    m_link->setGeometry(504, 272, 80, 24);
    m_link->hide();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("时钟1"));
    connect(m_timer, &QTimer::timeout, this, &MainWindow::onPositionTimer);

    const QPalette::ColorRole text = QPalette::WindowText;
    m_lengthLabel = new QLabel(m_client);
    m_lengthLabel->setObjectName(QStringLiteral("总长标签"));
    m_lengthLabel->setGeometry(489, 3, 50, 20);
    m_lengthLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lengthLabel->setAccessibleName(QStringLiteral("总长"));

    m_knob = new transport::KnobButton(m_client);
    m_knob->setObjectName(QStringLiteral("超级按钮1"));
    m_knob->setPicture(QPixmap(QStringLiteral(":/seekbar/knob.png")));
    m_knob->setGeometry(6, 56, 20, 12);
    m_knob->setAccessibleName(QStringLiteral("播放进度"));

    m_groove = new QLabel(m_client);
    m_groove->setObjectName(QStringLiteral("画板1"));
    m_groove->setPixmap(QPixmap(QStringLiteral(":/seekbar/groove.png")));
    m_groove->setScaledContents(true);
    m_groove->setGeometry(6, 60, 580, 4);

    m_positionLabel = new QLabel(m_client);
    m_positionLabel->setObjectName(QStringLiteral("当前标签"));
    m_positionLabel->setGeometry(400, 3, 50, 20);
    m_positionLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_positionLabel->setAccessibleName(QStringLiteral("当前"));
    for (QLabel *label : {m_positionLabel, m_lengthLabel}) {
        QPalette p = label->palette();
        p.setColor(text, QColor(128, 0, 128));
        label->setPalette(p);
        label->setTextFormat(Qt::PlainText);
    }

    buildStatusBar();

    m_fixedLabel = new CellCaption(QStringLiteral("当前：         总长：          "), m_client);
    m_fixedLabel->setObjectName(QStringLiteral("标签1"));
    m_fixedLabel->setGeometry(361, 3, 248, 20);
    m_fixedLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_fixedLabel->setTextFormat(Qt::PlainText);
    {
        QPalette p = m_fixedLabel->palette();
        p.setColor(text, Qt::black);
        m_fixedLabel->setPalette(p);
    }

    m_editor = new editor::TranscriptEdit(m_client);
    m_editor->setObjectName(QStringLiteral("超级编辑框1"));
    m_editor->setGeometry(6, 79, 580, 241);
    m_editor->setAccessibleName(QStringLiteral("讲话稿"));

    buildMainToolbar();

    // The toolbar spans the whole top row; the position display lies above it, the knob above its groove.
    m_toolbar1->lower();
    m_fixedLabel->raise();
    m_positionLabel->raise();
    m_lengthLabel->raise();
    m_knob->raise();

    setTabOrder(m_colorPicker, m_knob);
    setTabOrder(m_knob, m_editor);
    setTabOrder(m_editor, m_colorPicker);
}

void MainWindow::buildMenus()
{
    struct Item
    {
        const char16_t *text;
        QKeySequence key;
        void (MainWindow::*command)();
    };
    const auto addMenu = [this](const QString &title, std::initializer_list<Item> items) {
        QMenu *menu = menuBar()->addMenu(title);
        for (const Item &item : items) {
            if (!item.text) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromUtf16(item.text));
            if (!item.key.isEmpty()) {
                action->setShortcut(item.key);
                // The key acts anywhere in the window, also in the editor, and never reaches the control.
                action->setShortcutContext(Qt::WindowShortcut);
            }
            connect(action, &QAction::triggered, this, item.command);
        }
    };
    addMenu(QStringLiteral("文件(&F)"),
        {
            {u"新建文本", QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::newTranscript},
            {u"打开文本", QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::openTranscript},
            {u"保存", QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveTranscript},
            {u"另存为", {}, &MainWindow::saveTranscriptAs},
            {nullptr, {}, nullptr},
            {u"退出", QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::exitProgram},
        });
    addMenu(QStringLiteral("编辑(&E)"),
        {
            {u"插入分割线", {}, &MainWindow::insertDivider},
            {u"插入当前时间秒数", {}, &MainWindow::insertPosition},
        });
    addMenu(QStringLiteral("音频(&V)"),
        {
            {u"打开音频", {}, &MainWindow::openMedia},
            {u"播放/暂停", QKeySequence(Qt::Key_F4), &MainWindow::togglePlayPause},
            {u"快退5秒", QKeySequence(Qt::Key_F5), &MainWindow::jumpBack},
            {u"快进5秒", QKeySequence(Qt::Key_F6), &MainWindow::jumpForward},
        });
    addMenu(QStringLiteral("帮助(&H)"),
        {
            {u"检查新版本", {}, &MainWindow::openVersionWindow},
            {u"帮助文档", {}, &MainWindow::openHelpWindow},
        });

    // Esc closes the window the way the close box does, unless a control (an open list, a dialog) takes it.
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::buildMainToolbar()
{
    m_toolbar1 = new QToolBar(m_client);
    m_toolbar1->setObjectName(QStringLiteral("工具条1"));
    m_toolbar1->setFloatable(false);
    m_toolbar1->setMovable(false);
    m_toolbar1->setIconSize(QSize(16, 15));
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar1->setContentsMargins(1, 0, 0, 0);
    m_toolbar1->setFont(songti9());
    m_toolbar1->setGeometry(0, 0, 2000, 28);

    static const ButtonSpec specs[] = {
        {0, u"新建文本"}, {1, u"打开文本"}, {2, u"保存文本"}, {3, u"另存文本"}, {-1, nullptr},
        {4, u"重做"}, {5, u"撤销"}, {6, u"剪切"}, {7, u"复制"}, {8, u"粘贴"}, {-1, nullptr},
        {9, u"打开音频"}, {10, u"播放"}, {11, u"暂停"}, {12, u"快退5秒"}, {13, u"快进5秒"}, {-1, nullptr},
    };
    for (const ButtonSpec &spec : specs) {
        const int index = int(m_toolbar1Buttons.size());
        if (spec.image < 0) {
            m_toolbar1Buttons.append(m_toolbar1->addSeparator());
            continue;
        }
        const QString tip = QString::fromUtf16(spec.toolTip);
        QAction *action = m_toolbar1->addAction(
            QIcon(QStringLiteral(":/toolbar1/%1.png").arg(spec.image, 2, 10, QLatin1Char('0'))), tip);
        action->setToolTip(tip);
        action->setObjectName(QStringLiteral("工具条1_%1").arg(index));
        // 播放 and 暂停 show the transport's state; a click must not flip them by itself.
        action->setCheckable(index == 12 || index == 13);
        connect(action, &QAction::triggered, this, [this, action, index] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            onMainToolbarClick(index);
        });
        m_toolbar1Buttons.append(action);
    }
    for (QAction *action : std::as_const(m_toolbar1Buttons)) {
        if (QWidget *button = m_toolbar1->widgetForAction(action)) {
            button->setFocusPolicy(Qt::NoFocus);
            button->setAccessibleName(action->toolTip());
        }
    }
}

void MainWindow::buildFormatToolbar()
{
    m_toolbar2 = new QToolBar(m_client);
    m_toolbar2->setObjectName(QStringLiteral("工具条2"));
    m_toolbar2->setFloatable(false);
    m_toolbar2->setMovable(false);
    m_toolbar2->setIconSize(QSize(16, 15));
    m_toolbar2->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar2->setContentsMargins(0, 0, 0, 0);
    m_toolbar2->setGeometry(269, 28, 209, 24);

    static const ButtonSpec specs[] = {
        {0, u"粗体"}, {1, u"斜体"}, {2, u"下划线"}, {3, u"插入日期时间"}, {4, u"插入当前秒数"},
        {5, u"插入横线"}, {-1, nullptr}, {6, u"帮助"}, {7, u"总在最前"},
    };
    for (const ButtonSpec &spec : specs) {
        const int index = int(m_toolbar2Buttons.size());
        if (spec.image < 0) {
            m_toolbar2Buttons.append(m_toolbar2->addSeparator());
            continue;
        }
        const QString tip = QString::fromUtf16(spec.toolTip);
        QAction *action
            = m_toolbar2->addAction(QIcon(QStringLiteral(":/toolbar2/%1.png").arg(spec.image)), tip);
        action->setToolTip(tip);
        action->setObjectName(QStringLiteral("工具条2_%1").arg(index));
        // Check buttons flip before the handler runs, which reads the new state.
        action->setCheckable(index <= 2 || index == 8);
        connect(action, &QAction::triggered, this, [this, index] { onFormatToolbarClick(index); });
        m_toolbar2Buttons.append(action);
    }
    for (QAction *action : std::as_const(m_toolbar2Buttons)) {
        if (QWidget *button = m_toolbar2->widgetForAction(action)) {
            button->setFocusPolicy(Qt::NoFocus);
            button->setAccessibleName(action->toolTip());
        }
    }
}

void MainWindow::buildStatusBar()
{
    auto *bar = new QStatusBar(m_client);
    bar->setObjectName(QStringLiteral("状态条1"));
    bar->setFont(songti9());
    bar->setSizeGripEnabled(true);
    m_messagePart = new StatusPart(QPixmap(QStringLiteral(":/status/1.png")), QStringLiteral("存盘提示"), bar);
    m_messagePart->setObjectName(QStringLiteral("状态条1_0"));
    m_messagePart->setFixedWidth(150);
    m_messagePart->setText(QStringLiteral("请拖放文件到标题栏"));
    m_pathPart = new StatusPart(QPixmap(QStringLiteral(":/status/0.png")), QStringLiteral("存盘位置"), bar);
    m_pathPart->setObjectName(QStringLiteral("状态条1_1"));
    m_pathPart->setMaximumWidth(1800);
    bar->addWidget(m_messagePart);
    bar->addWidget(m_pathPart, 1);
    bar->setGeometry(0, InitialClientHeight - 20, InitialClientWidth, 20);
    m_statusBar = bar;
}

QAction *MainWindow::mainToolbarButton(int index) const
{
    return m_toolbar1Buttons.value(index);
}

QAction *MainWindow::formatToolbarButton(int index) const
{
    return m_toolbar2Buttons.value(index);
}

QString MainWindow::messagePart() const
{
    return m_messagePart->text();
}

void MainWindow::setMessagePart(const QString &text)
{
    m_messagePart->setText(text);
}

QString MainWindow::pathPart() const
{
    return m_pathPart->text();
}

void MainWindow::setPathPart(const QString &text)
{
    m_pathPart->setText(text);
}

void MainWindow::setMainButtonChecked(int index, bool checked)
{
    if (QAction *a = mainToolbarButton(index); a && a->isCheckable())
        a->setChecked(checked);
}

bool MainWindow::isMainButtonChecked(int index) const
{
    const QAction *a = mainToolbarButton(index);
    return a && a->isChecked();
}

void MainWindow::setMainButtonEnabled(int index, bool enabled)
{
    if (QAction *a = mainToolbarButton(index))
        a->setEnabled(enabled);
}

void MainWindow::onMainWindowCreated()
{
    setWindowTitle(caption());
    initFormatting();
    applySkin(builtInSkin(), nullptr, 0, 0, 0);
    checkForUpdateAtStartup();
    registerDropTarget();
    // Sized once the skin is on, since it sets the menu bar's height; measuring earlier costs start-up time.
    placeAtCreation();
}

void MainWindow::applySkin(const QByteArray &skin, const char *password, int hue, int saturation, int brightness)
{
    attachSkin(m_state.skinEngine, skin, password, hue, saturation, brightness);
}

void MainWindow::onMainToolbarClick(int index)
{
    switch (index) {
    case 0: newTranscript(); break;
    case 1: openTranscript(); break;
    case 2: saveTranscript(); break;
    case 3: saveTranscriptAs(); break;
    case 5: redoEdit(); break;
    case 6: undoEdit(); break;
    case 7: cutEdit(); break;
    case 8: copyEdit(); break;
    case 9: pasteEdit(); break;
    case 11: openMedia(); break;
    case 12:
    case 13: togglePlayPause(); break;
    case 14: jumpBack(); break;
    case 15: jumpForward(); break;
    default: break;
    }
}

void MainWindow::onMainWindowResized()
{
    const int w = m_client->width();
    const int h = m_client->height();
    // A minimised window can report a tiny client area; the next size change restores the rule.
    m_editor->setGeometry(5, 80, qMax(0, w - 10), qMax(0, h - 105));
    m_statusBar->setGeometry(0, h - 20, w, 20);
    m_editor->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        onMainWindowResized();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_exiting || canCloseMainWindow())
        event->accept();
    else
        event->ignore();
}

void MainWindow::exitProgram()
{
    if (askToSave() == editor::SaveAnswer::Cancelled)
        return;
    // The question was asked; closing must not ask it again.
    m_exiting = true;
    close();
}

void MainWindow::newTranscript()
{
    m_document->newTranscript();
}

void MainWindow::openTranscript()
{
    m_document->openTranscript();
}

void MainWindow::saveTranscript()
{
    m_document->saveTranscript();
}

void MainWindow::saveTranscriptAs()
{
    m_document->saveTranscriptAs();
}

void MainWindow::onEditorTextChanged()
{
    m_document->onEditorTextChanged();
}

bool MainWindow::canCloseMainWindow()
{
    return m_document->canCloseMainWindow();
}

editor::SaveAnswer MainWindow::askToSave()
{
    return m_document->askToSave();
}

void MainWindow::loadTranscript(const QString &path, editor::TextFormat format)
{
    m_document->loadTranscript(path, format);
}

editor::TextFormat MainWindow::textFormat() const
{
    return m_document->textFormat();
}

void MainWindow::setTextFormat(editor::TextFormat format)
{
    m_document->setTextFormat(format);
}

editor::FormatStrip MainWindow::formatStrip() const
{
    editor::FormatStrip strip;
    strip.fontBox = m_fontBox;
    strip.sizeBox = m_sizeBox;
    strip.colorPicker = m_colorPicker;
    strip.bold = formatToolbarButton(0);
    strip.italic = formatToolbarButton(1);
    strip.underline = formatToolbarButton(2);
    strip.cut = mainToolbarButton(7);
    strip.copy = mainToolbarButton(8);
    strip.paste = mainToolbarButton(9);
    return strip;
}

void MainWindow::connectFormatting()
{
    for (QComboBox *box : {m_fontBox, m_sizeBox}) {
        connect(box, &QComboBox::activated, this, [this] {
            applyFormatToSelection();
            m_editor->setFocus(Qt::OtherFocusReason);
        });
        if (auto *formatBox = qobject_cast<editor::FormatComboBox *>(box))
            connect(formatBox, &editor::FormatComboBox::popupAboutToShow, this,
                [this] { m_editor->setFocus(Qt::OtherFocusReason); });
    }
    connect(m_colorPicker, &editor::ColorPicker::colorChosen, this, &MainWindow::applyFormatToSelection);
    connect(m_editor, &QTextEdit::selectionChanged, this, &MainWindow::syncFormatFromSelection);
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &MainWindow::syncFormatFromSelection);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { m_clipboardChanged = true; });
}

void MainWindow::initFormatting()
{
    editor::initFormatting(m_editor, formatStrip());
}

void MainWindow::applyFormatToSelection()
{
    editor::applyFormatToSelection(m_editor, formatStrip());
}

void MainWindow::syncFormatFromSelection()
{
    if (m_clipboardChanged) {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        m_clipboardHasText = data && data->hasText();
        m_clipboardChanged = false;
    }
    editor::syncFormatFromSelection(m_editor, formatStrip(), m_clipboardHasText);
}

void MainWindow::onFormatToolbarClick(int index)
{
    switch (index) {
    case 0:
    case 1:
    case 2: applyFormatToSelection(); break;
    case 3: openDateTimeWindow(); break;
    case 4: insertPosition(); break;
    case 5: insertDivider(); break;
    case 7: openHelpWindow(); break;
    case 8: toggleAlwaysOnTop(); break;
    default: break;
    }
}

void MainWindow::toggleAlwaysOnTop()
{
    const QRect place = geometry();
    const bool wasVisible = isVisible();
    QWidget *focus = focusWidget();
    setWindowFlag(Qt::WindowStaysOnTopHint, !windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // Changing the flag takes the window down; put it back where it was.
    if (wasVisible && !isVisible()) {
        setGeometry(place);
        show();
        if (focus)
            focus->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::undoEdit()
{
    editor::undoEdit(m_editor);
}

void MainWindow::redoEdit()
{
    editor::redoEdit(m_editor);
}

void MainWindow::cutEdit()
{
    editor::cutEdit(m_editor);
}

void MainWindow::copyEdit()
{
    editor::copyEdit(m_editor);
}

void MainWindow::pasteEdit()
{
    editor::pasteEdit(m_editor);
}

void MainWindow::insertDivider()
{
    editor::insertDivider(m_editor, QGuiApplication::clipboard());
}

void MainWindow::openDateTimeWindow()
{
    // No owner: the window is centred on the screen; the command returns once it has closed.
    editor::DateTimeWindow window(m_services.clock);
    connect(&window, &editor::DateTimeWindow::dateTimeChosen, this, &MainWindow::insertChosenDateTime);
    window.exec();
}

void MainWindow::insertChosenDateTime(const QString &text)
{
    setTextFormat(editor::TextFormat::PlainText);
    const bool inserted = m_editor->replaceSelection(text);
    setTextFormat(editor::TextFormat::RichText);
    if (!inserted)
        return;
    // The editor may not report a change of its own for this insertion.
    onEditorTextChanged();
}

void MainWindow::openMedia()
{
    m_transport->openMedia();
}

void MainWindow::togglePlayPause()
{
    m_transport->togglePlayPause();
}

void MainWindow::jumpBack()
{
    m_transport->jumpBack();
}

void MainWindow::jumpForward()
{
    m_transport->jumpForward();
}

void MainWindow::insertPosition()
{
    // Through the clipboard and an ordinary paste, so the editor's undo and change handling see a paste.
    QGuiApplication::clipboard()->setText(m_transport->positionInsertion());
    m_editor->paste();
}

void MainWindow::onPositionTimer()
{
    m_transport->onPositionTimer();
}

void MainWindow::onKnobPressed(int x, int y, Qt::KeyboardModifiers keys)
{
    m_transport->onKnobPressed(x, y, keys);
}

void MainWindow::onKnobMoved(int x, int y, Qt::KeyboardModifiers keys)
{
    m_transport->onKnobMoved(x, y, keys);
}

void MainWindow::onKnobReleased(int x, int y, Qt::KeyboardModifiers keys)
{
    m_transport->onKnobReleased(x, y, keys);
}

void MainWindow::onFileDropped(const QString &path)
{
    // Asked for every drop onto a modified transcript, also for a recording, which leaves the transcript alone.
    if (askToSave() == editor::SaveAnswer::Cancelled)
        return;
    switch (transport::routeForPath(path)) {
    case transport::DropRoute::PlainTranscript: loadTranscript(path, editor::TextFormat::PlainText); break;
    case transport::DropRoute::RichTranscript: loadTranscript(path, editor::TextFormat::RichText); break;
    case transport::DropRoute::WordDocument:
        if (m_services.dialogs)
            m_services.dialogs->message(QStringLiteral("word文件无法实现拖放，请用打开按钮打开word文件"),
                common::defaultCaption(), common::Buttons::Ok, common::Icon::None);
        break;
    case transport::DropRoute::Media: m_transport->startMedia(path); break;
    }
}

void MainWindow::checkForUpdateAtStartup()
{
    update::checkForUpdateAtStartup({m_state.startupFeed, m_services.fetchPage, m_services.openUrl, m_services.dialogs,
        m_link, update::FeedAddress});
}

void MainWindow::openVersionWindow()
{
    // No owner: the window stands on its own in the task bar, modal to the whole program.
    update::VersionWindow window({m_state.windowFeed, m_state.programEntries, m_state.extraPageAddresses},
        {m_services.fetchPage, m_services.openUrl, m_services.dialogs, {}});
    window.exec();
}

void MainWindow::openHelpWindow()
{
    update::HelpWindow window;
    window.exec();
}

void MainWindow::registerDropTarget()
{
    if (m_dropTarget)
        return;
    m_dropTarget = new transport::DropTarget(this);
    connect(m_dropTarget, &transport::DropTarget::fileDropped, this, &MainWindow::onFileDropped);
    m_dropTarget->registerWindow(this);
}

} // namespace app
