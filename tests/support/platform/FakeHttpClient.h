#pragma once
#include "platform/Http.h"

#include <deque>

namespace platform {

// Answers from a queue of results and records the addresses asked.
class FakeHttpClient : public HttpClient {
public:
    std::deque<HttpResult> answers;
    QStringList requested;
    HttpResult get(const QString& url, const HttpOptions& options = {},
                   const std::function<bool()>& cancelled = {}) override;
};

} // namespace platform
