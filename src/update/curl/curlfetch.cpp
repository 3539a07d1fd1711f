#include "curlfetch.h"

#include <curl/curl.h>

namespace update::curl {

namespace {

struct Body
{
    QByteArray bytes;
    qsizetype limit = 0;
};

size_t appendBody(char *data, size_t size, size_t count, void *userData)
{
    auto *body = static_cast<Body *>(userData);
    const qsizetype offered = qsizetype(size * count);
    const qsizetype room = body->limit - body->bytes.size();
    if (offered > room) {
        body->bytes.append(data, room);
        return 0; // aborts the transfer; what fitted is kept
    }
    body->bytes.append(data, offered);
    return size * count;
}

// The internet access of the process: one handle with the fixed request settings, opened on first use.
class Session
{
public:
    Session()
    {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            return;
        m_globalReady = true;
        m_handle = curl_easy_init();
        if (!m_handle)
            return;
        for (const char *header : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"}) {
            curl_slist *grown = curl_slist_append(m_headers, header);
            if (!grown)
                return;
            m_headers = grown;
        }
        m_ready = set(CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)")
            && set(CURLOPT_HTTPHEADER, m_headers)
            && set(CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0))
            && set(CURLOPT_HTTPGET, 1L)
            // A direct connection: an empty proxy also overrides the proxy environment variables.
            && set(CURLOPT_PROXY, "")
            && set(CURLOPT_PROTOCOLS_STR, "http,https")
            && set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https")
            && set(CURLOPT_FOLLOWLOCATION, 1L)
            && set(CURLOPT_MAXREDIRS, 5L)
            && set(CURLOPT_AUTOREFERER, 0L)
            && set(CURLOPT_SSL_VERIFYPEER, 1L)
            && set(CURLOPT_SSL_VERIFYHOST, 2L)
            // Timeouts must not raise signals in a GUI process.
            && set(CURLOPT_NOSIGNAL, 1L)
            && set(CURLOPT_WRITEFUNCTION, &appendBody);
    }

    ~Session()
    {
        if (m_handle)
            curl_easy_cleanup(m_handle);
        curl_slist_free_all(m_headers);
        if (m_globalReady)
            curl_global_cleanup();
    }

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    QByteArray get(const QByteArray &address, const FetchLimits &limits)
    {
        Body body;
        body.limit = limits.maxBodyBytes;
        if (!m_ready)
            return {};
        const bool prepared = set(CURLOPT_URL, address.constData())
            && set(CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs)
            && set(CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs)
            && set(CURLOPT_WRITEDATA, &body);
        if (prepared)
            curl_easy_perform(m_handle); // any failure leaves what was read, which is the result
        set(CURLOPT_WRITEDATA, static_cast<void *>(nullptr));
        return body.bytes;
    }

private:
    template<typename T>
    bool set(CURLoption option, T value)
    {
        return curl_easy_setopt(m_handle, option, value) == CURLE_OK;
    }

    CURL *m_handle = nullptr;
    curl_slist *m_headers = nullptr;
    bool m_globalReady = false;
    bool m_ready = false;
};

} // namespace

QByteArray fetchPage(const QByteArray &address, const FetchLimits &limits)
{
    if (address.isEmpty())
        return {};
    static Session session;
    return session.get(address, limits);
}

} // namespace update::curl
