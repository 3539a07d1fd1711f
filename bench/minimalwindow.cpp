// The reference for start-up time: the smallest Qt window with a text editor.
#include <QApplication>
#include <QMainWindow>
#include <QTextEdit>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("MinimalWindow"));
    window.setCentralWidget(new QTextEdit);
    window.resize(594, 390);
    window.show();
    return app.exec();
}
