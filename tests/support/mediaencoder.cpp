#include "support/mediaencoder.h"

#include <QDeadlineTimer>
#include <QFile>

#include <mpv/client.h>

#include <clocale>
#include <utility>
#include <vector>

namespace testing {

bool encodeMedia(const QString &source, const QString &target, const QByteArray &audioCodec,
    const QByteArray &videoCodec, QString *error)
{
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle *core = mpv_create();
    if (!core)
        return failed(QStringLiteral("mpv_create failed"));

    const QByteArray out = QFile::encodeName(target);
    std::vector<std::pair<const char *, QByteArray>> settings
        = { { "config", "no" }, { "terminal", "no" }, { "o", out }, { "oac", audioCodec } };
    if (videoCodec.isEmpty())
        settings.emplace_back("vid", "no");
    else
        settings.emplace_back("ovc", videoCodec);
    bool ok = true;
    QString why;
    for (const auto &[name, value] : settings) {
        const int rc = mpv_set_option_string(core, name, value.constData());
        if (rc < 0 && ok) {
            ok = false;
            why = QLatin1String(name) + u": " + QLatin1String(mpv_error_string(rc));
        }
    }
    if (ok) {
        const int rc = mpv_initialize(core);
        if (rc < 0) {
            ok = false;
            why = u"mpv_initialize: " + QLatin1String(mpv_error_string(rc));
        }
    }
    const QByteArray in = source.startsWith(u"av://") ? source.toUtf8() : QFile::encodeName(source);
    if (ok) {
        const char *args[] = { "loadfile", in.constData(), nullptr };
        const int rc = mpv_command(core, args);
        if (rc < 0) {
            ok = false;
            why = u"loadfile: " + QLatin1String(mpv_error_string(rc));
        }
    }
    const QDeadlineTimer deadline(60000);
    while (ok) {
        if (deadline.hasExpired()) {
            ok = false;
            why = QStringLiteral("encoding took too long");
            break;
        }
        const mpv_event *event = mpv_wait_event(core, 1.0);
        if (event->event_id == MPV_EVENT_END_FILE) {
            const int rc = static_cast<const mpv_event_end_file *>(event->data)->error;
            if (rc < 0) {
                ok = false;
                why = u"encoding: " + QLatin1String(mpv_error_string(rc));
            }
            break;
        }
    }
    // The file is complete only once the encoder is shut down.
    mpv_terminate_destroy(core);
    if (ok && QFile(target).size() < 1000)
        return failed(QStringLiteral("the encoder wrote nothing"));
    return ok || failed(why);
}

} // namespace testing
