#include "platform/FakeHttpClient.h"

#include "platform/AppError.h"

namespace platform {

HttpResult FakeHttpClient::get(const QString& url, const HttpOptions&, const std::function<bool()>& cancelled)
{
    requested << url;
    if (cancelled && cancelled()) {
        HttpResult r;
        r.cancelled = true;
        return r;
    }
    if (answers.empty()) {
        HttpResult r;
        r.error = errInetCannotConnect;
        return r;
    }
    HttpResult r = answers.front();
    answers.pop_front();
    return r;
}

} // namespace platform
