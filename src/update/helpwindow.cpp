#include "helpwindow.h"

#include "update/feed.h"
#include "update/windowlook.h"

#include <QFile>
#include <QTextEdit>

namespace update {

QByteArray helpText()
{
    QFile file(QStringLiteral(":/helptext.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("帮助文档"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);

    m_editor = new QTextEdit(this);
    m_editor->setObjectName(QStringLiteral("超级编辑框1"));
    m_editor->setGeometry(6, 8, 424, 264);
    m_editor->setAcceptRichText(false);
    m_editor->setLineWrapMode(QTextEdit::WidgetWidth);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->setFrameShape(QFrame::StyledPanel);
    m_editor->setFrameShadow(QFrame::Sunken);
    m_editor->setFont(songti9());
    m_editor->document()->setDefaultFont(songti9());
    {
        // The selection shows only while the editor has the focus.
        QPalette palette = m_editor->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Inactive, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Inactive, QPalette::Text));
        m_editor->setPalette(palette);
    }
    QString text = displayText(helpText());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_editor->setPlainText(text);
    m_editor->setFocus(Qt::OtherFocusReason);
}

} // namespace update
