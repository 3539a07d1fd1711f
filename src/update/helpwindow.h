#pragma once

#include <QByteArray>
#include <QDialog>

class QTextEdit;

namespace update {

// The help text as stored: GBK with CR LF line ends.
QByteArray helpText();

// 帮助文档: the help text in an editor of its own. Edits are allowed and forgotten, since every opening loads
// the text afresh.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    // The 442 × 311 outer size less the frame.
    static constexpr int ClientWidth = 436;
    static constexpr int ClientHeight = 279;

    explicit HelpWindow(QWidget *parent = nullptr);

    QTextEdit *editor() const { return m_editor; }

private:
    QTextEdit *m_editor = nullptr;
};

} // namespace update
