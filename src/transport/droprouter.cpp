#include "droprouter.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace transport {

DropRoute routeForPath(const QString &path)
{
    const QByteArray last = QFile::encodeName(path).right(3);
    if (last == "txt")
        return DropRoute::PlainTranscript;
    if (last == "rtf")
        return DropRoute::RichTranscript;
    if (last == "doc")
        return DropRoute::WordDocument;
    return DropRoute::Media;
}

QString firstDroppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

DropTarget::DropTarget(QObject *parent)
    : QObject(parent)
{
}

void DropTarget::registerWindow(QWidget *window)
{
    if (!window || m_window == window)
        return;
    m_window = window;
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

bool DropTarget::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (firstDroppedFile(drag->mimeData()).isEmpty())
            break;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = firstDroppedFile(drop->mimeData());
        if (path.isEmpty())
            break;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        QMetaObject::invokeMethod(this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace transport
