// Writes a media file for the soak run: makemedia SOURCE TARGET CODEC (SOURCE as libmpv opens it).
#include "support/mediaencoder.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc != 4) {
        std::fprintf(stderr, "usage: makemedia SOURCE TARGET CODEC\n");
        return 2;
    }
    QString error;
    if (!testing::encodeMedia(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), argv[3], {}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
