#pragma once

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

namespace transport {

enum class DropRoute { PlainTranscript, RichTranscript, WordDocument, Media };

// By the last three bytes of the path as the file system spells it, case-sensitive: "TXT" is not "txt".
DropRoute routeForPath(const QString &path);

// The first local file a drag carries, empty for anything else (text, web addresses).
QString firstDroppedFile(const QMimeData *data);

// Takes file drops for one window: on the window itself and on every child, the editor included, so no
// control inserts a dropped file's name or content. Other drags (moving text in the editor) pass untouched.
class DropTarget : public QObject
{
    Q_OBJECT
public:
    explicit DropTarget(QObject *parent = nullptr);

    // Starts accepting file drops on the window and on the children it has now.
    void registerWindow(QWidget *window);

signals:
    // Queued after the drop completed, so a question it raises does not hold the dragging program.
    void fileDropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window = nullptr;
};

} // namespace transport
